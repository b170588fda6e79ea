#include "ui/settings/native_dock_folder_row_view.h"

#include <QHBoxLayout>
#include <QIcon>

#include "core/native_dock/native_dock_folder_actions.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_symbols.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

NativeDockFolderRowView::NativeDockFolderRowView(const NativeDockFolderRowSpec& spec,
                                                 QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("nativeDockFolderRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    switch_ = new SettingsSwitch(SettingsSwitch::Size::regular, this);
    switch_->setObjectName(QStringLiteral("nativeDockFolderSwitch"));
    switch_->setFixedWidth(switchWidth);
    switch_->setChecked(spec.isEnabled);
    switch_->setToolTip(QString::fromStdString(spec.toggleToolTip));
    switch_->setAccessibleName(QString::fromStdString(spec.toggleToolTip));
    // The actions rebuild the page, which retires this row on the next turn; each handler is a
    // copy, so it outlives the row while it runs.
    connect(switch_, &QAbstractButton::toggled, this, [onToggle = spec.onToggle](bool on) {
        if (onToggle) onToggle(on);
    });
    layout->addWidget(switch_, 0, Qt::AlignVCenter);

    rename_ = new QPushButton(qtext(NativeDockFolderTexts::renameButton), this);
    rename_->setObjectName(QStringLiteral("nativeDockFolderRename"));
    rename_->setFixedSize(renameWidth, buttonHeight);
    connect(rename_, &QPushButton::clicked, this, [onRename = spec.onRename] {
        if (onRename) onRename();
    });
    layout->addWidget(rename_, 0, Qt::AlignVCenter);

    delete_ = new QPushButton(this);
    delete_->setObjectName(QStringLiteral("nativeDockFolderDelete"));
    delete_->setFixedSize(deleteWidth, buttonHeight);
    delete_->setIcon(QIcon(settingsSymbolPixmap(NativeDockFolderTexts::deleteSymbol,
                                                settingsLabelColor(delete_->palette()), 14,
                                                delete_->devicePixelRatioF())));
    delete_->setToolTip(qtext(NativeDockFolderTexts::deleteToolTip));
    delete_->setAccessibleName(qtext(NativeDockFolderTexts::deleteToolTip));
    connect(delete_, &QPushButton::clicked, this, [onDelete = spec.onDelete] {
        if (onDelete) onDelete();
    });
    layout->addWidget(delete_, 0, Qt::AlignVCenter);
}

}  // namespace tavrel
