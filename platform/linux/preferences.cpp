#include "platform/preferences.h"

#include <cmath>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>

#include "core/foundation/utf8.h"
#include "platform/files.h"
#include "platform/linux/posix_error.h"
#include "platform/linux/property_list.h"

namespace tavrel::platform {
namespace {

std::optional<PreferenceValue> preferenceValue(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return PreferenceValue{value != 0};
        }
        case PLIST_UINT: {
            // libplist 2.2 keeps every integer as 64 raw bits; the defaults store writes signed
            // 64-bit integers, so the bits are read back as one.
            std::uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return PreferenceValue{static_cast<std::int64_t>(value)};
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return PreferenceValue{value};
        }
        case PLIST_STRING:
            if (auto text = detail::plistString(node)) return PreferenceValue{std::move(*text)};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

class FilePreferenceDomains final : public PreferenceDomains {
public:
    explicit FilePreferenceDomains(std::filesystem::path directory)
        : directory_(std::move(directory)) {}

    std::optional<PreferenceValue> value(std::string_view domain,
                                         std::string_view key) const override {
        if (!isValidPreferenceDomainName(domain)) return std::nullopt;
        const auto file = directory_ / (std::string(domain) + ".plist");
        auto bytes = readFile(file, PreferenceLimits::maxDomainFileBytes);
        if (!bytes) return std::nullopt;
        auto decoded = decodePreferenceDomain(*bytes);
        if (!decoded) return std::nullopt;
        const auto found = decoded->find(key);
        if (found == decoded->end()) return std::nullopt;
        return found->second;
    }

private:
    std::filesystem::path directory_;
};

std::filesystem::path domainFile(const std::filesystem::path& directory, std::string_view domain) {
    return directory / (std::string(domain) + ".plist");
}

bool isValidPreferenceKey(std::string_view key) {
    return !key.empty() && key.find('\0') == std::string_view::npos && isValidUtf8(key);
}

// Held while a domain file is read, changed and replaced. The lock is on the directory itself,
// so no lock files are left behind; it is released when the descriptor closes.
Result<detail::UniqueFd> lockDirectory(const std::filesystem::path& directory) {
    detail::UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) return detail::systemError("cannot open " + directory.string(), errno);
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return detail::systemError("cannot lock " + directory.string(), errno);
    }
    return fd;
}

// The decoded file, or nothing when there is no file. Anything else that stands in the way (an
// unreadable or undecodable file) is an error, so it is never replaced by a fresh domain.
Result<std::optional<detail::PlistPtr>> loadDomainTree(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::optional<detail::PlistPtr>{};
    }
    if (error) return Error{"cannot inspect " + file.string() + ": " + error.message()};
    auto bytes = readFile(file, PreferenceLimits::maxDomainFileBytes);
    if (!bytes) return bytes.error();
    auto root = detail::decodePropertyListDictionary(*bytes, PreferenceLimits::maxDomainFileBytes);
    if (!root) return Error{file.string() + ": " + root.error().message};
    return std::optional<detail::PlistPtr>{std::move(*root)};
}

Status storeDomainTree(const std::filesystem::path& file, plist_t root) {
    char* encoded = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &encoded, &length);
    if (encoded == nullptr) return Error{"cannot encode " + file.string()};
    const std::string bytes(encoded, length);
    plist_to_bin_free(encoded);
    if (bytes.size() > PreferenceLimits::maxDomainFileBytes) {
        return Error{file.string() + " would grow beyond " +
                     std::to_string(PreferenceLimits::maxDomainFileBytes) + " bytes"};
    }
    return writeFileAtomically(file, bytes);
}

plist_t preferenceNode(const PreferenceValue& value) {
    struct Visitor {
        plist_t operator()(bool v) const { return plist_new_bool(v ? 1 : 0); }
        // Stored as the signed value's 64 bits; see preferenceValue().
        plist_t operator()(std::int64_t v) const {
            return plist_new_uint(static_cast<std::uint64_t>(v));
        }
        plist_t operator()(double v) const { return plist_new_real(v); }
        plist_t operator()(const std::string& v) const { return plist_new_string(v.c_str()); }
    };
    return std::visit(Visitor{}, value);
}

Status checkNames(std::string_view domain, std::string_view key) {
    if (!isValidPreferenceDomainName(domain)) {
        return Error{"'" + std::string(domain) + "' is not a usable domain name"};
    }
    if (!isValidPreferenceKey(key)) return Error{"the key must be non-empty UTF-8 without NUL"};
    return Status::success();
}

}  // namespace

