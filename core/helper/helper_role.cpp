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

}  // namespace tavrel
