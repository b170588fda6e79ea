#include "ui/form/form_renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/form/form_layout.h"
#include "ui/form/color_well.h"
#include "ui/form/help_button.h"
#include "ui/form/rounded_panel_view.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_switch.h"
#include "ui/form/settings_symbols.h"
#include "ui/form/slider_row_control.h"

namespace tavrel {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

int px(double points) {
    return static_cast<int>(points);
}

// A label whose colour follows the palette at every appearance change.
class PaletteLabel final : public SettingsSelectableLabel {
public:
    PaletteLabel(const QString& label, std::function<QColor(const QPalette&)> color,
                 QWidget* parent)
        : SettingsSelectableLabel(label, parent), color_(std::move(color)) {
        applyColor();
    }

    // A label's text never changes once it is in a form, so its size is measured once (again
    // after a font change): layouts ask for it many times while a page is built and shown, and
    // measuring Chinese text means shaping it each time.
    QSize sizeHint() const override {
        if (!sizeHint_) sizeHint_ = SettingsSelectableLabel::sizeHint();
        return *sizeHint_;
    }
    QSize minimumSizeHint() const override {
        if (!minimumSizeHint_) minimumSizeHint_ = SettingsSelectableLabel::minimumSizeHint();
        return *minimumSizeHint_;
    }

protected:
    void changeEvent(QEvent* event) override {
        SettingsSelectableLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
            sizeHint_.reset();
            minimumSizeHint_.reset();
        }
        if (event->type() == QEvent::PaletteChange && !applying_) applyColor();
    }

private:
    void applyColor() {
        applying_ = true;
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, color_(inheritedPalette()));
        setPalette(pal);
        applying_ = false;
    }
    // The inherited palette, not the one this label sets on itself.
    QPalette inheritedPalette() const {
        return parentWidget() ? parentWidget()->palette() : palette();
    }

    std::function<QColor(const QPalette&)> color_;
    bool applying_ = false;
    mutable std::optional<QSize> sizeHint_;
    mutable std::optional<QSize> minimumSizeHint_;
};

// A section: its header and, below it, the card with the section's rows. One widget does both,
// and the card draws the hairline between two rows itself: a page has dozens of sections and
// separators, and every widget a page is made of costs it when it is built, shown and laid out.
class SectionView final : public RoundedPanelView {
public:
    SectionView(const QString& title, QWidget* parent) : RoundedPanelView(parent) {
        setObjectName(FormWidgetNames::card);
        setFill([](const QPalette& pal) {
            return settingsControlBackgroundColor(pal, FormMetrics::cardFillAlpha);
        });
        setBorder([](const QPalette& pal) {
            return settingsSeparatorColor(pal, FormMetrics::cardBorderAlpha);
        });
        setCornerRadius(FormMetrics::cardCornerRadius);
        setOpaqueOverWindowBackground(true);
        header_ = new PaletteLabel(title, settingsSecondaryLabelColor, this);
        header_->setObjectName(FormWidgetNames::sectionHeader);
        header_->setFont(settingsFont(FormMetrics::sectionHeaderFontSize, QFont::DemiBold));
        header_->setContentsMargins(px(FormMetrics::sectionHeaderLeadingInset), 0, 0, 0);
        const int headerHeight = header_->sizeHint().height();
        header_->setGeometry(0, 0, header_->sizeHint().width(), headerHeight);
        cardTop_ = headerHeight + px(FormMetrics::sectionHeaderSpacing);
        rows_ = new QVBoxLayout(this);
        rows_->setContentsMargins(0, cardTop_, 0, 0);
        rows_->setSpacing(0);
    }

