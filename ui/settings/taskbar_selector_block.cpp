#include "ui/settings/taskbar_selector_block.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

#include "ui/form/settings_fonts.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/settings/taskbar_theme_hero_view.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// A control centred in its container at a fraction of the container's width.
class FractionalWidthContainer final : public QWidget {
public:
    FractionalWidthContainer(QWidget* child, double fraction, int height, QWidget* parent)
        : QWidget(parent), child_(child), fraction_(fraction) {
        child_->setParent(this);
        setFixedHeight(height);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int w = static_cast<int>(width() * fraction_);
        child_->setGeometry((width() - w) / 2, 0, w, height());
    }

private:
    QWidget* child_;
    double fraction_;
};

}  // namespace

QWidget* makeTaskbarSelectorBlock(const TaskbarSelectorBlockSpec& spec,
                                  const SettingsImageLookup& images, QWidget* parent) {
    auto* block = new QWidget(parent);
    block->setObjectName(QStringLiteral("taskbarSelectorBlock"));
    auto* stack = new QVBoxLayout(block);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);

    auto* appearance = new QWidget(block);
    auto* appearanceRow = new QHBoxLayout(appearance);
    appearanceRow->setContentsMargins(0, 0, 0, 0);
    appearanceRow->setSpacing(10);
    auto* label =
        new SettingsSelectableLabel(qtext(TaskbarSelectorBlockSpec::appearanceTitle), appearance);
    label->setFont(settingsFont(14));
    label->setFixedWidth(42);
    appearanceRow->addWidget(label, 0, Qt::AlignVCenter);
    QStringList appearanceLabels;
    for (const std::string& text : spec.appearanceLabels)
        appearanceLabels << QString::fromStdString(text);
    auto* appearanceControl =
        new SettingsSegmentedControl(appearanceLabels, spec.appearanceSelected, appearance);
    appearanceControl->setObjectName(QStringLiteral("appearanceSelector"));
    appearanceControl->setFixedSize(174, 34);
    appearanceControl->setAccessibleName(qtext(TaskbarSelectorBlockSpec::appearanceTitle));
    const auto onAppearance = spec.onAppearanceSelected;
    QObject::connect(appearanceControl, &SettingsSegmentedControl::segmentSelected,
                     appearanceControl, [onAppearance](int index) {
                         if (onAppearance) onAppearance(index);
                     });
    appearanceRow->addWidget(appearanceControl, 0, Qt::AlignVCenter);
    appearanceRow->addStretch(1);
    stack->addWidget(appearance);

    auto* hero = new TaskbarThemeHeroView(spec.theme, images, block);
    hero->setObjectName(QStringLiteral("taskbarThemeHero"));
    hero->setFixedHeight(224);
    QPointer<TaskbarThemeHeroView> heroPointer(hero);
    const auto onTheme = spec.onThemeSelected;
    hero->onThemeSelected = [heroPointer, onTheme](TaskbarTheme theme) {
        if (!onTheme) return;
        if (onTheme(theme) && heroPointer) heroPointer->setTheme(theme, false);
    };
    stack->addWidget(hero);
    stack->addStretch(1);

    QStringList subpages;
    for (const std::string& text : spec.subpageLabels) subpages << QString::fromStdString(text);
    auto* subpageControl = new SettingsSegmentedControl(subpages, spec.subpageSelected);
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
    stack->addWidget(new FractionalWidthContainer(subpageControl, 0.86, 34, block));
    return block;
}

}  // namespace tavrel
