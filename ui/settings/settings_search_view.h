#pragma once

// The settings search in the window's sidebar: a field above the sidebar rows and, while it holds
// a query, a list of the rows found in place of the sidebar rows. Each result shows the row's
// title and, below it, where the row is ("page · tab · section"), plus why it is hidden when the
// current settings hide it. Down and Up in the field move through the results, Enter opens the
// current one, a click opens one, Escape clears the field. The index is built from the page
// registry when the first query needs it and again after invalidate(); a query is a scan over it,
// and the results reuse a fixed set of widgets, so typing never builds the list anew.
//
// Assistive technologies see the field as an editable text named "搜索设置" and every result as
// a button named by the row's title, its location (and reason) as the description, with a press
// action that opens it. Main thread only.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/settings_search/settings_search_index.h"

class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;
class QVariantAnimation;

namespace tavrel {

struct SettingsSearchTexts {
    static constexpr std::string_view placeholder = "搜索设置";
    static constexpr std::string_view resultsName = "搜索结果";
    static constexpr std::string_view noResults = "没有找到相关设置";
    // Shown under the results when more rows hold the query than the list shows.
    static std::string moreResults(std::size_t hidden);
};

// "page · tab · section", leaving out what the row does not have.
std::string settingsSearchLocationText(const SettingsSearchEntry& entry);

// The row widget of a rendered page (`formView`, built from `form`) that opening `entry` shows:
// the entry's own row; for a hidden row, the row of its page that reveals it; nothing when the
// page has neither (a row of the other theme, say).
QWidget* findSettingsSearchRow(QWidget* formView, const FormContent& form,
                               const SettingsSearchEntry& entry);

// One result: the title, the location below it, the hidden reason below that.
class SettingsSearchResultButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit SettingsSearchResultButton(QWidget* parent = nullptr);

    void showEntry(const SettingsSearchEntry& entry);
    const SettingsSearchEntry& entry() const { return entry_; }
    // The result Enter in the field opens, drawn as selected.
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }

    QSize sizeHint() const override;

    // Up or Down pressed while the result has the focus.
    std::function<void(int step)> onStep;
    // Escape pressed while the result has the focus.
    std::function<void()> onEscape;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    SettingsSearchEntry entry_;
    QString location_;
    QString reason_;
    bool current_ = false;
    bool hovered_ = false;
};

// An accent tint over a row that a search opened: it shows at once, holds a moment and fades
// away, then deletes itself. It takes no input.
class SettingsSearchHighlight final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* name = "settingsSearchHighlight";
    static constexpr int holdMilliseconds = 1500;
    static constexpr int fadeMilliseconds = 400;

    explicit SettingsSearchHighlight(QWidget* row);
    // Starts the fade now instead of after the hold.
    void fadeOut();
    double opacity() const { return opacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* hold_;
    QVariantAnimation* fade_ = nullptr;
    double opacity_ = 1.0;
};

class SettingsSearch final : public QObject {
    Q_OBJECT
public:
    // At most this many results are shown; the rest are counted below them.
    static constexpr int maxShownResults = 40;

    // The field and the results list are made as children of `parent`; the owner places them.
    SettingsSearch(QWidget* parent, std::function<SettingsSearchIndex()> buildIndex);
    ~SettingsSearch() override;

    QLineEdit* field() const { return field_; }
    QScrollArea* resultsView() const { return results_; }
    // Whether the field holds a query (the results are shown in place of the sidebar rows).
    bool isSearching() const { return searching_; }
    // The results shown, in order.
    std::vector<SettingsSearchResultButton*> shownResults() const;
    // The result Enter opens; -1 when there is none.
    int currentResult() const { return current_; }

    // The settings changed: the index is built again before the next query, and the results
    // shown are brought up to date on the next turn.
    void invalidate();
    // The index as of the last change (built now when needed).
    const SettingsSearchIndex& index();

    // A result was chosen (Enter, a click, a press over assistive technology).
    std::function<void(const SettingsSearchEntry&)> onOpen;
    // The results appeared or went (the owner shows or hides the sidebar rows).
    std::function<void(bool searching)> onSearchingChanged;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `keepPlace`: the same query again after a change of the settings; the current result and
    // the list's offset stay where they are.
    void runQuery(bool keepPlace = false);
    void setCurrent(int index);
    void openResult(int index);
    SettingsSearchResultButton* resultButton(int index);

    std::function<SettingsSearchIndex()> buildIndex_;
    std::optional<SettingsSearchIndex> index_;
    QLineEdit* field_;
    QScrollArea* results_;
    QWidget* resultsContent_;
    QLabel* footer_;
    std::vector<SettingsSearchResultButton*> buttons_;  // made as needed, reused
    std::vector<std::size_t> found_;
    int shown_ = 0;
    int current_ = -1;
    bool searching_ = false;
    bool refreshQueued_ = false;
};

}  // namespace tavrel
