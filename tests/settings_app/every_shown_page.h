#pragma once

// Every page as the window can show it (each feature page, each taskbar sub-page, each native
// Dock tab), and the one change a row's own control makes from what it shows: the walks that
// tests over every row of every page share.

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "core/form/form_content.h"
#include "core/form/slider_model.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_pages/taskbar_subpages.h"

namespace tavrel::test {

// A page as the window shows it: a feature page, and the sub-page or tab within it.
struct Shown {
    FeaturePage page;
    Page subpage = Page::taskbar;
    int dockTab = 0;
    std::string name() const {
        return std::string(featurePageInfo(page).title) + " / " +
               std::to_string(static_cast<int>(subpage)) + " / " + std::to_string(dockTab);
    }
};

inline std::vector<Shown> everythingShown() {
    std::vector<Shown> all;
    for (const FeaturePageEntry& entry : featurePageRegistry()) {
        if (entry.page == FeaturePage::taskbar) {
            for (int i = 0; i < static_cast<int>(subpageLabels().size()); ++i) {
                all.push_back({entry.page, pageForSubpageIndex(i)});
            }
        } else if (entry.page == FeaturePage::nativeDock) {
            for (int tab = 0; tab < 4; ++tab) all.push_back({entry.page, Page::taskbar, tab});
        } else {
            all.push_back({entry.page});
        }
    }
    return all;
}

// A compound row changes through its first pop-up (another item), else its first switch.
inline bool changeOnce(const CompoundControl& compound) {
    for (const CompoundPart& part : compound.parts) {
        if (const auto* popUp = std::get_if<CompoundPopUp>(&part)) {
            if (popUp->items.size() < 2) return false;
            const int shown = popUp->selectedTag();
            popUp->action(popUp->items[0].tag == shown ? popUp->items[1].tag : popUp->items[0].tag);
            return true;
        }
    }
    for (const CompoundPart& part : compound.parts) {
        if (const auto* toggle = std::get_if<CompoundSwitch>(&part)) {
            toggle->action(!toggle->isOn);
            return true;
        }
    }
    return false;
}

enum class ButtonRows { press, skip };

// A change the row's own control can make from what it shows; false for a row without one.
inline bool changeOnce(const FormRow& row, ButtonRows buttons = ButtonRows::skip) {
    if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
        toggle->action(!toggle->isOn);
    } else if (const auto* slider = std::get_if<SliderControl>(&row.control)) {
        const double shown = normalizeSliderValue(slider->value, slider->range);
        const double top = normalizeSliderValue(slider->range.max, slider->range);
        slider->action(shown == top ? normalizeSliderValue(slider->range.min, slider->range) : top);
    } else if (const auto* segment = std::get_if<SegmentControl>(&row.control)) {
        const int count = static_cast<int>(segment->labels.size());
        segment->action((std::max(segment->selected, 0) + 1) % count);
    } else if (const auto* colour = std::get_if<ColorControl>(&row.control)) {
        colour->action(colour->color == FormColor{0.1, 0.2, 0.3, 0.4}
                           ? FormColor{0.9, 0.8, 0.7, 0.6}
                           : FormColor{0.1, 0.2, 0.3, 0.4});
    } else if (const auto* button = std::get_if<ButtonControl>(&row.control);
               button && buttons == ButtonRows::press) {
        button->action();
    } else if (const auto* compound = std::get_if<CompoundControl>(&row.control)) {
        return changeOnce(*compound);
    } else {
        return false;
    }
    return true;
}

}  // namespace tavrel::test
