#include "ui/settings/settings_appearance.h"

#include <QApplication>

namespace tavrel {

QPalette lightSettingsPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(236, 236, 236));
    p.setColor(QPalette::WindowText, QColor(0, 0, 0));
    p.setColor(QPalette::Base, QColor(255, 255, 255));
    p.setColor(QPalette::AlternateBase, QColor(244, 244, 244));
    p.setColor(QPalette::Text, QColor(0, 0, 0));
    p.setColor(QPalette::Button, QColor(250, 250, 250));
    p.setColor(QPalette::ButtonText, QColor(0, 0, 0));
    p.setColor(QPalette::Highlight, QColor(0, 122, 255));
    p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    p.setColor(QPalette::ToolTipBase, QColor(246, 246, 246));
    p.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
    p.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 64));
    p.setColor(QPalette::Link, QColor(0, 104, 218));
    p.setColor(QPalette::Light, QColor(255, 255, 255));
    p.setColor(QPalette::Midlight, QColor(240, 240, 240));
    p.setColor(QPalette::Mid, QColor(200, 200, 200));
    p.setColor(QPalette::Dark, QColor(160, 160, 160));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0, 60));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 0, 0, 64));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0, 0, 0, 64));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0, 0, 0, 64));
    return p;
}

QPalette darkSettingsPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(40, 40, 42));
    p.setColor(QPalette::WindowText, QColor(255, 255, 255));
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    p.setColor(QPalette::AlternateBase, QColor(44, 44, 46));
    p.setColor(QPalette::Text, QColor(255, 255, 255));
    p.setColor(QPalette::Button, QColor(58, 58, 60));
    p.setColor(QPalette::ButtonText, QColor(255, 255, 255));
    p.setColor(QPalette::Highlight, QColor(10, 132, 255));
    p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    p.setColor(QPalette::ToolTipBase, QColor(50, 50, 52));
    p.setColor(QPalette::ToolTipText, QColor(255, 255, 255));
    p.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 64));
    p.setColor(QPalette::Link, QColor(64, 156, 255));
    p.setColor(QPalette::Light, QColor(80, 80, 82));
    p.setColor(QPalette::Midlight, QColor(66, 66, 68));
    p.setColor(QPalette::Mid, QColor(50, 50, 52));
    p.setColor(QPalette::Dark, QColor(20, 20, 20));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(255, 255, 255, 64));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(255, 255, 255, 64));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(255, 255, 255, 64));
    return p;
}

SettingsAppearance::SettingsAppearance() : system_(QApplication::palette()) {}

QPalette SettingsAppearance::palette(TavrelAppearanceMode mode) const {
    switch (mode) {
        case TavrelAppearanceMode::light:
            return lightSettingsPalette();
        case TavrelAppearanceMode::dark:
            return darkSettingsPalette();
        case TavrelAppearanceMode::automatic:
            return system_;
    }
    return system_;
}

void SettingsAppearance::apply(TavrelAppearanceMode mode) const {
    QApplication::setPalette(palette(mode));
}

}  // namespace tavrel
