#include "ui/settings/settings_search_view.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "ui/form/form_renderer.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/settings/thin_overlay_scroller.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

constexpr int kPadding = 7;
constexpr double kTitleSize = 13;
constexpr double kLineSize = 11;

bool isOpenKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

std::string SettingsSearchTexts::moreResults(std::size_t hidden) {
    return "还有 " + std::to_string(hidden) + " 项结果，请输入更多文字";
}

std::string settingsSearchLocationText(const SettingsSearchEntry& entry) {
    std::string text = entry.pageTitle;
    for (const std::string* part : {&entry.tabTitle, &entry.section}) {
        if (part->empty() || *part == entry.pageTitle) continue;
        text += " · " + *part;
    }
    return text;
}

namespace {

struct PageRow {
    const FormRow* row;
    const std::string* section;
};

void collectRows(const FormContent& form, std::vector<PageRow>& out) {
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows) out.push_back({&row, &section->title});
        } else if (const auto* inner = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            if (*inner) collectRows(**inner, out);
        }
    }
}

std::optional<std::size_t> targetRow(const std::vector<PageRow>& rows,
                                     const SettingsSearchEntry& entry) {
    const auto first = [&](auto matches) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (matches(rows[i])) return i;
        }
        return std::nullopt;
    };
    if (entry.hiddenReason) {
        if (!entry.revealedBy) return std::nullopt;
        // Shown after all (the settings changed since the index was built)?
        if (auto own = first([&](const PageRow& r) {
                return r.row->title == entry.title && *r.section == entry.section;
            })) {
            return own;
        }
        return first([&](const PageRow& r) { return r.row->title == *entry.revealedBy; });
    }
    if (entry.rowIndex < rows.size() && rows[entry.rowIndex].row->title == entry.title &&
        *rows[entry.rowIndex].section == entry.section) {
        return entry.rowIndex;
    }
    if (auto same = first([&](const PageRow& r) {
            return r.row->title == entry.title && *r.section == entry.section;
        })) {
        return same;
    }
    return first([&](const PageRow& r) { return r.row->title == entry.title; });
}

}  // namespace

QWidget* findSettingsSearchRow(QWidget* formView, const FormContent& form,
                               const SettingsSearchEntry& entry) {
    if (!formView) return nullptr;
    std::vector<PageRow> rows;
    collectRows(form, rows);
    const std::optional<std::size_t> target = targetRow(rows, entry);
    if (!target) return nullptr;
    // Rows of one title are told apart by their order: the renderer makes the row widgets in
    // the order of the form.
    const std::string& title = rows[*target].row->title;
    int before = 0;
    for (std::size_t i = 0; i < *target; ++i) {
        if (rows[i].row->title == title) ++before;
    }
    const QString wanted = QString::fromStdString(title);
    for (QWidget* row : formView->findChildren<QWidget*>(FormWidgetNames::row)) {
        if (row->property(FormWidgetNames::rowTitleProperty).toString() != wanted) continue;
        if (before-- == 0) return row;
    }
    return nullptr;
}

// --- A result

SettingsSearchResultButton::SettingsSearchResultButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SettingsSearchResultButton::showEntry(const SettingsSearchEntry& entry) {
    entry_ = entry;
    const QString title = QString::fromStdString(entry.title);
    location_ = QString::fromStdString(settingsSearchLocationText(entry));
    reason_ = entry.hiddenReason ? QString::fromStdString(*entry.hiddenReason) : QString();
    setText(title);
    setAccessibleName(title);
    const QString description =
        reason_.isEmpty() ? location_ : location_ + QStringLiteral("；") + reason_;
    setAccessibleDescription(description);
    // Tool tips take markup; titles may come from outside (an imported New File kind's name).
    setToolTip(QStringLiteral("<p style='white-space:pre'>%1<br>%2</p>")
                   .arg(title.toHtmlEscaped(), description.toHtmlEscaped()));
    updateGeometry();
    update();
}

void SettingsSearchResultButton::setCurrent(bool current) {
    if (current_ == current) return;
    current_ = current;
    update();
}

QSize SettingsSearchResultButton::sizeHint() const {
    const QFontMetricsF title(settingsFont(kTitleSize, QFont::DemiBold));
    const QFontMetricsF line(settingsFont(kLineSize));
    qreal height = 2 * kPadding + title.height() + 2 + line.height();
    if (!reason_.isEmpty()) height += 1 + line.height();
    return QSize(200, static_cast<int>(std::ceil(height)));
}

void SettingsSearchResultButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor background = Qt::transparent;
    if (current_) {
        background = settingsSystemGray(0.2);
    } else if (hovered_) {
        background = settingsSystemGray(0.12);
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(path, background);
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.55f);
        painter.setPen(QPen(ring, 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 9, 9);
    }

    // Every text is drawn as plain text, cut short with an ellipsis where it does not fit.
    const qreal left = 10;
    const qreal width = std::max<qreal>(0, this->width() - 2 * left);
    qreal y = kPadding;
    const auto line = [&](const QString& text, const QFont& font, const QColor& color) {
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QRectF(left, y, width, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text, Qt::ElideRight, width));
        y += metrics.height();
    };
    line(text(), settingsFont(kTitleSize, QFont::DemiBold), settingsLabelColor(palette()));
    y += 2;
    line(location_, settingsFont(kLineSize), settingsSecondaryLabelColor(palette()));
    if (!reason_.isEmpty()) {
        y += 1;
        line(reason_, settingsFont(kLineSize), textColor(palette(), FormTextColor::systemOrange));
    }
}

void SettingsSearchResultButton::keyPressEvent(QKeyEvent* event) {
    if (isOpenKey(event->key())) {
        click();
        return;
    }
    if (event->key() == Qt::Key_Escape && onEscape) {
        onEscape();
        return;
    }
    if ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) && onStep) {
        onStep(event->key() == Qt::Key_Down ? 1 : -1);
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SettingsSearchResultButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    hovered_ = true;
    update();
}

void SettingsSearchResultButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    hovered_ = false;
    update();
}

// --- The highlight

SettingsSearchHighlight::SettingsSearchHighlight(QWidget* row)
    : QWidget(row), hold_(new QTimer(this)) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(row->rect());
    row->installEventFilter(this);
    hold_->setSingleShot(true);
    hold_->setInterval(holdMilliseconds);
    connect(hold_, &QTimer::timeout, this, &SettingsSearchHighlight::fadeOut);
    hold_->start();
    raise();
    show();
}

void SettingsSearchHighlight::fadeOut() {
    hold_->stop();
    if (fade_) return;
    fade_ = new QVariantAnimation(this);
    fade_->setStartValue(1.0);
    fade_->setEndValue(0.0);
    fade_->setDuration(fadeMilliseconds);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        opacity_ = value.toDouble();
        update();
    });
    connect(fade_, &QVariantAnimation::finished, this, [this] {
        hide();
        deleteLater();
    });
    fade_->start();
}

bool SettingsSearchHighlight::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsSearchHighlight::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(static_cast<float>(0.22 * opacity_));
    QColor edge = palette().color(QPalette::Highlight);
    edge.setAlphaF(static_cast<float>(0.7 * opacity_));
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    painter.fillPath(path, fill);
    painter.setPen(QPen(edge, 1.5));
    painter.drawPath(path);
}

// --- The search

SettingsSearch::SettingsSearch(QWidget* parent, std::function<SettingsSearchIndex()> buildIndex)
    : QObject(parent),
      buildIndex_(std::move(buildIndex)),
      field_(new QLineEdit(parent)),
      results_(new QScrollArea(parent)),
      resultsContent_(new QWidget()),
      footer_(new QLabel(resultsContent_)) {
    const QString placeholder = qtext(SettingsSearchTexts::placeholder);
    field_->setPlaceholderText(placeholder);
    field_->setAccessibleName(placeholder);
    field_->setClearButtonEnabled(true);
    field_->setFont(settingsFont(13));
    field_->setFixedHeight(30);
    field_->installEventFilter(this);
    // textChanged, not textEdited: text set over assistive technology searches too.
    connect(field_, &QLineEdit::textChanged, this, [this] { runQuery(); });

    results_->setFrameShape(QFrame::NoFrame);
    results_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    results_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    results_->setWidgetResizable(true);
    results_->setAutoFillBackground(false);
    results_->viewport()->setAutoFillBackground(false);
    results_->setAccessibleName(qtext(SettingsSearchTexts::resultsName));
    results_->setFocusPolicy(Qt::NoFocus);
    auto* stack = new QVBoxLayout(resultsContent_);
    stack->setContentsMargins(18, 2, 18, 12);
    stack->setSpacing(2);
    footer_->setTextFormat(Qt::PlainText);
    footer_->setWordWrap(true);
    footer_->setFont(settingsFont(kLineSize));
    footer_->setContentsMargins(10, 6, 10, 0);
    footer_->setForegroundRole(QPalette::PlaceholderText);
    stack->addWidget(footer_);
    stack->addStretch(1);
    results_->setWidget(resultsContent_);
    resultsContent_->setAutoFillBackground(false);
    new ThinOverlayScroller(results_);
    results_->hide();
}