    void addRow(QWidget* row, bool separatorBefore) {
        if (separatorBefore) rows_->addSpacing(1);
        rows_->addWidget(row);
    }
    int headerHeight() const { return cardTop_; }
    QRect cardRect() const { return rect().adjusted(0, cardTop_, 0, 0); }
    // The hairlines between rows, where the card draws them.
    std::vector<QRect> separatorRects() const {
        std::vector<QRect> lines;
        QWidget* previous = nullptr;
        for (int i = 0; i < rows_->count(); ++i) {
            QWidget* row = rows_->itemAt(i)->widget();
            if (!row || row->isHidden()) continue;
            if (previous) {
                const int inset = px(FormMetrics::separatorInset);
                lines.emplace_back(inset, row->y() - 1, std::max(0, width() - 2 * inset), 1);
            }
            previous = row;
        }
        return lines;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintPanel(painter, QRectF(cardRect()));
        for (const QRect& line : separatorRects()) painter.fillRect(line, separatorColor());
    }
    void resizeEvent(QResizeEvent* event) override {
        RoundedPanelView::resizeEvent(event);
        header_->resize(width(), header_->height());
    }

private:
    static QColor separatorColor() { return QColor(128, 128, 128, 56); }

    PaletteLabel* header_;
    QVBoxLayout* rows_;
    int cardTop_ = 0;
};

// The dot before the title of a row whose value is away from its default. Clicking it opens the
// row's menu; it takes no focus (the row's control has the menu and the shortcut).
class ChangedMarker final : public QAbstractButton {
public:
    static constexpr int size = 10;  // the click target around the 6-px dot
    static constexpr int dot = 6;

    ChangedMarker(const QString& rowTitle, QWidget* parent) : QAbstractButton(parent) {
        setObjectName(FormRowDefaults::markerName);
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(size, size);
        setCursor(Qt::PointingHandCursor);
        const QString changed = QString::fromUtf8(FormRowDefaults::changedText);
        setToolTip(changed);
        setAccessibleName(rowTitle + QLatin1Char(' ') + changed);
        setAccessibleDescription(changed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Highlight));
        const double inset = (size - dot) / 2.0;
        painter.drawEllipse(QRectF(inset, inset, dot, dot));
    }
};

// A row of a card. A row that can be reset shows the marker while its value is away from its
// default and has the menu and the shortcuts that reset it.
class FormRowWidget final : public QWidget {
public:
    using QWidget::QWidget;

    void offerReset(const FormRow& row, const FormRowDefaults& defaults) {
        row_ = &row;
        defaults_ = defaults;
        auto* menuKey = new QAction(this);
        menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
        menuKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(menuKey, &QAction::triggered, this, [this] { showMenuAtFocus(); });
        addAction(menuKey);
        refreshMarker();
    }

    void refreshMarker() {
        if (!row_) return;
        const bool changed = defaults_.isChanged(*row_);
        setProperty(FormRowDefaults::markerName, changed);
        // Most rows are at their defaults: the marker and the reset key are made when a row is
        // first changed (each part of a row costs every build of a page).
        if (changed && !marker_) makeMarker();
        if (marker_) marker_->setVisible(changed);
    }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!row_) {
            QWidget::contextMenuEvent(event);
            return;
        }
        if (event->reason() == QContextMenuEvent::Keyboard) {
            showMenuAtFocus();
        } else {
            showMenu(event->globalPos(), false);
        }
        event->accept();
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        placeMarker();
    }

private:
    void makeMarker() {
        marker_ = new ChangedMarker(text(row_->title), this);
        QObject::connect(marker_, &QAbstractButton::clicked, this, [this] {
            showMenu(marker_->mapToGlobal(QPoint(0, marker_->height())), true);
        });
        auto* resetKey = new QAction(this);
        resetKey->setShortcut(formRowResetShortcut());
        resetKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(resetKey, &QAction::triggered, this, [this] { resetIfChanged(); });
        addAction(resetKey);
        placeMarker();
    }
    // In the row's leading inset, just before the title.
    void placeMarker() {
        if (!marker_) return;
        const int x = px(FormMetrics::rowHorizontalInset) - ChangedMarker::size - 2;
        marker_->move(std::max(0, x), (height() - ChangedMarker::size) / 2);
    }

    void showMenuAtFocus() {
        QWidget* focus = focusWidget();
        QWidget* anchor = focus && isAncestorOf(focus) ? focus : this;
        showMenu(anchor->mapToGlobal(QPoint(0, anchor->height())), true);
    }
    // Opened from the keyboard or the marker, the item is current at once, so it is the focus
    // a screen reader reads and Enter takes.
    void showMenu(const QPoint& at, bool selectItem) {
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* reset = menu->addAction(QString::fromUtf8(FormRowDefaults::resetTitle));
        reset->setShortcut(formRowResetShortcut());
        reset->setEnabled(defaults_.isChanged(*row_));
        QObject::connect(reset, &QAction::triggered, this, [this] { resetIfChanged(); });
        menu->popup(at);
        if (selectItem && reset->isEnabled()) menu->setActiveAction(reset);
    }
    void resetIfChanged() {
        // The reset may rebuild the page; the form (and so the row) outlives this call.
        if (defaults_.isChanged(*row_)) defaults_.reset(*row_);
    }

    const FormRow* row_ = nullptr;
    FormRowDefaults defaults_;
    ChangedMarker* marker_ = nullptr;
};

