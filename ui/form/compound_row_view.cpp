#include "ui/form/compound_row_view.h"

#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "core/form/form_layout.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_switch.h"
#include "ui/form/settings_symbols.h"
#include "ui/form/wheel_passthrough.h"

namespace tavrel {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

int px(double points) {
    return static_cast<int>(std::lround(points));
}

}  // namespace

CompoundRowView::CompoundRowView(const CompoundControl& control, const QString& title,
                                 const FormIconResolver& icons, QWidget* parent)
    : QWidget(parent), title_(title) {
    setObjectName(QStringLiteral("formCompoundRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(px(FormMetrics::controlColumnSpacing));
    for (const CompoundPart& part : control.parts) {
        std::visit(
            [&](const auto& p) {
                if constexpr (std::is_same_v<std::decay_t<decltype(p)>, CompoundIcon>) {
                    add(p, icons);
                } else {
                    add(p);
                }
            },
            part);
    }
}

void CompoundRowView::refreshStates() {
    refreshing_ = true;
    for (const auto& refresh : refreshers_) refresh();
    refreshing_ = false;
}

void CompoundRowView::afterAction(const std::function<void()>& action) {
    if (refreshing_ || !action) return;
    // The action may rebuild the page, which retires this row on the next turn.
    QPointer<CompoundRowView> self(this);
    const auto run = action;
    run();
    if (self) refreshStates();
}

void CompoundRowView::add(const CompoundIcon& part, const FormIconResolver& icons) {
    const int size = px(part.size);
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("formCompoundIcon"));
    label->setFixedSize(size, size);
    label->setAlignment(Qt::AlignCenter);
    const qreal ratio = devicePixelRatioF();
    QIcon icon = icons ? icons(part.icon) : QIcon();
    if (!icon.isNull()) {
        label->setPixmap(icon.pixmap(QSize(size, size), ratio));
    } else if (!part.icon.symbolName.empty()) {
        label->setPixmap(settingsSymbolPixmap(part.icon.symbolName,
                                              settingsSecondaryLabelColor(palette()), size, ratio));
    }
    label->setAccessibleName(title_);
    layout()->addWidget(label);
}

void CompoundRowView::add(const CompoundSwitch& part) {
    auto* toggle = new SettingsSwitch(SettingsSwitch::Size::regular, this);
    toggle->setObjectName(QStringLiteral("formCompoundSwitch"));
    if (part.width > 0) toggle->setFixedWidth(px(part.width));
    toggle->setChecked(part.isOn);
    toggle->setToolTip(text(part.toolTip));
    toggle->setAccessibleName(part.accessibleName.empty() ? title_ : text(part.accessibleName));
    connect(toggle, &QAbstractButton::toggled, this, [this, action = part.action](bool on) {
        if (action) afterAction([&] { action(on); });
    });
    static_cast<QHBoxLayout*>(layout())->addWidget(toggle, 0, Qt::AlignVCenter);
}

void CompoundRowView::add(const CompoundButton& part) {
    auto* button = new QPushButton(text(part.title), this);
    button->setObjectName(QStringLiteral("formCompoundButton"));
    if (part.symbolName) {
        button->setIcon(
            QIcon(settingsSymbolPixmap(*part.symbolName, settingsLabelColor(button->palette()), 14,
                                       button->devicePixelRatioF())));
    }
    button->setToolTip(text(part.toolTip));
    const std::string& name = !part.accessibleName.empty() ? part.accessibleName
                              : !part.title.empty()        ? part.title
                                                           : part.toolTip;
    button->setAccessibleName(text(name));
    button->setEnabled(part.isEnabled);
    const int width = part.width > 0 ? px(part.width) : button->sizeHint().width();
    button->setFixedSize(width, px(part.height));
    connect(button, &QPushButton::clicked, this,
            [this, action = part.action] { afterAction(action); });
    static_cast<QHBoxLayout*>(layout())->addWidget(button, 0, Qt::AlignVCenter);
}

void CompoundRowView::add(const CompoundCheckBox& part) {
    auto* box = new QCheckBox(text(part.title), this);
    box->setObjectName(QStringLiteral("formCompoundCheckBox"));
    if (part.width > 0) box->setFixedWidth(px(part.width));
    box->setToolTip(text(part.toolTip));
    describeControl(box, text(part.toolTip.empty() ? part.title : part.toolTip), {});
    passWheelToPage(box);
    const auto state = part.state;
    QPointer<QCheckBox> guarded(box);
    const auto refresh = [guarded, state] {
        if (guarded && state) guarded->setChecked(state());
    };
    refresh();
    refreshers_.push_back(refresh);
    connect(box, &QCheckBox::toggled, this, [this, action = part.action](bool on) {
        if (action) afterAction([&] { action(on); });
    });
    static_cast<QHBoxLayout*>(layout())->addWidget(box, 0, Qt::AlignVCenter);
}

void CompoundRowView::add(const CompoundPopUp& part) {
    auto* popUp = new QComboBox(this);
    popUp->setObjectName(QStringLiteral("formCompoundPopUp"));
    for (const CompoundPopUpItem& item : part.items) popUp->addItem(text(item.title), item.tag);
    popUp->setFixedSize(px(part.width), px(part.height));
    popUp->setToolTip(text(part.toolTip));
    describeControl(popUp, part.toolTip.empty() ? title_ : text(part.toolTip), {});
    passWheelToPage(popUp);
    const auto selected = part.selectedTag;
    QPointer<QComboBox> guarded(popUp);
    const auto refresh = [guarded, selected] {
        if (!guarded || !selected) return;
        const int index = guarded->findData(selected());
        if (index >= 0) guarded->setCurrentIndex(index);
    };
    refresh();
    refreshers_.push_back(refresh);
    connect(popUp, &QComboBox::activated, this, [this, guarded, action = part.action](int index) {
        if (!guarded || !action) return;
        const int tag = guarded->itemData(index).toInt();
        afterAction([&] { action(tag); });
    });
    static_cast<QHBoxLayout*>(layout())->addWidget(popUp, 0, Qt::AlignVCenter);
}

}  // namespace tavrel
