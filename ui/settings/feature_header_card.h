#pragma once

// The card above every page but the taskbar page: the page's symbol on an accent-coloured tile,
// its title and summary, and its mini preview.

#include <QWidget>

#include "core/settings_pages/feature_page.h"

namespace tavrel {

// `preview` in place of the page's mini preview when given (the card takes it over).
QWidget* makeFeatureHeaderCard(FeaturePage page, QWidget* parent, QWidget* preview = nullptr);

}  // namespace tavrel
