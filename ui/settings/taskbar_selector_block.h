#pragma once

// The top of the taskbar page: the appearance row, the theme picture and the sub-page control.

#include <QWidget>

#include "core/settings_pages/custom_views.h"
#include "ui/settings/settings_images.h"

namespace tavrel {

QWidget* makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec,
                                  const SettingsImageLookup& images, QWidget* parent);

}  // namespace tavrel
