#pragma once

// The card above every page but the taskbar page: the page's symbol on an accent-coloured tile,
// its title and summary, the page's reset button and its mini preview.

#include <functional>

#include <QPushButton>
#include <QWidget>

#include "core/settings_pages/feature_page.h"

namespace tavrel {

// `preview` in place of the page's mini preview when given (the card takes it over). With
// `onResetPage`, the card offers "恢复本页默认值…", which calls it.
QWidget* makeFeatureHeaderCard(FeaturePage page, QWidget* parent, QWidget* preview = nullptr,
                               std::function<void()> onResetPage = {});

// The page-reset button of a page's top ("恢复本页默认值…", named so for screen readers too).
QPushButton* makePageResetButton(std::function<void()> onResetPage, QWidget* parent);

}  // namespace tavrel