QWidget* makeSegment(const SegmentControl& control, QWidget* parent) {
    QStringList labels;
    for (const std::string& label : control.labels) labels << text(label);
    auto* segmented = new SettingsSegmentedControl(labels, control.selected, parent);
    const SegmentLayout layout = segmented->measured();
    segmented->setFixedSize(px(std::ceil(layout.controlWidth)), px(layout.height));
    segmented->setSegmentWidth(layout.segmentWidth);
    const auto action = control.action;
    QObject::connect(segmented, &SettingsSegmentedControl::segmentSelected, segmented,
                     [action](int index) {
                         if (action) action(index);
                     });
    return segmented;
}

class RowBuilder {
public:
    RowBuilder(const FormRow& row, const FormViews& factory, QWidget* parent)
        : row_(row), factory_(factory), parent_(parent) {}

    QWidget* build() {
        if (const auto* info = std::get_if<InfoBlockControl>(&row_.control))
            return infoBlock(*info);
        if (const auto* block = std::get_if<CardBlockControl>(&row_.control))
            return cardBlock(*block);
        if (const auto* version = std::get_if<VersionCheckControl>(&row_.control))
            return versionRow(*version);

        auto* rowWidget = new FormRowWidget(parent_);
        rowWidget->setObjectName(FormWidgetNames::row);
        rowWidget->setProperty(FormWidgetNames::rowTitleProperty, text(row_.title));
        if (factory_.rowDefaults && factory_.rowDefaults.resettable(row_)) {
            rowWidget->offerReset(row_, factory_.rowDefaults);
        }
        auto* layout = new QHBoxLayout(rowWidget);
        layout->setContentsMargins(
            px(FormMetrics::rowHorizontalInset), px(FormMetrics::rowVerticalInset),
            px(FormMetrics::rowHorizontalInset), px(FormMetrics::rowVerticalInset));

        // The title column (exactly 168 wide: title, 6, help button) and the control column are
        // layouts rather than widgets of their own, which keeps a page build cheap.
        auto* title = new PaletteLabel(text(row_.title), settingsLabelColor, rowWidget);
        title->setObjectName(FormWidgetNames::titleLabel);
        title->setFont(settingsFont(FormMetrics::titleFontSize, QFont::Medium));
        const int natural =
            static_cast<int>(std::ceil(title->fontMetrics().horizontalAdvance(title->text()))) + 1;
        const int titleRoom = px(FormMetrics::titleColumnWidth - FormMetrics::titleColumnSpacing -
                                 FormMetrics::helpButtonSize);
        int titleWidth = std::min(natural, titleRoom);
        if (row_.allowsTitleWrapping) {
            titleWidth = std::min(natural, px(FormMetrics::titlePreferredWidth));
            // A title that fits needs no wrapping, and a wrapping label measures itself again on
            // every layout pass.
            if (natural > titleWidth) {
                title->setWordWrap(true);
                title->setMinimumHeight(title->heightForWidth(titleWidth));
            }
        }
        title->setFixedWidth(titleWidth);
        layout->setSpacing(0);
        layout->addWidget(title, 0, Qt::AlignVCenter);
        if (std::holds_alternative<TextRowControl>(row_.control)) {
            layout->addStretch(1);
            return rowWidget;
        }
        layout->addSpacing(px(FormMetrics::titleColumnSpacing));
        layout->addWidget(new HelpButton(text(row_.detail), rowWidget), 0, Qt::AlignVCenter);
        layout->addSpacing(px(FormMetrics::titleColumnWidth) - titleWidth -
                           px(FormMetrics::titleColumnSpacing) - px(FormMetrics::helpButtonSize));
        layout->addSpacing(px(FormMetrics::rowSpacing));

        // Every control kind is one widget, so the control column is the rest of the row's own
        // layout rather than a layout of its own.
        std::visit([&](const auto& control) { addControl(control, rowWidget, layout); },
                   row_.control);
        layout->addStretch(1);
        return rowWidget;
    }

private:
    // Screen readers read the row's title as the control's name and its help text as the
    // description.
    void describe(QWidget* control) const {
        describeControl(control, text(row_.title), text(row_.detail));
    }

