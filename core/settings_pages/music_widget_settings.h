#pragma once

// The music widget block: one switch and one placement segment in a section of their own. The
// taskbar widgets page and the native Dock widget tab show the same block over the same two keys,
// so turning the widget on in one place turns it on in the other.

#include <string_view>

#include "core/form/form_content.h"
#include "core/settings/settings_enumerations.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

struct MusicWidgetTexts {
    static constexpr std::string_view section = "音乐组件";
    static constexpr std::string_view enabledTitle = "启用音乐组件";
    static constexpr std::string_view enabledDetail =
        "两处设置共用开关。任务栏开启时显示在任务栏内；任务栏关闭且原生 Dock "
        "增强开启时显示在 Dock 旁。没有歌曲信息时隐藏。";
    static constexpr std::string_view placementTitle = "位置";
    static constexpr std::string_view placementDetail =
        "自动跟随当前宿主。竖向停靠时左/右对应上/下端。在原生 Dock "
        "旁空间不足时仅显示封面，悬停展开。";
    static constexpr std::string_view leftLabel = "左侧 / 上端";
    static constexpr std::string_view rightLabel = "右侧 / 下端";
};

// The segment index a stored placement shows: 0 for either left placement, else 1.
int musicWidgetPlacementIndex(MusicWidgetPlacement placement);
// The placement a chosen index stores. The block follows whichever host shows the widget, so it
// stores the taskbar's left or right; any index but 0 is right.
MusicWidgetPlacement musicWidgetPlacementForIndex(int index);

// Opens the section "音乐组件" in `form` and adds the two rows. Each edit is written into the
// host's settings and reported without a rebuild.
void addMusicWidgetSettings(FormContent& form, SettingsPageHost& host);

}  // namespace tavrel
