#pragma once

// Preference domains held in memory, for tests. Safe to use from any thread.

#include <mutex>
#include <string>

#include "platform/preferences.h"

namespace tavrel::platform {

class InMemoryPreferenceDomains final : public PreferenceDomains {
public:
    std::optional<PreferenceValue> value(std::string_view domain,
                                         std::string_view key) const override;

    void set(std::string_view domain, std::string_view key, PreferenceValue value);
    void remove(std::string_view domain, std::string_view key);
    // Replaces the whole domain, e.g. with what decodePreferenceDomain returned.
    void setDomain(std::string_view domain, PreferenceDomain values);
    void removeDomain(std::string_view domain);

private:
    mutable std::mutex mutex_;
    std::map<std::string, PreferenceDomain, std::less<>> domains_;
};

}  // namespace tavrel::platform
