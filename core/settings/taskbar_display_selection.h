#pragma once

// Which displays show the taskbar. The document stores the displays that do NOT show it, so a
// display that was never seen shows the taskbar; the rules below keep at least one connected
// display showing it. `online` is the list of connected display identifiers in the platform's
// display order. Identifiers compare without regard to letter case.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::TaskbarDisplaySelection {

using Identifiers = std::vector<std::string>;

bool sameIdentifier(std::string_view a, std::string_view b);

// The exclusions equivalent to an older document's selection: the selected list when present,
// else the single legacy identifier; every online display outside the selection is excluded.
Identifiers exclusionsForLegacySelection(const std::optional<Identifiers>& selected,
                                         const std::optional<std::string>& legacyIdentifier,
                                         const Identifiers& online);

// The first online display equal to `preferred`, else to `fallback`, else the first online one.
std::optional<std::string> resolveIdentifier(const std::optional<std::string>& preferred,
                                             const std::optional<std::string>& fallback,
                                             const Identifiers& online);

// `excluded`, changed so that at least one online display is not excluded.
Identifiers ensuringOnlineSelection(const Identifiers& excluded, const Identifiers& online,
                                    const std::optional<std::string>& fallback);

// `excluded` after the user toggles `identifier`; the last showing display cannot be excluded.
Identifiers togglingExclusion(std::string_view identifier, const Identifiers& excluded,
                              const Identifiers& online);

// The exclusions the displays page shows for a document: its exclusion list when present, else
// its legacy selection converted; then, should that exclude every online display, the first
// online display shows after all.
Identifiers shownExclusions(const std::optional<Identifiers>& excluded,
                            const std::optional<Identifiers>& selected,
                            const std::optional<std::string>& legacyIdentifier,
                            const Identifiers& online);

// Whether `identifier` is among `excluded` (in any letter case).
bool isExcluded(std::string_view identifier, const Identifiers& excluded);

}  // namespace tavrel::TaskbarDisplaySelection
