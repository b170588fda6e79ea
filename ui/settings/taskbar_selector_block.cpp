#include "ui/settings/taskbar_selector_block.h"

#include <utility>

#include <QPointer>

#include "ui/form/settings_fonts.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/settings/feature_header_card.h"
#include "ui/settings/taskbar_theme_hero_view.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// A control centred in its container at a fraction of the container's width.
// The block lays its parts out itself (no row or container widgets of its own): the appearance
// label and control, the theme picture, and the sub-page control centred at 0.86 of the width.
class SelectorBlockView final : public QWidget {
public:
    static constexpr int appearanceHeight = 34;
    static constexpr int spacing = 8;
    static constexpr int heroHeight = 224;
    static constexpr int subpageHeight = 34;

    explicit SelectorBlockView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("taskbarSelectorBlock"));
        setFixedHeight(appearanceHeight + spacing + heroHeight + spacing + subpageHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QWidget* label = nullptr;
    QWidget* appearance = nullptr;
    QWidget* hero = nullptr;
    QWidget* subpages = nullptr;
    QWidget* reset = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int labelHeight = label->sizeHint().height();
        label->setGeometry(0, (appearanceHeight - labelHeight) / 2, 42, labelHeight);
        appearance->setGeometry(42 + 10, 0, 174, appearanceHeight);
        if (reset) {
            const QSize size = reset->sizeHint();
            reset->setGeometry(width() - size.width(), (appearanceHeight - size.height()) / 2,
                               size.width(), size.height());
        }
        hero->setGeometry(0, appearanceHeight + spacing, width(), heroHeight);
        const int subpageWidth = static_cast<int>(width() * 0.86);
        subpages->setGeometry((width() - subpageWidth) / 2, height() - subpageHeight, subpageWidth,
                              subpageHeight);
    }
};

}  // namespace

QWidget* makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec,
                                  const SettingsImageLookup& images, QWidget* parent,
                                  std::function<void()> onResetPage) {
    auto* block = new SelectorBlockView(parent);

    auto* label =
        new SettingsSelectableLabel(qtext(TaskbarSelectorBlockSpec::appearanceTitle), block);
    label->setFont(settingsFont(14));
    block->label = label;
    QStringList appearanceLabels;
    for (const std::string& text : spec.appearanceLabels)
        appearanceLabels << QString::fromStdString(text);
    auto* appearanceControl =
        new SettingsSegmentedControl(appearanceLabels, spec.appearanceSelected, block);
    appearanceControl->setObjectName(QStringLiteral("appearanceSelector"));
    appearanceControl->setFixedSize(174, 34);
    appearanceControl->setAccessibleName(qtext(TaskbarSelectorBlockSpec::appearanceTitle));
    const auto onAppearance = spec.onAppearanceSelected;
    QObject::connect(appearanceControl, &SettingsSegmentedControl::segmentSelected,
                     appearanceControl, [onAppearance](int index) {
                         if (onAppearance) onAppearance(index);
                     });
    block->appearance = appearanceControl;

    auto* hero = new TaskbarThemeHeroView(spec.theme, images, block);
    hero->setObjectName(QStringLiteral("taskbarThemeHero"));
    QPointer<TaskbarThemeHeroView> heroPointer(hero);
    const auto onTheme = spec.onThemeSelected;
    hero->onThemeSelected = [heroPointer, onTheme](TaskbarTheme theme) {
        if (!onTheme) return;
        if (onTheme(theme) && heroPointer) heroPointer->setTheme(theme, false);
    };
    block->hero = hero;

    QStringList subpages;
    for (const std::string& text : spec.subpageLabels) subpages << QString::fromStdString(text);
    auto* subpageControl = new SettingsSegmentedControl(subpages, spec.subpageSelected, block);
    subpageControl->setObjectName(QStringLiteral("subpageSelector"));
    subpageControl->setMinimumSize(0, 34);
    subpageControl->setMaximumHeight(34);
    subpageControl->setTabRow(true);
    subpageControl->setAccessibleName(QStringLiteral("任务栏设置分页"));
    const auto onSubpage = spec.onSubpageSelected;
    QObject::connect(subpageControl, &SettingsSegmentedControl::segmentSelected, subpageControl,
                     [onSubpage](int index) {
                         if (onSubpage) onSubpage(index);
                     });
    block->subpages = subpageControl;
    if (onResetPage) block->reset = makePageResetButton(std::move(onResetPage), block);
    return block;
}

}  // namespace tavrel
