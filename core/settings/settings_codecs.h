#pragma once

// Codecs of the records nested in the settings document.

#include "core/settings/application_storage_box_configuration.h"
#include "core/settings/close_protection_app.h"
#include "core/settings/settings_json.h"
#include "core/settings/taskbar_excluded_application.h"
#include "core/settings/taskbar_theme_configuration.h"

namespace tavrel::settings_json {

// Every key read tolerantly; an absent or unreadable key takes the Windows default, in the
// liquid-glass record too.
template <>
struct Codec<TaskbarThemeConfiguration> {
    static std::optional<TaskbarThemeConfiguration> decode(const Json& json, const KeyPath& path,
                                                           DecodeIssues* issues);
    static void encode(const TaskbarThemeConfiguration& value, JsonWriter& out);
};

template <>
struct Codec<TaskbarExcludedApplication> {
    static std::optional<TaskbarExcludedApplication> decode(const Json& json, const KeyPath& path,
                                                            DecodeIssues* issues);
    static void encode(const TaskbarExcludedApplication& value, JsonWriter& out);
};

template <>
struct Codec<CloseProtectionApp> {
    static std::optional<CloseProtectionApp> decode(const Json& json, const KeyPath& path,
                                                    DecodeIssues* issues);
    static void encode(const CloseProtectionApp& value, JsonWriter& out);
};

template <>
struct Codec<ApplicationStorageBoxSortMode> {
    static std::optional<ApplicationStorageBoxSortMode> decode(const Json& json, const KeyPath&,
                                                               DecodeIssues*);
    static void encode(ApplicationStorageBoxSortMode value, JsonWriter& out) {
        out.string(sortModeName(value));
    }
};

template <>
struct Codec<ApplicationStorageBoxSize> {
    static std::optional<ApplicationStorageBoxSize> decode(const Json& json, const KeyPath& path,
                                                           DecodeIssues* issues);
    static void encode(ApplicationStorageBoxSize value, JsonWriter& out) {
        out.integer(static_cast<std::int64_t>(value));
    }
};

template <>
struct Codec<ApplicationStorageBoxConfiguration> {
    static std::optional<ApplicationStorageBoxConfiguration> decode(const Json& json,
                                                                    const KeyPath& path,
                                                                    DecodeIssues* issues);
    static void encode(const ApplicationStorageBoxConfiguration& value, JsonWriter& out);
};

}  // namespace tavrel::settings_json
