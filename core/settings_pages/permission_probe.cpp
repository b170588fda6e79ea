#include "core/settings_pages/permission_probe.h"

#include <utility>

#include "core/notifications/notification_names.h"
#include "platform/log.h"
#include "platform/uuid.h"

namespace tavrel {

PermissionProbe::PermissionProbe(platform::NotificationCenter& center, PermissionKind permission,
                                 TokenSource tokens)
    : center_(center), permission_(permission), tokens_(std::move(tokens)) {
    if (!tokens_) tokens_ = [] { return platform::Uuid::random().string(); };
}

PermissionProbe::~PermissionProbe() {
    if (observer_) center_.removeObserver(*observer_);
}

std::string_view PermissionProbe::replyKey() const {
    return permission_ == PermissionKind::screenRecording ? NotificationKey::screenRecording
                                                          : NotificationKey::accessibility;
}

void PermissionProbe::query(Completion completion) {
    if (!observer_) {
        observer_ = center_.observe(std::string(TavrelDistributedNotification::permissionReply),
                                    [this](const Notification& reply) { received(reply); });
    }
    pending_.clear();
    std::string token = tokens_();
    pending_.emplace(token, std::move(completion));
    Notification query{std::string(TavrelDistributedNotification::permissionQuery),
                       std::nullopt,
                       {{std::string(NotificationKey::token), token}}};
    if (Status posted = center_.post(query); !posted) {
        platform::log("Tavrel: permission query not sent: " + posted.error().message);
    }
}

void PermissionProbe::received(const Notification& reply) {
    const std::string* token = userInfoString(reply.userInfo, NotificationKey::token);
    const std::optional<bool> granted = userInfoBool(reply.userInfo, replyKey());
    if (!token || !granted) return;
    const auto entry = pending_.find(*token);
    if (entry == pending_.end()) return;
    Completion completion = std::move(entry->second);
    pending_.erase(entry);
    if (completion) completion(*granted);
}

}  // namespace tavrel