    void addControl(const SwitchControl& control, QWidget* column, QHBoxLayout* layout) {
        auto* toggle = new SettingsSwitch(SettingsSwitch::Size::regular, column);
        toggle->setChecked(control.isOn);
        toggle->setEnabled(control.isEnabled);
        describe(toggle);
        const auto action = control.action;
        QObject::connect(toggle, &QAbstractButton::toggled, toggle, [action](bool on) {
            if (action) action(on);
        });
        layout->addWidget(toggle);
    }
    void addControl(const SliderControl& control, QWidget* column, QHBoxLayout* layout) {
        auto* slider = new SliderRowControl(control, column);
        describe(slider);
        layout->addWidget(slider);
    }
    void addControl(const SegmentControl& control, QWidget* column, QHBoxLayout* layout) {
        QWidget* segment = makeSegment(control, column);
        describe(segment);
        layout->addWidget(segment);
    }
    void addControl(const ColorControl& control, QWidget* column, QHBoxLayout* layout) {
        auto* well = new ColorWell(toQColor(control.color), column);
        describe(well);
        const auto action = control.action;
        QObject::connect(well, &ColorWell::colorChosen, well, [action](const QColor& color) {
            if (action) action(toFormColor(color));
        });
        layout->addWidget(well);
    }
    void addControl(const ButtonControl& control, QWidget* column, QHBoxLayout* layout) {
        auto* button = new QPushButton(text(row_.title), column);
        if (control.symbolName) {
            button->setIcon(QIcon(settingsSymbolPixmap(*control.symbolName,
                                                       settingsLabelColor(button->palette()), 14,
                                                       button->devicePixelRatioF())));
        }
        button->setToolTip(text(row_.title));
        describe(button);
        button->setFixedSize(px(FormMetrics::buttonWidth), px(FormMetrics::buttonHeight));
        const auto action = control.action;
        QObject::connect(button, &QPushButton::clicked, button, [action] {
            if (action) action();
        });
        layout->addWidget(button);
    }
    void addControl(const InfoBlockControl&, QWidget*, QHBoxLayout*) {}
    void addControl(const TextRowControl&, QWidget*, QHBoxLayout*) {}
    void addControl(const CardBlockControl&, QWidget*, QHBoxLayout*) {}
    void addControl(const VersionCheckControl&, QWidget*, QHBoxLayout*) {}
    void addControl(const CompoundControl& control, QWidget* column, QHBoxLayout* layout) {
        layout->addWidget(new CompoundRowView(control, text(row_.title), factory_.icons, column));
    }
    void addControl(const CustomViewSpec& view, QWidget* column, QHBoxLayout* layout) {
        if (QWidget* widget = factory_.customViews ? factory_.customViews(view, column) : nullptr)
            layout->addWidget(widget);
    }

    // The view spans the card; the block carries the row's name so lookups find it.
    QWidget* cardBlock(const CardBlockControl& block) {
        auto* holder = new QWidget(parent_);
        holder->setObjectName(FormWidgetNames::row);
        holder->setProperty(FormWidgetNames::rowTitleProperty, text(row_.title));
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (QWidget* view =
                factory_.customViews ? factory_.customViews(block.view, holder) : nullptr) {
            layout->addWidget(view);
        }
        return holder;
    }

