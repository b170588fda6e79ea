#pragma once

// Asks the taskbar application whether it holds a permission, over the permission query and
// reply notifications. One probe per permission; each keeps at most one query outstanding: a new
// query drops the completion of an unanswered one. A completion runs on the main thread, at
// most once, and only for an answer carrying its own token.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/settings_pages/custom_views.h"
#include "platform/notifications.h"

namespace tavrel {

class PermissionProbe {
public:
    using Completion = std::function<void(bool granted)>;
    using TokenSource = std::function<std::string()>;

    // `tokens` makes the query tokens; by default a random UUID in canonical upper-case form.
    PermissionProbe(platform::NotificationCenter& center, PermissionKind permission,
                    TokenSource tokens = {});
    ~PermissionProbe();
    PermissionProbe(const PermissionProbe&) = delete;
    PermissionProbe& operator=(const PermissionProbe&) = delete;

    void query(Completion completion);

    PermissionKind permission() const { return permission_; }
    // The key of the reply this probe reads: "screenRecording" or "accessibility".
    std::string_view replyKey() const;
    bool hasPendingQuery() const { return !pending_.empty(); }

private:
    void received(const Notification& reply);

    platform::NotificationCenter& center_;
    PermissionKind permission_;
    TokenSource tokens_;
    std::optional<platform::NotificationCenter::ObserverId> observer_;
    std::map<std::string, Completion, std::less<>> pending_;
};

}  // namespace tavrel
