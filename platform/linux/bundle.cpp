#include "platform/bundle.h"

#include <system_error>

#include "platform/files.h"
#include "platform/linux/property_list.h"

namespace tavrel::platform {
namespace {

// Info.plist holds a handful of keys; anything near this size is not one of ours.
constexpr std::size_t kMaxInfoPlistBytes = 1024 * 1024;

}  // namespace

std::optional<Bundle> Bundle::main() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    const auto macOS = executable.parent_path();
    const auto contents = macOS.parent_path();
    if (macOS.filename() != "MacOS" || contents.filename() != "Contents") return std::nullopt;
    return Bundle(contents.parent_path());
}

std::optional<Bundle> Bundle::at(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_directory(root / "Contents", error)) return std::nullopt;
    return Bundle(root);
}

std::optional<std::string> Bundle::infoString(std::string_view key) const {
    if (key.find('\0') != std::string_view::npos) return std::nullopt;
    auto bytes = readFile(infoPlistPath(), kMaxInfoPlistBytes);
    if (!bytes) return std::nullopt;
    auto root = detail::decodePropertyListDictionary(*bytes, kMaxInfoPlistBytes);
    if (!root) return std::nullopt;
    return detail::plistString(plist_dict_get_item(root->get(), std::string(key).c_str()));
}

}  // namespace tavrel::platform
