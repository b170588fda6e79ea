#pragma once

// The feature sidebar: the logo header and one row per feature page, each with its symbol,
// title, optional switch and chevron; selection and hover backgrounds. Assistive technologies
// see each row as a page tab with a press action, selected while its page is shown; its switch
// carries the page title. The wheel over a row scrolls the sidebar.

#include <functional>
#include <optional>

#include <QAbstractButton>
#include <QScrollArea>
#include <QWidget>

#include "core/settings_pages/feature_page.h"

namespace tavrel {

class SettingsSwitch;

class FeatureSidebarButton : public QAbstractButton {
    Q_OBJECT
public:
    FeatureSidebarButton(FeaturePage page, QWidget* parent = nullptr);

    void configure(bool selected, std::optional<bool> enabledState, const QString& statusText);

    FeaturePage page() const { return page_; }
    bool isSelectedPage() const { return selected_; }
    bool isHovered() const { return hovered_; }
    void setHovered(bool hovered);
    // The switch, visible when the page has a switch state.
    SettingsSwitch* featureSwitch() const { return switch_; }
    QString statusText() const;

    // The switch was flipped by the user.
    std::function<void(bool)> onSwitch;

    // Where the title is drawn.
    QRectF titleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    FeaturePage page_;
    SettingsSwitch* switch_;
    QString statusText_;
    bool selected_ = false;
    bool hovered_ = false;
    bool configuring_ = false;
    bool configured_ = false;
};

// The sidebar's background: the window colour under a white tint (light 0.6, dark 0.08).
class SettingsSidebarView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsSidebarView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The sidebar's scroll view: no scrollers, no frame; hover follows the pointer while it scrolls.
class FeatureSidebarScrollView : public QScrollArea {
    Q_OBJECT
public:
    explicit FeatureSidebarScrollView(QWidget* parent = nullptr);
    // Clears the hover of every row, then gives it back to the row under the pointer.
    void refreshHover();
};

}  // namespace tavrel
