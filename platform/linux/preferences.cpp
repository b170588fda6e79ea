#include "platform/preferences.h"

#include <cstdlib>
#include <utility>

#include "core/foundation/utf8.h"
#include "platform/files.h"
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

}  // namespace

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