SettingsSearch::~SettingsSearch() = default;

std::vector<SettingsSearchResultButton*> SettingsSearch::shownResults() const {
    return {buttons_.begin(), buttons_.begin() + shown_};
}

const SettingsSearchIndex& SettingsSearch::index() {
    if (!index_) index_ = buildIndex_ ? buildIndex_() : SettingsSearchIndex{};
    return *index_;
}

void SettingsSearch::invalidate() {
    index_.reset();
    if (!searching_ || refreshQueued_) return;
    // Once for a burst of changes (a slider dragged), on the next turn.
    refreshQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued_ = false;
        if (searching_) runQuery(true);
    });
}

bool SettingsSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Down:
                if (shown_ > 0) setCurrent(std::min(current_ + 1, shown_ - 1));
                return true;
            case Qt::Key_Up:
                if (shown_ > 0) setCurrent(std::max(current_ - 1, 0));
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (current_ >= 0) openResult(current_);
                return true;
            case Qt::Key_Escape:
                if (field_->text().isEmpty()) return false;
                field_->clear();
                return true;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

SettingsSearchResultButton* SettingsSearch::resultButton(int index) {
    while (static_cast<int>(buttons_.size()) <= index) {
        const int position = static_cast<int>(buttons_.size());
        auto* button = new SettingsSearchResultButton(resultsContent_);
        auto* stack = static_cast<QVBoxLayout*>(resultsContent_->layout());
        stack->insertWidget(position, button);
        // Tab goes from the field through the results, in their order.
        QWidget::setTabOrder(position == 0 ? static_cast<QWidget*>(field_) : buttons_.back(),
                             button);
        connect(button, &QAbstractButton::clicked, this,
                [this, position] { openResult(position); });
        button->onStep = [this, position](int step) {
            const int next = position + step;
            if (next < 0) {
                field_->setFocus(Qt::OtherFocusReason);
            } else if (next < shown_) {
                setCurrent(next);
                buttons_[static_cast<std::size_t>(next)]->setFocus(Qt::OtherFocusReason);
            }
        };
        button->onEscape = [this] {
            field_->clear();
            field_->setFocus(Qt::OtherFocusReason);
        };
        buttons_.push_back(button);
    }
    return buttons_[static_cast<std::size_t>(index)];
}

void SettingsSearch::runQuery(bool keepPlace) {
    const QString text = field_->text();
    const bool searching = !text.trimmed().isEmpty();
    if (searching) {
        index().search(text.toStdString(), found_);
    } else {
        found_.clear();
    }
    const int shown = static_cast<int>(
        std::min<std::size_t>(found_.size(), static_cast<std::size_t>(maxShownResults)));
    const auto entries = index_ ? index_->entries() : std::span<const SettingsSearchEntry>{};
    for (int i = 0; i < shown; ++i) {
        SettingsSearchResultButton* button = resultButton(i);
        button->showEntry(entries[found_[static_cast<std::size_t>(i)]]);
        button->setVisible(true);
    }
    for (int i = shown; i < static_cast<int>(buttons_.size()); ++i) {
        buttons_[static_cast<std::size_t>(i)]->setVisible(false);
    }
    shown_ = shown;
    if (found_.empty()) {
        footer_->setText(qtext(SettingsSearchTexts::noResults));
    } else if (found_.size() > static_cast<std::size_t>(shown)) {
        footer_->setText(QString::fromStdString(
            SettingsSearchTexts::moreResults(found_.size() - static_cast<std::size_t>(shown))));
    } else {
        footer_->clear();
    }
    footer_->setVisible(!footer_->text().isEmpty());
    if (keepPlace && current_ >= 0 && current_ < shown) {
        setCurrent(current_);
    } else {
        setCurrent(shown > 0 ? 0 : -1);
        results_->verticalScrollBar()->setValue(0);
    }

    if (searching != searching_) {
        searching_ = searching;
        results_->setVisible(searching);
        if (onSearchingChanged) onSearchingChanged(searching);
    }
}

void SettingsSearch::setCurrent(int index) {
    current_ = index;
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        buttons_[static_cast<std::size_t>(i)]->setCurrent(i == index);
    }
    if (index >= 0 && index < shown_) {
        results_->ensureWidgetVisible(buttons_[static_cast<std::size_t>(index)], 0, 4);
    }
}

void SettingsSearch::openResult(int index) {
    if (index < 0 || index >= shown_) return;
    setCurrent(index);
    // A copy: opening rebuilds the window, which may query again.
    const SettingsSearchEntry entry = buttons_[static_cast<std::size_t>(index)]->entry();
    if (onOpen) onOpen(entry);
}

}  // namespace tavrel
