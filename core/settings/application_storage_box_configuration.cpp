#include "core/settings/application_storage_box_configuration.h"

namespace tavrel {

platform::Uuid ApplicationStorageBoxConfiguration::legacyID() {
    platform::Uuid id;
    id.bytes[15] = 1;
    return id;
}

ApplicationStorageBoxConfiguration ApplicationStorageBoxConfiguration::legacy(bool isVisible) {
    ApplicationStorageBoxConfiguration box;
    box.id = legacyID();
    box.name = "应用收纳箱";
    box.isVisible = isVisible;
    return box;
}

std::string_view sortModeName(ApplicationStorageBoxSortMode mode) {
    return mode == ApplicationStorageBoxSortMode::manual ? "manual" : "automatic";
}

std::optional<ApplicationStorageBoxSortMode> sortModeNamed(std::string_view name) {
    if (name == "automatic") return ApplicationStorageBoxSortMode::automatic;
    if (name == "manual") return ApplicationStorageBoxSortMode::manual;
    return std::nullopt;
}

}  // namespace tavrel
