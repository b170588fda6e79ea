#include "platform/linux/gdbus/gdbus_wire.h"

#include <string>
#include <type_traits>
#include <utility>

#include "core/notifications/notification_limits.h"

namespace tavrel::platform::gdbus_wire {
namespace {

GVariant* toVariant(const NotificationValue& value) {
    return std::visit(
        [](const auto& v) -> GVariant* {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::string>) {
                return g_variant_new_string(v.c_str());
            } else if constexpr (std::is_same_v<V, bool>) {
                return g_variant_new_boolean(v ? TRUE : FALSE);
            } else if constexpr (std::is_same_v<V, double>) {
                return g_variant_new_double(v);
            } else if constexpr (std::is_same_v<V, std::int64_t>) {
                return g_variant_new_int64(static_cast<gint64>(v));
            } else {
                static_assert(std::is_same_v<V, NotificationBytes>);
                GBytes* bytes = g_bytes_new(v.data(), v.size());
                GVariant* array = g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, bytes, TRUE);
                g_bytes_unref(bytes);
                return array;
            }
        },
        value);
}

Result<NotificationValue> fromVariant(GVariant* value) {
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        gsize length = 0;
        const gchar* text = g_variant_get_string(value, &length);
        return NotificationValue{std::string(text, length)};
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) {
        return NotificationValue{g_variant_get_boolean(value) != FALSE};
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) {
        return NotificationValue{g_variant_get_double(value)};
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT64)) {
        return NotificationValue{static_cast<std::int64_t>(g_variant_get_int64(value))};
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_BYTESTRING)) {
        gsize length = 0;
        const auto* data =
            static_cast<const std::uint8_t*>(g_variant_get_fixed_array(value, &length, 1));
        return NotificationValue{NotificationBytes(data, data + length)};
    }
    return Error{std::string("unsupported value type ") + g_variant_get_type_string(value)};
}

}  // namespace

Result<GVariant*> toParameters(const Notification& notification) {
    if (Status valid = validateNotification(notification); !valid) return valid.error();
    // The bus drops a connection that sends an oversized message, so the name and object count
    // towards the same limit as the userInfo.
    const std::size_t textBytes =
        notification.name.size() + (notification.object ? notification.object->size() : 0);
    if (textBytes > NotificationLimits::maxTotalBytes) {
        return Error{"notification is larger than " +
                     std::to_string(NotificationLimits::maxTotalBytes) + " bytes"};
    }
    GVariantBuilder userInfo;
    g_variant_builder_init(&userInfo, G_VARIANT_TYPE_VARDICT);
    for (const auto& [key, value] : notification.userInfo) {
        g_variant_builder_add(&userInfo, "{sv}", key.c_str(), toVariant(value));
    }
    return g_variant_new("(sbsa{sv})", notification.name.c_str(),
                         notification.object.has_value() ? TRUE : FALSE,
                         notification.object ? notification.object->c_str() : "", &userInfo);
}

Result<Notification> fromParameters(GVariant* parameters) {
    if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE(kSignature))) {
        return Error{std::string("foreign signature \"") +
                     (parameters ? g_variant_get_type_string(parameters) : "") + "\""};
    }
    Notification notification;
    {
        gsize length = 0;
        GVariant* name = g_variant_get_child_value(parameters, 0);
        const gchar* text = g_variant_get_string(name, &length);
        notification.name.assign(text, length);
        g_variant_unref(name);
    }
    GVariant* hasObject = g_variant_get_child_value(parameters, 1);
    const bool objectPresent = g_variant_get_boolean(hasObject) != FALSE;
    g_variant_unref(hasObject);
    GVariant* object = g_variant_get_child_value(parameters, 2);
    gsize objectLength = 0;
    const gchar* objectText = g_variant_get_string(object, &objectLength);
    if (objectPresent) {
        notification.object = std::string(objectText, objectLength);
    } else if (objectLength != 0) {
        g_variant_unref(object);
        return Error{"object text given for an absent object"};
    }
    g_variant_unref(object);

    GVariant* userInfo = g_variant_get_child_value(parameters, 3);
    if (g_variant_n_children(userInfo) > NotificationLimits::maxEntries) {
        g_variant_unref(userInfo);
        return Error{"userInfo has too many entries"};
    }
    std::optional<Error> failure;
    GVariantIter entries;
    g_variant_iter_init(&entries, userInfo);
    const gchar* key = nullptr;
    GVariant* value = nullptr;
    // g_variant_iter_loop frees the previous key and value on each turn, and the last ones
    // when it returns false; an early break frees them by hand.
    while (g_variant_iter_loop(&entries, "{&sv}", &key, &value)) {
        auto converted = fromVariant(value);
        if (!converted) {
            failure = Error{"userInfo \"" + std::string(key) + "\": " + converted.error().message};
            g_variant_unref(value);
            break;
        }
        if (!notification.userInfo.emplace(key, std::move(converted).value()).second) {
            failure = Error{"userInfo key \"" + std::string(key) + "\" appears twice"};
            g_variant_unref(value);
            break;
        }
    }
    g_variant_unref(userInfo);
    if (failure) return *failure;

    if (Status valid = validateNotification(notification); !valid) return valid.error();
    return notification;
}

}  // namespace tavrel::platform::gdbus_wire