    // The version at the left, "检查更新" at the far right; no title column, no help button.
    QWidget* versionRow(const VersionCheckControl& version) {
        auto* rowWidget = new QWidget(parent_);
        rowWidget->setObjectName(FormWidgetNames::row);
        rowWidget->setProperty(FormWidgetNames::rowTitleProperty, text(row_.title));
        auto* layout = new QHBoxLayout(rowWidget);
        layout->setContentsMargins(16, 12, 16, 12);
        layout->setSpacing(12);
        auto* label = new PaletteLabel(text(row_.title), settingsLabelColor, rowWidget);
        label->setObjectName(FormWidgetNames::titleLabel);
        label->setFont(settingsFont(13, QFont::DemiBold));
        label->makeSelectable();
        label->setAccessibleName(label->text());
        layout->addWidget(label, 0, Qt::AlignVCenter);
        layout->addStretch(1);
        const QString buttonTitle = QString::fromUtf8(FormContent::checkForUpdatesTitle);
        auto* button = new QPushButton(buttonTitle, rowWidget);
        button->setObjectName(FormWidgetNames::versionCheckButton);
        button->setFixedSize(px(FormMetrics::buttonWidth), px(FormMetrics::buttonHeight));
        describeControl(button, buttonTitle, text(row_.title));
        const auto action = version.action;
        QObject::connect(button, &QPushButton::clicked, button, [action] {
            if (action) action();
        });
        layout->addWidget(button, 0, Qt::AlignVCenter);
        return rowWidget;
    }

    QWidget* infoBlock(const InfoBlockControl& info) {
        auto* block = new QWidget(parent_);
        block->setObjectName(FormWidgetNames::row);
        block->setProperty(FormWidgetNames::rowTitleProperty, text(row_.title));
        auto* layout = new QVBoxLayout(block);
        layout->setContentsMargins(16, 14, 16, 14);
        layout->setSpacing(8);
        auto* title = new PaletteLabel(text(row_.title), settingsLabelColor, block);
        title->setObjectName(FormWidgetNames::titleLabel);
        title->setFont(settingsFont(13, QFont::DemiBold));
        const FormTextColor bodyColor = info.bodyColor;
        auto* body = new PaletteLabel(
            text(info.body), [bodyColor](const QPalette& pal) { return textColor(pal, bodyColor); },
            block);
        body->setWordWrap(true);
        body->setFont(settingsFont(13, toQFontWeight(info.bodyWeight)));
        layout->addWidget(title);
        layout->addWidget(body);
        return block;
    }

    const FormRow& row_;
    const FormViews& factory_;
    QWidget* parent_;
};

// The least height a row can take whatever its contents measure: its insets around the taller
// of the help button and a control of fixed height.
double leastRowHeight(const FormRow& row) {
    if (std::holds_alternative<InfoBlockControl>(row.control)) return 28;  // its margins
    double control = FormMetrics::helpButtonSize;
    if (std::holds_alternative<SegmentControl>(row.control)) {
        control = std::max(control, FormMetrics::segmentHeight);
    }
    return 2 * FormMetrics::rowVerticalInset + control;
}

}  // namespace

// What a DeferredFormRendering keeps: rows still to come in a card, and items still to come in
// a form's column, in the order they are to be built.
struct DeferredFormRendering::State {
    struct Rows {
        QPointer<QWidget> card;
        std::shared_ptr<FormContent> form;
        std::size_t item;
        std::size_t nextRow;
        FormViews factory;
    };
    struct Items {
        QPointer<FormView> view;
        std::shared_ptr<FormContent> form;
        std::size_t nextItem;
        FormViews factory;
    };

    double unfilled;  // of the first screen, at least
    std::vector<std::variant<Rows, Items>> pending;

    bool full() const { return unfilled <= 0; }
};

