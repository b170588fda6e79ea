#include "core/native_dock/native_dock_bounce_backup.h"

#include <nlohmann/json.hpp>
#include <system_error>

#include "core/native_dock/native_dock_commands.h"
#include "platform/files.h"
#include "platform/log.h"

namespace tavrel {

std::filesystem::path NativeDockBounceBackup::urlBeside(const std::filesystem::path& settingsURL) {
    return settingsURL.parent_path() / fileName;
}

std::optional<std::string> NativeDockBounceBackup::decode(std::string_view bytes) {
    if (bytes.size() > maxBytes) return std::nullopt;
    // Flat by construction, and small: the parser's own depth handling is enough here.
    const auto json = nlohmann::json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) return std::nullopt;
    const auto member = json.find("value");
    if (member == json.end() || !member->is_string()) return std::nullopt;
    const auto& value = member->get_ref<const std::string&>();
    if (!NativeDockBounceValue::isValid(value)) return std::nullopt;
    return value;
}

std::string NativeDockBounceBackup::encode(std::string_view value) {
    nlohmann::json json = nlohmann::json::object();
    json["value"] = std::string(value);
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool nativeDockBounceBackupExists(const std::filesystem::path& url) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(url, error);
    return status.type() != std::filesystem::file_type::not_found;
}

std::optional<std::string> loadNativeDockBouncePreference(const std::filesystem::path& url) {
    auto bytes = platform::readFile(url, NativeDockBounceBackup::maxBytes);
    if (!bytes) return std::nullopt;
    return NativeDockBounceBackup::decode(*bytes);
}

bool saveNativeDockBouncePreference(std::string_view value, const std::filesystem::path& url) {
    if (nativeDockBounceBackupExists(url)) {
        if (loadNativeDockBouncePreference(url)) return true;
        platform::log("Tavrel: refusing to overwrite invalid Dock bounce backup");
        return false;
    }
    // Only the three values are ever written: anything else could never be restored.
    if (!NativeDockBounceValue::isValid(value)) return false;
    const std::string bytes = NativeDockBounceBackup::encode(value);
    std::error_code error;
    std::filesystem::create_directories(url.parent_path(), error);
    if (error) {
        platform::log("Tavrel: cannot save Dock bounce backup: " + error.message());
        return false;
    }
    if (Status written = platform::writeFileAtomically(url, bytes); !written) {
        platform::log("Tavrel: cannot save Dock bounce backup: " + written.error().message);
        return false;
    }
    return true;
}

bool clearNativeDockBouncePreference(const std::filesystem::path& url) {
    std::error_code error;
    std::filesystem::remove(url, error);
    if (error && error != std::errc::no_such_file_or_directory) {
        platform::log("Tavrel: cannot remove Dock bounce backup: " + error.message());
        return false;
    }
    return true;
}

}  // namespace tavrel
