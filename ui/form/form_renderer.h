#pragma once

// Turns a FormContent into widgets: the column, the section cards with their separators, one
// row per FormRow (title column with help button, control column), and the views a page asks
// for by kind through the window's factory. Each control is wired to its row's action; sliders
// go through SliderModel, so normalisation and validation happen in one place.
//
// The rendered widget keeps its FormContent alive, so an action that rebuilds the window may
// retire the widget (deleteLater) while it is still running.

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <QKeySequence>
#include <QRect>
#include <QWidget>

#include "core/form/form_content.h"
#include "ui/form/compound_row_view.h"

namespace tavrel {

// Builds the widget for a custom view; nothing for a kind it does not know.
using CustomViewFactory = std::function<QWidget*(const CustomViewSpec& view, QWidget* parent)>;

// Rows whose value may be away from its default: such a row shows a small marker ("已修改")
// before its title while it is, and offers "恢复默认值" in its context menu (right click, the
// Menu key or Shift+F10), by clicking the marker and by Ctrl+Shift+Backspace on its control.
// The form knows nothing of settings: the window answers for each row.
struct FormRowDefaults {
    static constexpr const char* changedText = "已修改";
    static constexpr const char* resetTitle = "恢复默认值";
    static constexpr const char* markerName = "formRowChangedMarker";

    std::function<bool(const FormRow&)> resettable;  // whether the row offers a reset at all
    std::function<bool(const FormRow&)> isChanged;
    std::function<void(const FormRow&)> reset;  // may rebuild the window

    explicit operator bool() const { return resettable && isChanged && reset; }
};

// The key that resets the focused row's value.
QKeySequence formRowResetShortcut();

// What the renderer asks of the window: the views it makes itself, the pictures of icons
// (files, applications) that rows show, and how rows stand against their defaults.
struct FormViews {
    FormViews() = default;
    // Any callable that makes custom views (the factory alone).
    template <class Factory,
              class = std::enable_if_t<std::is_constructible_v<CustomViewFactory, Factory> &&
                                       !std::is_same_v<std::decay_t<Factory>, FormViews>>>
    FormViews(Factory&& customViews_)  // NOLINT(google-explicit-constructor)
        : customViews(std::forward<Factory>(customViews_)) {}
    FormViews(CustomViewFactory customViews_, FormIconResolver icons_)
        : customViews(std::move(customViews_)), icons(std::move(icons_)) {}

    CustomViewFactory customViews;
    FormIconResolver icons;
    FormRowDefaults rowDefaults;
};

class FormView : public QWidget {
    Q_OBJECT
public:
    FormView(std::shared_ptr<FormContent> form, QWidget* parent);
    const std::shared_ptr<FormContent>& form() const { return form_; }

private:
    std::shared_ptr<FormContent> form_;
};

// Names the widgets carry so that a row can be found by its title (property "formRowTitle" on
// the row, object names on the parts).
struct FormWidgetNames {
    static constexpr const char* rowTitleProperty = "formRowTitle";
    static constexpr const char* sectionHeader = "formSectionHeader";
    static constexpr const char* card = "formCard";
    static constexpr const char* row = "formRow";
    static constexpr const char* titleLabel = "formRowTitleLabel";
    static constexpr const char* centeredSegment = "formCenteredSegment";
    static constexpr const char* versionCheckButton = "formVersionCheckButton";
};

// A form rendered in two steps, so that a window's first frame waits only for what it shows.
// renderForm() given one builds the form until the first `firstScreenHeight` pixels are surely
// filled (each part counted at the least height it can take, so never too little) and keeps
// the rest; finish() builds the rest where it belongs, as renderForm() alone would have. Parts
// whose view was retired meanwhile are skipped.
class DeferredFormRendering {
public:
    explicit DeferredFormRendering(int firstScreenHeight);
    ~DeferredFormRendering();
    DeferredFormRendering(const DeferredFormRendering&) = delete;
    DeferredFormRendering& operator=(const DeferredFormRendering&) = delete;

    bool hasPending() const;
    void finish();

    struct State;
    State& state() { return *state_; }

private:
    std::unique_ptr<State> state_;
};

FormView* renderForm(std::shared_ptr<FormContent> form, const FormViews& views,
                     QWidget* parent = nullptr, DeferredFormRendering* deferral = nullptr);

// Shows again which rows of a rendered form are away from their defaults (after a change that
// did not rebuild the form).
void refreshFormRowMarkers(QWidget* formView);

// The row widget of a rendered form with this title (searching sub-forms too), or nothing.
QWidget* findFormRow(QWidget* formView, const QString& title);

// A section of a rendered form (a widget named FormWidgetNames::card) is its header above its
// card: the card's rectangle in the section, and the hairlines the card draws between its rows.
// Empty for another widget.
QRect formCardRect(const QWidget* section);
std::vector<QRect> formCardSeparators(const QWidget* section);

}  // namespace tavrel
