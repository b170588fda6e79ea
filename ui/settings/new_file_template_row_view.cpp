#include "ui/settings/new_file_template_row_view.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "core/form/form_layout.h"
#include "ui/form/settings_switch.h"

namespace tavrel {

NewFileTemplateRowView::NewFileTemplateRowView(const NewFileTemplateRowSpec& spec, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("newFileTemplateRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(static_cast<int>(FormMetrics::controlColumnSpacing));

    const QString title = QString::fromStdString(spec.title);
    auto* toggle = new SettingsSwitch(SettingsSwitch::Size::regular, this);
    toggle->setChecked(spec.isOn);
    toggle->setAccessibleName(title);
    const auto onToggle = spec.onToggle;
    connect(toggle, &QAbstractButton::toggled, toggle, [onToggle](bool on) {
        if (onToggle) onToggle(on);
    });
    layout->addWidget(toggle, 0, Qt::AlignVCenter);

    const QString deleteTitle = QString::fromUtf8(NewFileTemplateRowSpec::deleteTitle.data(),
                                                  NewFileTemplateRowSpec::deleteTitle.size());
    auto* remove = new QPushButton(deleteTitle, this);
    remove->setObjectName(QStringLiteral("newFileTemplateDeleteButton"));
    remove->setAccessibleName(deleteTitle + QLatin1Char(' ') + title);
    remove->setFixedSize(deleteButtonWidth, deleteButtonHeight);
    const auto onDelete = spec.onDelete;
    connect(remove, &QPushButton::clicked, remove, [onDelete] {
        if (onDelete) onDelete();
    });
    layout->addWidget(remove, 0, Qt::AlignVCenter);
}

}  // namespace tavrel
