#pragma once

// The top of the taskbar page: the appearance row (with the page's reset button at its far end
// when `onResetPage` is given), the theme picture and the sub-page control.

#include <functional>

#include <QWidget>

#include "core/settings_pages/custom_views.h"
#include "ui/settings/settings_images.h"

namespace tavrel {

QWidget* makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec,
                                  const SettingsImageLookup& images, QWidget* parent,
                                  std::function<void()> onResetPage = {});

}  // namespace tavrel
