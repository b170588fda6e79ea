#include "ui/settings/application_chooser_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/form/settings_colors.h"
#include "ui/form/settings_symbols.h"
#include "ui/settings/workspace_icons.h"

namespace tavrel {

ApplicationChooserDialog::ApplicationChooserDialog(
    const platform::ApplicationChoiceRequest& request, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("applicationChooser"));
    setWindowTitle(QString::fromStdString(request.title));
    setWindowModality(Qt::ApplicationModal);
    resize(420, 480);
    auto* column = new QVBoxLayout(this);

    list_ = new QListWidget(this);
    list_->setAccessibleName(QString::fromStdString(request.title));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setIconSize(QSize(28, 28));
    list_->setUniformItemSizes(true);
    const QIcon generic(settingsSymbolPixmap("app", settingsSecondaryLabelColor(palette()), 28,
                                             devicePixelRatioF()));
    for (const platform::ApplicationInfo& application : request.applications) {
        // A list item shows its text as plain text: names come from the entries' files.
        auto* item = new QListWidgetItem(list_);
        item->setText(QString::fromStdString(application.name));
        const QIcon icon = iconFor(application.icon);
        item->setIcon(icon.isNull() ? generic : icon);
        item->setToolTip(QFile::decodeName(QByteArray::fromStdString(application.path.string())));
    }
    column->addWidget(list_);
    if (request.applications.empty()) {
        auto* none = new QLabel(QStringLiteral("没有找到已安装的应用"), this);
        none->setTextFormat(Qt::PlainText);
        column->addWidget(none);
    }

    auto* buttons = new QDialogButtonBox(this);
    confirm_ =
        buttons->addButton(QString::fromStdString(request.prompt), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    confirm_->setDefault(true);
    confirm_->setEnabled(false);
    column->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (chosenIndex()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { confirm_->setEnabled(chosenIndex().has_value()); });
    connect(list_, &QListWidget::itemActivated, this, [this] {
        if (chosenIndex()) accept();
    });
    if (list_->count() > 0) list_->setFocus();
}

std::optional<std::size_t> ApplicationChooserDialog::chosenIndex() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = list_->row(selected.front());
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

}  // namespace tavrel