namespace {

using DeferralState = DeferredFormRendering::State;

void addRows(const FormSection& section, std::size_t from, const FormViews& factory, QWidget* card,
             DeferralState* deferral, const std::shared_ptr<FormContent>& form, std::size_t item) {
    auto* view = static_cast<SectionView*>(card);
    for (std::size_t i = from; i < section.rows.size(); ++i) {
        if (deferral && deferral->full()) {
            deferral->pending.emplace_back(DeferralState::Rows{card, form, item, i, factory});
            return;
        }
        if (hasSeparatorBefore(i) && deferral) deferral->unfilled -= 1;
        QWidget* row = RowBuilder(section.rows[i], factory, card).build();
        view->addRow(row, hasSeparatorBefore(i));
        if (deferral) {
            deferral->unfilled -=
                std::max<double>(leastRowHeight(section.rows[i]), row->minimumSizeHint().height());
        }
    }
}

QWidget* makeSection(const FormSection& section, const FormViews& factory, QWidget* parent,
                     DeferralState* deferral, const std::shared_ptr<FormContent>& form,
                     std::size_t item) {
    auto* view = new SectionView(text(section.title), parent);
    if (deferral) deferral->unfilled -= view->headerHeight();
    addRows(section, 0, factory, view, deferral, form, item);
    return view;
}

QWidget* makeCenteredSegment(const CenteredSegment& item, QWidget* parent) {
    auto* container = new QWidget(parent);
    container->setObjectName(FormWidgetNames::centeredSegment);
    auto* layout = new QHBoxLayout(container);
    layout->setContentsMargins(0, px(FormMetrics::centeredSegmentInset), 0,
                               px(FormMetrics::centeredSegmentInset));
    layout->addStretch(1);
    // The one centred segment switches between a page's tabs.
    auto* tabs = static_cast<SettingsSegmentedControl*>(makeSegment(item.segment, container));
    tabs->setTabRow(true);
    tabs->setAccessibleName(QStringLiteral("分页"));
    layout->addWidget(tabs);
    layout->addStretch(1);
    return container;
}

}  // namespace

FormView::FormView(std::shared_ptr<FormContent> form, QWidget* parent)
    : QWidget(parent), form_(std::move(form)) {}

namespace {

// The least height of a view the page's factory made: what its layout needs at least.
double leastViewHeight(QWidget* widget) {
    return std::max({widget->minimumSizeHint().height(), widget->minimumHeight(), 0});
}

bool showsAnyItem(QVBoxLayout* column) {
    for (int i = 0; i < column->count(); ++i) {
        if (QWidget* built = column->itemAt(i)->widget(); built && !built->isHidden()) return true;
    }
    return false;
}

// Builds the items of `form` from `from` on into `view`'s column, ahead of its closing stretch.
// With a deferral, stops once the first screen is filled and keeps the rest.
void addItems(FormView* view, const std::shared_ptr<FormContent>& form, std::size_t from,
              const FormViews& factory, DeferralState* deferral) {
    auto* column = static_cast<QVBoxLayout*>(view->layout());
    // The column puts its spacing between the items it shows.
    bool showsAny = showsAnyItem(column);
    const std::vector<FormItem>& items = form->items();
    for (std::size_t index = from; index < items.size(); ++index) {
        if (deferral && deferral->full()) {
            deferral->pending.emplace_back(DeferralState::Items{view, form, index, factory});
            return;
        }
        const FormItem& item = items[index];
        const auto spaceBefore = [&] {
            if (deferral && showsAny) deferral->unfilled -= FormMetrics::formSpacing;
        };
        QWidget* widget = nullptr;
        if (const auto* section = std::get_if<FormSection>(&item)) {
            spaceBefore();  // the section counts its own rows
            widget = makeSection(*section, factory, view, deferral, form, index);
        } else if (const auto* centered = std::get_if<CenteredSegment>(&item)) {
            widget = makeCenteredSegment(*centered, view);
            spaceBefore();
            if (deferral) {
                deferral->unfilled -=
                    FormMetrics::segmentHeight + 2 * FormMetrics::centeredSegmentInset;
            }
        } else if (const auto* custom = std::get_if<CustomViewSpec>(&item)) {
            widget = factory.customViews ? factory.customViews(*custom, view) : nullptr;
            if (widget && !widget->isHidden()) {
                spaceBefore();
                if (deferral) deferral->unfilled -= leastViewHeight(widget);
            }
        } else if (const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            // A page inside a page: its items go into this column, with no view of its own
            // (each one a page is made of costs its build, show and layout).
            if (*inner) addItems(view, *inner, 0, factory, deferral);
            showsAny = showsAnyItem(column);
            continue;
        }
        if (!widget) continue;
        column->insertWidget(column->count() - 1, widget);
        if (!widget->isHidden()) showsAny = true;
    }
}

FormView* renderFormWith(std::shared_ptr<FormContent> form, const FormViews& factory,
                         QWidget* parent, DeferralState* deferral) {
    auto* view = new FormView(form, parent);
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, px(FormMetrics::formBottomInset));
    column->setSpacing(px(FormMetrics::formSpacing));
    column->addStretch(1);
    if (form) addItems(view, form, 0, factory, deferral);
    return view;
}

}  // namespace

