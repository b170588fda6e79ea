#include "core/settings/settings_json.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/foundation/utf8.h"

namespace tavrel::settings_json {

std::string KeyPath::string() const {
    std::vector<const KeyPath*> chain;
    for (const KeyPath* node = this; node != nullptr; node = node->parent) chain.push_back(node);
    std::string text;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const KeyPath& node = **it;
        if (node.index) {
            text += '[';
            text += std::to_string(*node.index);
            text += ']';
        } else if (!node.key.empty()) {
            if (!text.empty()) text += '.';
            text += node.key;
        }
    }
    return text;
}

void DecodeIssues::drop(std::string path) {
    // A dropped value takes everything noted inside it along.
    std::erase_if(droppedKeys, [&](const std::string& noted) {
        return noted.size() > path.size() && noted.compare(0, path.size(), path) == 0 &&
               (noted[path.size()] == '.' || noted[path.size()] == '[');
    });
    droppedKeys.push_back(std::move(path));
}

namespace {

// The length of the well-formed UTF-8 sequence at `text[i]`, or 0.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out += hex[byte >> 4];
                    out += hex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    if (isValidUtf8(text)) {
        appendEscaped(out, text);
    } else {
        std::size_t i = 0;
        while (i < text.size()) {
            const std::size_t length = sequenceLength(text, i);
            if (length == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                appendEscaped(out, text.substr(i, length));
                i += length;
            }
        }
    }
    out += '"';
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        first_ = false;
        return;
    }
    if (!first_) out_ += ',';
    first_ = false;
}

void JsonWriter::beginObject() {
    separate();
    out_ += '{';
    first_ = true;
}

void JsonWriter::endObject() {
    out_ += '}';
    first_ = false;
}

void JsonWriter::beginArray() {
    separate();
    out_ += '[';
    first_ = true;
}

void JsonWriter::endArray() {
    out_ += ']';
    first_ = false;
}

void JsonWriter::key(std::string_view name) {
    separate();
    appendJsonString(out_, name);
    out_ += ':';
    afterKey_ = true;
}

void JsonWriter::boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
}

void JsonWriter::number(double value) {
    separate();
    if (!std::isfinite(value)) {
        failed_ = true;
        out_ += "null";
        return;
    }
    if (value == 0) value = 0;  // -0 reads back as 0; write it so
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
}

void JsonWriter::integer(std::int64_t value) {
    separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
}

void JsonWriter::string(std::string_view text) {
    separate();
    appendJsonString(out_, text);
}

std::optional<double> Codec<double>::decode(const Json& json, const KeyPath&, DecodeIssues*) {
    if (!json.is_number()) return std::nullopt;
    const double value = json.get<double>();
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int64_t> Codec<std::int64_t>::decode(const Json& json, const KeyPath&,
                                                        DecodeIssues*) {
    if (json.is_number_unsigned()) {
        const auto value = json.get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(value);
    }
    if (json.is_number_integer()) return json.get<std::int64_t>();
    if (json.is_number_float()) {
        // 7.0 is the integer 7; 7.5 or a number beyond 64 bits is not an integer.
        const double value = json.get<double>();
        constexpr double limit = 9223372036854775808.0;  // 2^63
        if (!std::isfinite(value) || std::trunc(value) != value || value < -limit ||
            value >= limit) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(value);
    }
    return std::nullopt;
}

std::optional<CodableColor> Codec<CodableColor>::decode(const Json& json, const KeyPath& path,
                                                        DecodeIssues* issues) {
    if (!json.is_object()) return std::nullopt;
    const CompatibleKeyedDecodingContainer members(json, path, issues);
    const auto red = members.decodeRequired<double>("red");
    const auto green = members.decodeRequired<double>("green");
    const auto blue = members.decodeRequired<double>("blue");
    const auto alpha = members.decodeRequired<double>("alpha");
    if (!red || !green || !blue || !alpha) return std::nullopt;
    return CodableColor{*red, *green, *blue, *alpha};
}

void Codec<CodableColor>::encode(const CodableColor& value, JsonWriter& out) {
    out.beginObject();
    encodeMember(out, "red", value.red);
    encodeMember(out, "green", value.green);
    encodeMember(out, "blue", value.blue);
    encodeMember(out, "alpha", value.alpha);
    out.endObject();
}

std::optional<platform::Uuid> Codec<platform::Uuid>::decode(const Json& json, const KeyPath&,
                                                            DecodeIssues*) {
    if (!json.is_string()) return std::nullopt;
    return platform::Uuid::parse(json.get_ref<const std::string&>());
}

}  // namespace tavrel::settings_json
