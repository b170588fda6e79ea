#pragma once

// The JSON layer of the settings document: a tolerant keyed container for reading, a compact
// deterministic writer, and one codec per value type. Reading is strict about JSON types (a
// boolean is only true or false, an integer key takes only integral numbers) and tolerant about
// keys: a key that cannot be read is dropped, noted, and takes its default.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/codable_color.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "platform/uuid.h"

namespace tavrel::settings_json {

using Json = nlohmann::json;

// Where a value sits in the document ("windowsSettings.iconSize", "closeProtectionApps[2]").
// Built as a chain on the stack; turned into text only when something is dropped.
struct KeyPath {
    const KeyPath* parent = nullptr;
    std::string_view key;
    std::optional<std::size_t> index;

    std::string string() const;
};

// What a decoding dropped, outermost keys only.
struct DecodeIssues {
    std::vector<std::string> droppedKeys;

    void drop(std::string path);
};

// A compact JSON text written in the order of the calls; the same calls always give the same
// bytes. Numbers are written in their shortest round-trip form. A number that JSON cannot
// carry (NaN, infinity) marks the output failed. Text that is not UTF-8 has each bad byte
// replaced by U+FFFD, so the output always parses.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void boolean(bool value);
    void number(double value);
    void integer(std::int64_t value);
    void string(std::string_view text);

    bool failed() const { return failed_; }
    const std::string& text() const { return out_; }
    std::string take() { return std::move(out_); }
    void reserve(std::size_t bytes) { out_.reserve(bytes); }

private:
    void separate();

    std::string out_;
    bool first_ = true;
    bool afterKey_ = false;
    bool failed_ = false;
};

void appendJsonString(std::string& out, std::string_view text);

// decode: the value, or nothing when the JSON value is not of this type (nested tolerant keys
// report into `issues`). encode: appends the value to the writer.
template <class T>
struct Codec;

template <>
struct Codec<bool> {
    static std::optional<bool> decode(const Json& json, const KeyPath&, DecodeIssues*) {
        if (!json.is_boolean()) return std::nullopt;
        return json.get<bool>();
    }
    static void encode(bool value, JsonWriter& out) { out.boolean(value); }
};

template <>
struct Codec<double> {
    static std::optional<double> decode(const Json& json, const KeyPath&, DecodeIssues*);
    static void encode(double value, JsonWriter& out) { out.number(value); }
};

template <>
struct Codec<std::int64_t> {
    static std::optional<std::int64_t> decode(const Json& json, const KeyPath&, DecodeIssues*);
    static void encode(std::int64_t value, JsonWriter& out) { out.integer(value); }
};

template <>
struct Codec<std::string> {
    static std::optional<std::string> decode(const Json& json, const KeyPath&, DecodeIssues*) {
        if (!json.is_string()) return std::nullopt;
        return json.get<std::string>();
    }
    static void encode(const std::string& value, JsonWriter& out) { out.string(value); }
};

template <>
struct Codec<CodableColor> {
    static std::optional<CodableColor> decode(const Json& json, const KeyPath&, DecodeIssues*);
    static void encode(const CodableColor& value, JsonWriter& out);
};

template <>
struct Codec<platform::Uuid> {
    static std::optional<platform::Uuid> decode(const Json& json, const KeyPath&, DecodeIssues*);
    static void encode(const platform::Uuid& value, JsonWriter& out) { out.string(value.string()); }
};

// A list is one value: a single element that cannot be read makes the whole list unreadable.
template <class T>
struct Codec<std::vector<T>> {
    static std::optional<std::vector<T>> decode(const Json& json, const KeyPath& path,
                                                DecodeIssues* issues) {
        if (!json.is_array()) return std::nullopt;
        std::vector<T> result;
        result.reserve(json.size());
        for (std::size_t i = 0; i < json.size(); ++i) {
            const KeyPath elementPath{&path, {}, i};
            auto element = Codec<T>::decode(json[i], elementPath, issues);
            if (!element) return std::nullopt;
            result.push_back(std::move(*element));
        }
        return result;
    }
    static void encode(const std::vector<T>& values, JsonWriter& out) {
        out.beginArray();
        for (const auto& value : values) Codec<T>::encode(value, out);
        out.endArray();
    }
};

// Reads the members of one JSON object. A member that is absent or null is absent.
class CompatibleKeyedDecodingContainer {
public:
    CompatibleKeyedDecodingContainer(const Json& container, const KeyPath& path,
                                     DecodeIssues* issues)
        : container(container), path_(path), issues_(issues) {}

    const Json& container;

    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // The value when present and readable; nothing when absent; nothing, the recovery flag
    // raised and the key noted when it cannot be read.
    template <class T>
    std::optional<T> decodeIfPresent(std::string_view key) const {
        const Json* value = find(key);
        if (value == nullptr) return std::nullopt;
        const KeyPath keyPath{&path_, key, std::nullopt};
        auto decoded = Codec<T>::decode(*value, keyPath, issues_);
        if (!decoded) {
            SettingsCompatibilityRecovery::raise();
            if (issues_ != nullptr) issues_->drop(keyPath.string());
        }
        return decoded;
    }

    // A member the enclosing value cannot do without: absent or unreadable, the enclosing
    // value fails (and its own key is then dropped by the container above).
    template <class T>
    std::optional<T> decodeRequired(std::string_view key) const {
        const Json* value = find(key);
        if (value == nullptr) return std::nullopt;
        const KeyPath keyPath{&path_, key, std::nullopt};
        return Codec<T>::decode(*value, keyPath, issues_);
    }

    // An optional member whose unreadable value fails the enclosing value. False on failure.
    template <class T>
    bool decodeStrictIfPresent(std::string_view key, std::optional<T>& out) const {
        const Json* value = find(key);
        if (value == nullptr) {
            out.reset();
            return true;
        }
        const KeyPath keyPath{&path_, key, std::nullopt};
        out = Codec<T>::decode(*value, keyPath, issues_);
        return out.has_value();
    }

    const KeyPath& path() const { return path_; }
    DecodeIssues* issues() const { return issues_; }

private:
    const Json* find(std::string_view key) const {
        const auto it = container.find(key);
        if (it == container.end() || it->is_null()) return nullptr;
        return &*it;
    }

    KeyPath path_;
    DecodeIssues* issues_;
};

// Writes `"key":value` when the value is present.
template <class T>
void encodeIfPresent(JsonWriter& out, std::string_view key, const std::optional<T>& value) {
    if (!value) return;
    out.key(key);
    Codec<T>::encode(*value, out);
}

template <class T>
void encodeMember(JsonWriter& out, std::string_view key, const T& value) {
    out.key(key);
    Codec<T>::encode(value, out);
}

}  // namespace tavrel::settings_json
