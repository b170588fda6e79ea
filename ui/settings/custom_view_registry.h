#pragma once

// The views a page asks the window for by kind (FormContent custom views and card blocks), each
// made by the maker registered for its kind. The application fills one registry with the
// window's views; a kind nobody registered makes nothing.

#include <any>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <QWidget>

#include "core/form/form_content.h"

namespace tavrel {

class SettingsPanelController;

class CustomViewRegistry {
public:
    using Maker = std::function<QWidget*(const std::any& data, SettingsPanelController& window,
                                         QWidget* parent)>;

    // Registers the maker of the views of `Spec::kind`; a second one for a kind replaces the
    // first.
    template <class Spec>
    void add(std::function<QWidget*(const Spec&, SettingsPanelController&, QWidget*)> make) {
        makers_[std::string(Spec::kind)] = [make = std::move(make)](const std::any& data,
                                                                    SettingsPanelController& window,
                                                                    QWidget* parent) -> QWidget* {
            const auto* spec = std::any_cast<Spec>(&data);
            return spec ? make(*spec, window, parent) : nullptr;
        };
    }

    bool contains(std::string_view kind) const { return makers_.count(std::string(kind)) > 0; }

    // The view, parented to `parent`; nothing for an unknown kind or data of another type.
    QWidget* make(const CustomViewSpec& view, SettingsPanelController& window,
                  QWidget* parent) const;

private:
    std::unordered_map<std::string, Maker> makers_;
};

// The window's own views: the permission banners, the page header cards and the taskbar page's
// selector block.
void addStandardSettingsViews(CustomViewRegistry& registry);

}  // namespace tavrel
