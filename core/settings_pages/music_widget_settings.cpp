#include "core/settings_pages/music_widget_settings.h"

#include <string>
#include <vector>

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
    const TaskbarSettings& settings = host.settings();
    form.addSection(std::string(MusicWidgetTexts::section));
    form.addSwitch(std::string(MusicWidgetTexts::enabledTitle),
                   std::string(MusicWidgetTexts::enabledDetail), settings.musicWidgetEnabled,
                   [&host](bool on) {
                       host.settings().musicWidgetEnabled = on;
                       host.applyLiveChange(false);
                   });
    form.addSegment(std::string(MusicWidgetTexts::placementTitle),
                    std::string(MusicWidgetTexts::placementDetail),
                    std::vector<std::string>{std::string(MusicWidgetTexts::leftLabel),
                                             std::string(MusicWidgetTexts::rightLabel)},
                    musicWidgetPlacementIndex(settings.musicWidgetPlacement), [&host](int index) {
                        host.settings().musicWidgetPlacement = musicWidgetPlacementForIndex(index);
                        host.applyLiveChange(false);
                    });
}

}  // namespace tavrel
