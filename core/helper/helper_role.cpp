#include "core/helper/helper_role.h"

namespace tavrel {

HelperRoleKind HelperRole::kind() const {
    if (widgetKind) return HelperRoleKind::widget;
    if (folderIdentifier) return HelperRoleKind::folder;
    return HelperRoleKind::launcher;
}

HelperRole selectHelperRole(const std::optional<std::string>& folderIdentifier,
                            const std::optional<std::string>& widgetIdentifier) {
    HelperRole role;
    role.folderIdentifier = folderIdentifier;
    if (widgetIdentifier) role.widgetKind = widgetKindFromRawValue(*widgetIdentifier);
    return role;
}

HelperRole readHelperRole(const InfoStringReader& readInfoString) {
    if (!readInfoString) return {};
    return selectHelperRole(readInfoString(kTavrelFolderIdentifierKey),
                            readInfoString(kTavrelWidgetIdentifierKey));
}

std::string helperTileName(const HelperRole& role, const InfoStringReader& readInfoString) {
    if (readInfoString) {
        for (std::string_view key : {"CFBundleDisplayName", "CFBundleName"}) {
            const std::optional<std::string> name = readInfoString(key);
            if (!name || name->empty()) continue;
            if (*name != kHelperBundleDisplayName) return *name;
            break;  // the helper's own name: the role names the tile
        }
    }
    switch (role.kind()) {
        case HelperRoleKind::widget:
            return std::string(widgetName(*role.widgetKind));
        case HelperRoleKind::folder:
            return "应用分组";
        case HelperRoleKind::launcher:
            break;
    }
    return std::string(kHelperBundleDisplayName);
}

}  // namespace tavrel
