#include "core/notifications/notification_json.h"

#include "core/foundation/base64.h"

namespace tavrel {

nlohmann::json notificationToJson(const Notification& notification) {
    nlohmann::json userInfo = nlohmann::json::object();
    for (const auto& [key, value] : notification.userInfo) {
        std::visit(
            [&, &k = key](const auto& v) {
                using V = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<V, NotificationBytes>) {
                    userInfo[k] = base64::encode(v);
                } else {
                    userInfo[k] = v;
                }
            },
            value);
    }
    nlohmann::json object = nullptr;
    if (notification.object) object = *notification.object;
    return nlohmann::json{{"name", notification.name}, {"object", object}, {"userInfo", userInfo}};
}

std::string notificationToJsonLine(const Notification& notification) {
    return notificationToJson(notification)
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace tavrel