Result<std::optional<PreferenceDomain>> readPreferenceDomain(const std::filesystem::path& directory,
                                                             std::string_view domain) {
    if (!isValidPreferenceDomainName(domain)) {
        return Error{"'" + std::string(domain) + "' is not a usable domain name"};
    }
    const auto file = domainFile(directory, domain);
    std::error_code error;
    const auto status = std::filesystem::symlink_status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::optional<PreferenceDomain>{};
    }
    if (error) return Error{"cannot inspect " + file.string() + ": " + error.message()};
    auto bytes = readFile(file, PreferenceLimits::maxDomainFileBytes);
    if (!bytes) return bytes.error();
    auto decoded = decodePreferenceDomain(*bytes);
    if (!decoded) return Error{file.string() + ": " + decoded.error().message};
    return std::optional<PreferenceDomain>{std::move(*decoded)};
}

Status setPreferenceValue(const std::filesystem::path& directory, std::string_view domain,
                          std::string_view key, const PreferenceValue& value) {
    if (Status names = checkNames(domain, key); !names) return names;
    if (const double* real = std::get_if<double>(&value);
        real != nullptr && !std::isfinite(*real)) {
        return Error{"a real value must be finite"};
    }
    if (const auto* text = std::get_if<std::string>(&value);
        text != nullptr && (text->find('\0') != std::string::npos || !isValidUtf8(*text))) {
        return Error{"a string value must be UTF-8 without NUL"};
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) return Error{"cannot create " + directory.string() + ": " + error.message()};
    auto lock = lockDirectory(directory);
    if (!lock) return lock.error();

    const auto file = domainFile(directory, domain);
    auto loaded = loadDomainTree(file);
    if (!loaded) return loaded.error();
    detail::PlistPtr root =
        loaded->has_value() ? std::move(**loaded) : detail::PlistPtr(plist_new_dict());
    plist_dict_set_item(root.get(), std::string(key).c_str(), preferenceNode(value));
    return storeDomainTree(file, root.get());
}

Result<PreferenceRemoval> removePreferenceValue(const std::filesystem::path& directory,
                                                std::string_view domain, std::string_view key) {
    if (Status names = checkNames(domain, key); !names) return names.error();
    std::error_code error;
    if (std::filesystem::symlink_status(directory, error).type() ==
        std::filesystem::file_type::not_found) {
        return PreferenceRemoval::missingDomain;
    }
    auto lock = lockDirectory(directory);
    if (!lock) return lock.error();

    const auto file = domainFile(directory, domain);
    auto loaded = loadDomainTree(file);
    if (!loaded) return loaded.error();
    if (!loaded->has_value()) return PreferenceRemoval::missingDomain;
    plist_t root = (*loaded)->get();
    const std::string ownedKey(key);
    if (plist_dict_get_item(root, ownedKey.c_str()) == nullptr)
        return PreferenceRemoval::missingKey;
    plist_dict_remove_item(root, ownedKey.c_str());
    if (Status stored = storeDomainTree(file, root); !stored) return stored.error();
    return PreferenceRemoval::removed;
}

bool isValidPreferenceDomainName(std::string_view domain) {
    if (domain.empty() || domain.size() > 255) return false;
    if (domain == "." || domain == "..") return false;
    if (domain.find('/') != std::string_view::npos) return false;
    if (domain.find('\0') != std::string_view::npos) return false;
    return isValidUtf8(domain);
}

Result<PreferenceDomain> decodePreferenceDomain(std::string_view bytes) {
    auto root = detail::decodePropertyListDictionary(bytes, PreferenceLimits::maxDomainFileBytes);
    if (!root) return root.error();

    PreferenceDomain domain;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root->get(), &iterator);
    if (iterator == nullptr) return Error{"cannot iterate the preference dictionary"};
    for (;;) {
        char* rawKey = nullptr;
        plist_t node = nullptr;
        plist_dict_next_item(root->get(), iterator, &rawKey, &node);
        if (node == nullptr) {
            std::free(rawKey);
            break;
        }
        std::string key = rawKey != nullptr ? rawKey : "";
        std::free(rawKey);
        if (!isValidUtf8(key)) continue;
        if (auto value = preferenceValue(node)) domain.insert_or_assign(std::move(key), *value);
    }
    std::free(iterator);
    return domain;
}

std::unique_ptr<PreferenceDomains> makeFilePreferenceDomains(std::filesystem::path directory) {
    return std::make_unique<FilePreferenceDomains>(std::move(directory));
}

}  // namespace tavrel::platform
