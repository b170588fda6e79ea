#pragma once

// Size caps on everything the New File module reads from outside: the stored document, template
// files and sync payloads, which any process of the user may post. The sender applies the same
// caps, so a payload it builds is one the receiver accepts.

#include <cstddef>

namespace tavrel {

struct NewFileLimits {
    // NewFileSettings.json, on disk or as a payload's settingsData (decoded).
    static constexpr std::size_t maxDocumentBytes = 1024 * 1024;
    // One template file: read from storage, or one customTemplateData entry (decoded).
    static constexpr std::size_t maxTemplateFileBytes = 8 * 1024 * 1024;
    // All customTemplateData entries of one payload together (decoded).
    static constexpr std::size_t maxCustomTemplateBytes = 16 * 1024 * 1024;
    static constexpr std::size_t maxCustomTemplates = 256;
    // The encoded payload. Base64 of the decoded caps above fits, and the notification stays
    // under NotificationLimits::maxTotalBytes.
    static constexpr std::size_t maxPayloadBytes = 24 * 1024 * 1024;
};

}  // namespace tavrel
