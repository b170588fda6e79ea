#include "core/settings/taskbar_display_selection.h"

#include <algorithm>

namespace tavrel::TaskbarDisplaySelection {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIdentifier(const Identifiers& list, std::string_view identifier) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& entry) { return sameIdentifier(entry, identifier); });
}

Identifiers without(const Identifiers& list, std::string_view identifier) {
    Identifiers result;
    for (const auto& entry : list) {
        if (!sameIdentifier(entry, identifier)) result.push_back(entry);
    }
    return result;
}

}  // namespace

bool sameIdentifier(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

Identifiers exclusionsForLegacySelection(const std::optional<Identifiers>& selected,
                                         const std::optional<std::string>& legacyIdentifier,
                                         const Identifiers& online) {
    Identifiers selection;
    if (selected) {
        selection = *selected;
    } else if (legacyIdentifier) {
        selection = {*legacyIdentifier};
    } else {
        return {};
    }
    Identifiers excluded;
    for (const auto& identifier : online) {
        if (!containsIdentifier(selection, identifier)) excluded.push_back(identifier);
    }
    return excluded;
}

std::optional<std::string> resolveIdentifier(const std::optional<std::string>& preferred,
                                             const std::optional<std::string>& fallback,
                                             const Identifiers& online) {
    for (const auto* wanted : {&preferred, &fallback}) {
        if (!*wanted) continue;
        for (const auto& identifier : online) {
            if (sameIdentifier(identifier, **wanted)) return identifier;
        }
    }
    if (online.empty()) return std::nullopt;
    return online.front();
}

Identifiers ensuringOnlineSelection(const Identifiers& excluded, const Identifiers& online,
                                    const std::optional<std::string>& fallback) {
    const bool someoneShows = std::any_of(online.begin(), online.end(), [&](const auto& id) {
        return !containsIdentifier(excluded, id);
    });
    if (someoneShows) return excluded;
    const auto keep = resolveIdentifier(std::nullopt, fallback, online);
    if (!keep) return excluded;
    return without(excluded, *keep);
}

Identifiers togglingExclusion(std::string_view identifier, const Identifiers& excluded,
                              const Identifiers& online) {
    if (containsIdentifier(excluded, identifier)) return without(excluded, identifier);
    const auto showing = std::count_if(online.begin(), online.end(), [&](const auto& id) {
        return !containsIdentifier(excluded, id);
    });
    if (showing < 2) return excluded;
    Identifiers result = excluded;
    result.emplace_back(identifier);
    return result;
}

Identifiers shownExclusions(const std::optional<Identifiers>& excluded,
                            const std::optional<Identifiers>& selected,
                            const std::optional<std::string>& legacyIdentifier,
                            const Identifiers& online) {
    const Identifiers stored =
        excluded ? *excluded : exclusionsForLegacySelection(selected, legacyIdentifier, online);
    const std::optional<std::string> first =
        online.empty() ? std::nullopt : std::optional<std::string>(online.front());
    return ensuringOnlineSelection(stored, online, first);
}

bool isExcluded(std::string_view identifier, const Identifiers& excluded) {
    return containsIdentifier(excluded, identifier);
}

}  // namespace tavrel::TaskbarDisplaySelection
