#pragma once

// The one-line JSON form of a notification, as the command-line tools print it:
// {"name":…,"object":…|null,"userInfo":{…}} with bytes as Base64 text.

#include <nlohmann/json.hpp>
#include <string>

#include "core/notifications/notification.h"

namespace tavrel {

nlohmann::json notificationToJson(const Notification& notification);

// Compact, without a line end.
std::string notificationToJsonLine(const Notification& notification);

}  // namespace tavrel
