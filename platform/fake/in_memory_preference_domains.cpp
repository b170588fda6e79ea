#include "platform/fake/in_memory_preference_domains.h"

#include <utility>

namespace tavrel::platform {

std::optional<PreferenceValue> InMemoryPreferenceDomains::value(std::string_view domain,
                                                                std::string_view key) const {
    std::lock_guard lock(mutex_);
    const auto found = domains_.find(domain);
    if (found == domains_.end()) return std::nullopt;
    const auto entry = found->second.find(key);
    if (entry == found->second.end()) return std::nullopt;
    return entry->second;
}

void InMemoryPreferenceDomains::set(std::string_view domain, std::string_view key,
                                    PreferenceValue value) {
    std::lock_guard lock(mutex_);
    auto found = domains_.find(domain);
    if (found == domains_.end())
        found = domains_.emplace(std::string(domain), PreferenceDomain{}).first;
    found->second.insert_or_assign(std::string(key), std::move(value));
}

void InMemoryPreferenceDomains::remove(std::string_view domain, std::string_view key) {
    std::lock_guard lock(mutex_);
    const auto found = domains_.find(domain);
    if (found == domains_.end()) return;
    if (const auto entry = found->second.find(key); entry != found->second.end()) {
        found->second.erase(entry);
    }
}

void InMemoryPreferenceDomains::setDomain(std::string_view domain, PreferenceDomain values) {
    std::lock_guard lock(mutex_);
    domains_.insert_or_assign(std::string(domain), std::move(values));
}

void InMemoryPreferenceDomains::removeDomain(std::string_view domain) {
    std::lock_guard lock(mutex_);
    if (const auto found = domains_.find(domain); found != domains_.end()) domains_.erase(found);
}

}  // namespace tavrel::platform
