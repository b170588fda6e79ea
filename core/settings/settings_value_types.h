#pragma once

// The value types of the settings keys and how each is kept in the stored record: enumerations
// as their integer codes, optional values unwrapped (an absent key is an absent value), all
// others as they are.

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "core/settings/application_storage_box_configuration.h"
#include "core/settings/close_protection_app.h"
#include "core/settings/codable_color.h"
#include "core/settings/settings_enumerations.h"
#include "core/settings/taskbar_excluded_application.h"
#include "core/settings/taskbar_theme_configuration.h"

namespace tavrel {

using OptionalIdentifier = std::optional<std::string>;
using OptionalIdentifiers = std::optional<std::vector<std::string>>;
using ExcludedApplications = std::vector<TaskbarExcludedApplication>;
using CloseProtectionApps = std::vector<CloseProtectionApp>;
using StorageBoxes = std::vector<ApplicationStorageBoxConfiguration>;

template <class T>
struct StoredValueTraits {
    using Stored = T;
    static const T& toStored(const T& value) { return value; }
    static T fromStored(const Stored& stored) { return stored; }
};

template <SettingsEnumeration E>
struct StoredValueTraits<E> {
    using Stored = std::int64_t;
    static std::int64_t toStored(E value) { return enumerationCode(value); }
    static E fromStored(std::int64_t code) { return enumerationFromCode<E>(code); }
};

template <class T>
struct StoredValueTraits<std::optional<T>> {
    using Stored = T;
};

template <class T>
using StoredValue = typename StoredValueTraits<T>::Stored;

template <class T>
inline constexpr bool isOptional = false;
template <class T>
inline constexpr bool isOptional<std::optional<T>> = true;

// The record's (optional) value for an object's value; an absent optional stays absent.
template <class T>
std::optional<StoredValue<T>> toStoredOptional(const T& value) {
    if constexpr (isOptional<T>) {
        return value;
    } else {
        return StoredValueTraits<T>::toStored(value);
    }
}

// The object's value for a record's value.
template <class T>
T fromStoredValue(const StoredValue<T>& stored) {
    if constexpr (isOptional<T>) {
        return T(stored);
    } else {
        return StoredValueTraits<T>::fromStored(stored);
    }
}

// The JSON shape of a key, for tools and tests that walk the key tables.
enum class SettingsValueKind {
    boolean,
    number,
    integer,
    color,
    string,
    stringList,
    excludedApplications,
    closeProtectionApps,
    storageBoxes,
    themeConfiguration,
};

template <class T>
constexpr SettingsValueKind settingsValueKind() {
    if constexpr (std::is_same_v<T, bool>)
        return SettingsValueKind::boolean;
    else if constexpr (std::is_same_v<T, double>)
        return SettingsValueKind::number;
    else if constexpr (std::is_same_v<T, std::int64_t>)
        return SettingsValueKind::integer;
    else if constexpr (std::is_same_v<T, CodableColor>)
        return SettingsValueKind::color;
    else if constexpr (std::is_same_v<T, std::string>)
        return SettingsValueKind::string;
    else if constexpr (std::is_same_v<T, std::vector<std::string>>)
        return SettingsValueKind::stringList;
    else if constexpr (std::is_same_v<T, ExcludedApplications>)
        return SettingsValueKind::excludedApplications;
    else if constexpr (std::is_same_v<T, CloseProtectionApps>)
        return SettingsValueKind::closeProtectionApps;
    else if constexpr (std::is_same_v<T, StorageBoxes>)
        return SettingsValueKind::storageBoxes;
    else if constexpr (std::is_same_v<T, TaskbarThemeConfiguration>)
        return SettingsValueKind::themeConfiguration;
    else
        static_assert(sizeof(T) == 0, "no JSON shape for this type");
}

}  // namespace tavrel
