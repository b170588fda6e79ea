#include "apps/new_file_extension/new_file_extension.h"

#include <system_error>

#include "core/notifications/notification_names.h"
#include "platform/process_identity.h"

namespace tavrel {

std::optional<platform::Bundle> bundleContaining(const std::filesystem::path& binary) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(binary, error);
    if (error) return std::nullopt;
    const std::filesystem::path macOS = real.parent_path();
    const std::filesystem::path contents = macOS.parent_path();
    if (macOS.filename() != "MacOS" || contents.filename() != "Contents") return std::nullopt;
    return platform::Bundle::at(contents.parent_path());
}

NewFileExtension::NewFileExtension(std::optional<platform::Bundle> bundle,
                                   Notifications notifications)
    : bundle_(std::move(bundle)) {
    platform::declareBundleIdentifier(BundleIdentifier::newFileExtension);
    if (notifications == Notifications::session) {
        auto center = platform::makeGDBusNotificationCenter();
        if (center) {
            notificationCenter_ = std::move(center).value();
        } else {
            notificationError_ = center.error().message;
        }
    } else {
        notificationError_ = "notifications are not used";
    }
    std::optional<std::filesystem::path> resources;
    if (bundle_) resources = bundle_->resourcesDirectory();
    finderSync_ = std::make_unique<FinderSync>(host_, notificationCenter_.get(), resources,
                                               platform::systemClock(), &mainQueue_);
}

}  // namespace tavrel
