#pragma once

// Decoding pictures from files the helper does not control (its copy's resources, the user's
// picture): the file size and the decoded size are both capped.

#include <cstddef>
#include <filesystem>

#include <QImage>

namespace tavrel {

// Larger pictures are refused before decoding (64 MiB of pixels at most).
inline constexpr int kMaxDecodedImageSide = 4096;

// The decoded picture in premultiplied ARGB32, or a null image when the file is missing, larger
// than `maxBytes`, not a picture, or too large a picture.
QImage decodeImageFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace tavrel
