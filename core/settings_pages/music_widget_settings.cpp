#include "core/settings_pages/music_widget_settings.h"

#include <string>
#include <vector>

#include "core/settings_pages/bound_rows.h"

namespace tavrel {

int musicWidgetPlacementIndex(MusicWidgetPlacement placement) {
    const bool left = placement == MusicWidgetPlacement::taskbarLeft ||
                      placement == MusicWidgetPlacement::nativeDockLeft;
    return left ? 0 : 1;
}

MusicWidgetPlacement musicWidgetPlacementForIndex(int index) {
    return index == 0 ? MusicWidgetPlacement::taskbarLeft : MusicWidgetPlacement::taskbarRight;
}

void addMusicWidgetSettings(FormContent& form, SettingsPageHost& host) {
    PageRows rows(form, host);
    rows.section(std::string(MusicWidgetTexts::section));
    rows.toggle(std::string(MusicWidgetTexts::enabledTitle),
                std::string(MusicWidgetTexts::enabledDetail),
                bindSetting(&TaskbarSettings::musicWidgetEnabled));
    // Either host's left shows as the left segment; a choice stores the taskbar's side, and any
    // index but the left one is the right.
    rows.segment(
        std::string(MusicWidgetTexts::placementTitle),
        std::string(MusicWidgetTexts::placementDetail),
        bindSetting(&TaskbarSettings::musicWidgetPlacement).shown([](MusicWidgetPlacement p) {
            return musicWidgetPlacementForIndex(musicWidgetPlacementIndex(p));
        }),
        {{std::string(MusicWidgetTexts::leftLabel), MusicWidgetPlacement::taskbarLeft},
         {std::string(MusicWidgetTexts::rightLabel), MusicWidgetPlacement::taskbarRight}},
        OnChange::live, /*otherwise=*/1);
}

}  // namespace tavrel
