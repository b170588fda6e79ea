#pragma once

// Which tile a copy of the helper stands for, decided from the two role keys of the copy's own
// Info.plist. The taskbar rewrites those keys when it prepares a copy, so callers read them
// afresh on every use instead of keeping a role around.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/helper/tavrel_widget_kind.h"

namespace tavrel {

inline constexpr std::string_view kTavrelFolderIdentifierKey = "TavrelFolderIdentifier";
inline constexpr std::string_view kTavrelWidgetIdentifierKey = "TavrelWidgetIdentifier";

enum class HelperRoleKind { launcher, folder, widget };

struct HelperRole {
    // The folder key as read: any string, even an empty one, counts.
    std::optional<std::string> folderIdentifier;
    // The widget key when it names a kind; any other value counts as absent.
    std::optional<TavrelWidgetKind> widgetKind;

    // Widget when the widget key names a kind, else folder when the folder key is a string,
    // else launcher.
    HelperRoleKind kind() const;

    friend bool operator==(const HelperRole&, const HelperRole&) = default;
};

HelperRole selectHelperRole(const std::optional<std::string>& folderIdentifier,
                            const std::optional<std::string>& widgetIdentifier);

// A string entry of the running copy's Info.plist, or nothing.
using InfoStringReader = std::function<std::optional<std::string>(std::string_view key)>;

HelperRole readHelperRole(const InfoStringReader& readInfoString);

// The helper's own name in its Info.plist, which every copy starts with.
inline constexpr std::string_view kHelperBundleDisplayName = "应用启动台";

// The name the tile goes by where the user points at it. A copy that whoever made it has named
// (its CFBundleDisplayName, else CFBundleName, is set and is not the helper's own name) goes by
// that name, as a Dock tile goes by its bundle's; a copy that kept the helper's name goes by its
// role: "应用启动台" for the launcher, "应用分组" for a folder, the widget's name for a widget.
std::string helperTileName(const HelperRole& role, const InfoStringReader& readInfoString);

}  // namespace tavrel
