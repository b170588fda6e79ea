#include "core/notifications/notification.h"

namespace tavrel {

namespace {

template <class T>
const T* find(const NotificationUserInfo& info, std::string_view key) {
    auto it = info.find(key);
    if (it == info.end()) return nullptr;
    return std::get_if<T>(&it->second);
}

}  // namespace

const std::string* userInfoString(const NotificationUserInfo& info, std::string_view key) {
    return find<std::string>(info, key);
}

std::optional<bool> userInfoBool(const NotificationUserInfo& info, std::string_view key) {
    if (const bool* value = find<bool>(info, key)) return *value;
    return std::nullopt;
}

const NotificationBytes* userInfoBytes(const NotificationUserInfo& info, std::string_view key) {
    return find<NotificationBytes>(info, key);
}

std::optional<double> userInfoNumber(const NotificationUserInfo& info, std::string_view key) {
    if (const double* value = find<double>(info, key)) return *value;
    if (const std::int64_t* value = find<std::int64_t>(info, key)) {
        return static_cast<double>(*value);
    }
    if (const bool* value = find<bool>(info, key)) return *value ? 1.0 : 0.0;
    return std::nullopt;
}

std::optional<bool> userInfoNumberBool(const NotificationUserInfo& info, std::string_view key) {
    if (const bool* value = find<bool>(info, key)) return *value;
    if (const std::int64_t* value = find<std::int64_t>(info, key)) return *value != 0;
    if (const double* value = find<double>(info, key)) return *value != 0.0;
    return std::nullopt;
}

}  // namespace tavrel
