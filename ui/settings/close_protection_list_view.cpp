#include "ui/settings/close_protection_list_view.h"

#include <algorithm>
#include <filesystem>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/form/rounded_panel_view.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_symbols.h"
#include "ui/settings/workspace_icons.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The row's icon: the file's at the entry's path, else the installed application's its bundle
// identifier names, else the generic application symbol.
QPixmap entryIcon(const platform::Workspace& workspace, const FormIcon& icon, const QPalette& pal,
                  qreal ratio) {
    const int size = 28;
    std::error_code error;
    QIcon found;
    if (!icon.file.empty() && std::filesystem::exists(icon.file, error)) {
        found = iconFor(workspace.iconForFile(icon.file));
    }
    if (found.isNull() && !icon.applicationIdentifier.empty()) {
        if (const auto application =
                workspace.applicationForBundleIdentifier(icon.applicationIdentifier)) {
            found = iconFor(application->icon);
        }
    }
    if (!found.isNull()) return found.pixmap(QSize(size, size), ratio);
    return settingsSymbolPixmap(icon.symbolName, settingsSecondaryLabelColor(pal), size, ratio);
}

// A label that shows its text as given, never as markup: names come from outside.
QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setMinimumWidth(1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

// Two lines that end in an ellipsis where they do not fit: the name at its end, the subtitle in
// its middle (a path keeps both ends).
class EntryTexts final : public QWidget {
public:
    EntryTexts(const QString& name, const QString& subtitle, QWidget* parent)
        : QWidget(parent), name_(name), subtitle_(subtitle) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 6, 0, 0);
        column->setSpacing(1);
        nameLabel_ = plainLabel(name, this);
        nameLabel_->setFont(settingsFont(13));
        subtitleLabel_ = plainLabel(subtitle, this);
        subtitleLabel_->setFont(settingsFont(11));
        QPalette pal = subtitleLabel_->palette();
        pal.setColor(QPalette::WindowText, settingsSecondaryLabelColor(palette()));
        subtitleLabel_->setPalette(pal);
        column->addWidget(nameLabel_);
        column->addWidget(subtitleLabel_);
        column->addStretch(1);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int room = std::max(0, width());
        nameLabel_->setText(nameLabel_->fontMetrics().elidedText(name_, Qt::ElideRight, room));
        subtitleLabel_->setText(
            subtitleLabel_->fontMetrics().elidedText(subtitle_, Qt::ElideMiddle, room));
    }

private:
    QString name_;
    QString subtitle_;
    QLabel* nameLabel_;
    QLabel* subtitleLabel_;
};

QWidget* entryCell(const CloseProtectionApp& app, const platform::Workspace& workspace,
                   QWidget* parent) {
    auto* cell = new QWidget(parent);
    cell->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* row = new QHBoxLayout(cell);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(10);
    auto* icon = new QLabel(cell);
    icon->setFixedSize(28, 28);
    icon->setPixmap(
        entryIcon(workspace, closeProtectionIcon(app), cell->palette(), cell->devicePixelRatioF()));
    row->addWidget(icon, 0, Qt::AlignVCenter);
    row->addWidget(new EntryTexts(QString::fromStdString(app.appName),
                                  QString::fromStdString(app.displaySubtitle()), cell),
                   1);
    return cell;
}

}  // namespace