FormView* renderForm(std::shared_ptr<FormContent> form, const FormViews& factory, QWidget* parent,
                     DeferredFormRendering* deferral) {
    return renderFormWith(std::move(form), factory, parent,
                          deferral ? &deferral->state() : nullptr);
}

DeferredFormRendering::DeferredFormRendering(int firstScreenHeight)
    : state_(std::make_unique<State>()) {
    state_->unfilled = firstScreenHeight;
}

DeferredFormRendering::~DeferredFormRendering() = default;

bool DeferredFormRendering::hasPending() const {
    return !state_->pending.empty();
}

void DeferredFormRendering::finish() {
    const std::vector<std::variant<State::Rows, State::Items>> pending =
        std::exchange(state_->pending, {});
    for (const auto& part : pending) {
        QWidget* container = nullptr;
        QList<QWidget*> before;
        if (const auto* rows = std::get_if<State::Rows>(&part)) {
            if (!rows->card) continue;
            container = rows->card;
            before = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            const auto& section = std::get<FormSection>(rows->form->items()[rows->item]);
            addRows(section, rows->nextRow, rows->factory, rows->card, nullptr, rows->form,
                    rows->item);
        } else if (const auto* items = std::get_if<State::Items>(&part)) {
            if (!items->view) continue;
            container = items->view;
            before = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            addItems(items->view, items->form, items->nextItem, items->factory, nullptr);
        }
        // Added to a view already on screen, the new parts show as renderForm() would have
        // shown them; those the factory hid stay hidden.
        if (container && container->isVisible()) {
            for (QWidget* child :
                 container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                const bool hiddenOnPurpose =
                    child->isHidden() && child->testAttribute(Qt::WA_WState_ExplicitShowHide);
                if (!before.contains(child) && !hiddenOnPurpose) child->show();
            }
        }
    }
}

QRect formCardRect(const QWidget* section) {
    const auto* view = dynamic_cast<const SectionView*>(section);
    return view ? view->cardRect() : QRect();
}

std::vector<QRect> formCardSeparators(const QWidget* section) {
    const auto* view = dynamic_cast<const SectionView*>(section);
    return view ? view->separatorRects() : std::vector<QRect>{};
}

QKeySequence formRowResetShortcut() {
    // Not Ctrl+Backspace: a text field deletes the word before the cursor with it.
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace);
}

void refreshFormRowMarkers(QWidget* formView) {
    if (!formView) return;
    for (QWidget* row : formView->findChildren<QWidget*>(FormWidgetNames::row)) {
        if (auto* resettable = dynamic_cast<FormRowWidget*>(row)) resettable->refreshMarker();
    }
}

QWidget* findFormRow(QWidget* formView, const QString& title) {
    if (!formView) return nullptr;
    for (QWidget* row : formView->findChildren<QWidget*>(FormWidgetNames::row)) {
        if (row->property(FormWidgetNames::rowTitleProperty).toString() == title) return row;
    }
    return nullptr;
}

}  // namespace tavrel
