#include "core/helper/helper_dock_tile_stored_settings.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace tavrel {

namespace {

using Json = nlohmann::json;

enum class Key { other, hideNativeDock, useUserAvatar, borderColor, borderWidth };
enum class ColorKey { other, red, green, blue, alpha };

Key keyFor(std::string_view name) {
    if (name == "hideNativeDock") return Key::hideNativeDock;
    if (name == "nativeDockLauncherUseUserAvatar") return Key::useUserAvatar;
    if (name == "nativeDockLauncherAvatarBorderColor") return Key::borderColor;
    if (name == "nativeDockLauncherAvatarBorderWidth") return Key::borderWidth;
    return Key::other;
}

ColorKey colorKeyFor(std::string_view name) {
    if (name == "red") return ColorKey::red;
    if (name == "green") return ColorKey::green;
    if (name == "blue") return ColorKey::blue;
    if (name == "alpha") return ColorKey::alpha;
    return ColorKey::other;
}

// Streams the document once without building it: only the four keys are looked at, and a deep
// or huge value elsewhere costs no memory.
class Reader final : public nlohmann::json_sax<Json> {
public:
    HelperDockTileStoredSettings settings;
    std::string failure;

    bool null() override { return scalar(Value::null, false, 0); }
    bool boolean(bool value) override { return scalar(Value::boolean, value, 0); }
    bool number_integer(number_integer_t value) override {
        return scalar(Value::number, false, static_cast<double>(value));
    }
    bool number_unsigned(number_unsigned_t value) override {
        return scalar(Value::number, false, static_cast<double>(value));
    }
    bool number_float(number_float_t value, const string_t&) override {
        return scalar(Value::number, false, value);
    }
    bool string(string_t&) override { return scalar(Value::other, false, 0); }
    bool binary(binary_t&) override { return scalar(Value::other, false, 0); }

    bool start_object(std::size_t) override {
        if (depth_ == 0) {
            depth_ = 1;
            return true;
        }
        if (depth_ == 1 && key_ == Key::borderColor) {
            depth_ = 2;
            inColor_ = true;
            for (auto& component : color_) component.reset();
            return true;
        }
        if (!acceptsContainer()) return false;
        ++depth_;
        return true;
    }
    bool end_object() override {
        if (inColor_ && depth_ == 2) {
            inColor_ = false;
            depth_ = 1;
            for (const auto& component : color_) {
                if (!component) return fail("a colour lacks a component");
            }
            settings.nativeDockLauncherAvatarBorderColor =
                HelperDockTileCodableColor{*color_[0], *color_[1], *color_[2], *color_[3]};
            return true;
        }
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override {
        if (depth_ == 0) return fail("the document is not an object");
        if (!acceptsContainer()) return false;
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool key(string_t& name) override {
        if (depth_ == 1) key_ = keyFor(name);
        if (inColor_ && depth_ == 2) colorKey_ = colorKeyFor(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        return fail(e.what());
    }

private:
    enum class Value { null, boolean, number, other };

    bool fail(std::string message) {
        if (failure.empty()) failure = std::move(message);
        return false;
    }

    // A nested container is fine anywhere except as the value of one of our keys.
    bool acceptsContainer() {
        if (depth_ == 1 && key_ != Key::other) return fail("a setting has the wrong type");
        if (inColor_ && depth_ == 2 && colorKey_ != ColorKey::other) {
            return fail("a colour component is not a number");
        }
        return true;
    }

    bool scalar(Value kind, bool flag, double number) {
        if (depth_ == 0) return fail("the document is not an object");
        if (inColor_ && depth_ == 2) {
            if (colorKey_ == ColorKey::other) return true;
            if (kind != Value::number || !std::isfinite(number)) {
                return fail("a colour component is not a number");
            }
            color_[static_cast<std::size_t>(colorKey_) - 1] = number;
            return true;
        }
        if (depth_ != 1) return true;
        switch (key_) {
            case Key::other:
                return true;
            case Key::hideNativeDock:
            case Key::useUserAvatar: {
                auto& target = key_ == Key::hideNativeDock
                                   ? settings.hideNativeDock
                                   : settings.nativeDockLauncherUseUserAvatar;
                if (kind == Value::null) {
                    target.reset();
                    return true;
                }
                if (kind != Value::boolean) return fail("a setting has the wrong type");
                target = flag;
                return true;
            }
            case Key::borderWidth:
                if (kind == Value::null) {
                    settings.nativeDockLauncherAvatarBorderWidth.reset();
                    return true;
                }
                if (kind != Value::number || !std::isfinite(number)) {
                    return fail("a setting has the wrong type");
                }
                settings.nativeDockLauncherAvatarBorderWidth = number;
                return true;
            case Key::borderColor:
                if (kind == Value::null) {
                    settings.nativeDockLauncherAvatarBorderColor.reset();
                    return true;
                }
                return fail("a setting has the wrong type");
        }
        return true;
    }

    int depth_ = 0;
    Key key_ = Key::other;
    bool inColor_ = false;
    ColorKey colorKey_ = ColorKey::other;
    std::optional<double> color_[4];
};

}  // namespace

Result<HelperDockTileStoredSettings> HelperDockTileStoredSettings::decode(std::string_view bytes) {
    if (bytes.size() > maxBytes) return Error{"settings.json is larger than the helper reads"};
    Reader reader;
    bool parsed = false;
    try {
        parsed = Json::sax_parse(bytes.begin(), bytes.end(), &reader);
    } catch (const std::exception& e) {
        return Error{std::string("settings.json is not readable: ") + e.what()};
    }
    if (!parsed) {
        return Error{"settings.json is not readable: " +
                     (reader.failure.empty() ? std::string("invalid JSON") : reader.failure)};
    }
    return reader.settings;
}

Result<HelperDockTileStoredSettings> HelperDockTileStoredSettings::load(
    const std::filesystem::path& path) {
    auto bytes = platform::readFile(path, maxBytes);
    if (!bytes) return bytes.error();
    return decode(*bytes);
}

std::filesystem::path helperSettingsDocumentPath() {
    return platform::paths::applicationSupport() / "Tavrel" / "settings.json";
}

}  // namespace tavrel