CloseProtectionListView::CloseProtectionListView(CloseProtectionListSpec spec,
                                                 const platform::Workspace& workspace,
                                                 QWidget* parent)
    : QWidget(parent), spec_(std::move(spec)) {
    setObjectName(QStringLiteral("closeProtectionList"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 12, 16, 12);
    stack->setSpacing(10);

    auto* container = new RoundedPanelView(this);
    container->setCornerRadius(8);
    container->setFill([](const QPalette&) { return QColor(Qt::transparent); });
    container->setBorder([](const QPalette& pal) { return settingsSeparatorColor(pal, 0.5); });
    container->setBorderWidth(0.5);
    container->setFixedHeight(static_cast<int>(CloseProtectionListSpec::tableHeight));
    auto* containerLayout = new QVBoxLayout(container);
    containerLayout->setContentsMargins(1, 1, 1, 1);

    table_ = new QTableWidget(static_cast<int>(spec_.apps.size()), 1, container);
    table_->setObjectName(QStringLiteral("closeProtectionTable"));
    table_->setFrameShape(QFrame::NoFrame);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(
        static_cast<int>(CloseProtectionListSpec::rowHeight));
    table_->setShowGrid(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Whenever the rows are taller than the table, whatever their number.
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->setAutoFillBackground(false);
    table_->viewport()->setAutoFillBackground(false);
    table_->setHorizontalHeaderLabels({QStringLiteral("应用")});
    table_->setAccessibleName(qtext(CloseProtectionListTexts::listTitle));
    for (int i = 0; i < static_cast<int>(spec_.apps.size()); ++i) {
        const CloseProtectionApp& app = spec_.apps[static_cast<std::size_t>(i)];
        auto* item = new QTableWidgetItem();
        // Read by screen readers; the cell widget draws the row.
        item->setData(Qt::AccessibleTextRole, QString::fromStdString(app.appName));
        item->setData(Qt::AccessibleDescriptionRole, QString::fromStdString(app.displaySubtitle()));
        item->setToolTip(QString::fromStdString(app.appName));
        table_->setItem(i, 0, item);
        table_->setCellWidget(i, 0, entryCell(app, workspace, table_));
    }
    // The table and its empty-list text share one cell: the text lies over the empty table but
    // stays a widget of its own, so screen readers read it (a viewport's children are hidden
    // behind the table's own accessible cells).
    auto* cell = new QGridLayout();
    cell->setContentsMargins(0, 0, 0, 0);
    cell->addWidget(table_, 0, 0);
    containerLayout->addLayout(cell);
    if (spec_.apps.empty()) {
        empty_ = new QLabel(qtext(CloseProtectionListTexts::emptyList), container);
        empty_->setObjectName(QStringLiteral("closeProtectionEmpty"));
        empty_->setAlignment(Qt::AlignCenter);
        empty_->setFont(settingsFont(13));
        QPalette pal = empty_->palette();
        pal.setColor(QPalette::WindowText, settingsSecondaryLabelColor(pal));
        empty_->setPalette(pal);
        cell->addWidget(empty_, 0, 0, Qt::AlignCenter);
        empty_->raise();
    }
    stack->addWidget(container);

    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    add_ = new QPushButton(qtext(CloseProtectionListTexts::addButton), this);
    remove_ = new QPushButton(qtext(CloseProtectionListTexts::removeButton), this);
    for (QPushButton* button : {add_, remove_}) {
        button->setFixedSize(92, 30);
        button->setAccessibleName(button->text());
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    stack->addLayout(buttons);

    if (spec_.selectedRow && *spec_.selectedRow < spec_.apps.size()) {
        table_->selectRow(static_cast<int>(*spec_.selectedRow));
    }
    remove_->setEnabled(selectedApp().has_value());

    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    connect(add_, &QPushButton::clicked, this, [this] {
        if (spec_.onAdd) spec_.onAdd();
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const std::optional<CloseProtectionApp> app = selectedApp();
        if (app && spec_.onRemove) spec_.onRemove(*app);
    });
}

std::optional<CloseProtectionApp> CloseProtectionListView::selectedApp() const {
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = selected.front()->row();
    if (row < 0 || row >= static_cast<int>(spec_.apps.size())) return std::nullopt;
    return spec_.apps[static_cast<std::size_t>(row)];
}

void CloseProtectionListView::selectionChanged() {
    const std::optional<CloseProtectionApp> app = selectedApp();
    remove_->setEnabled(app.has_value());
    if (spec_.onSelect) spec_.onSelect(app);
}

}  // namespace tavrel
