#pragma once

// A settings page as data: a column of titled section cards, each a list of rows (title with a
// help text at the left, a control at the right), plus views that sit in the column outside any
// card. Page builders create one FormContent, call its add operations in display order and hand
// it to the window, whose renderer turns it into widgets and wires every control to the row's
// action. Rows that must not show are simply not added.
//
// Actions are called on the main thread with normalised values. An action may rebuild the
// window's content; the window keeps the form alive until the action has returned.

#include <any>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/form/slider_rule.h"

namespace tavrel {

// A colour as the form shows and edits it: device RGB components from 0 to 1.
struct FormColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    friend bool operator==(const FormColor&, const FormColor&) = default;
};

// Text colours that follow the window's appearance.
enum class FormTextColor {
    label,
    secondaryLabel,
    tertiaryLabel,
    systemRed,
    systemOrange,
    systemGreen
};
enum class FormFontWeight { regular, medium, semibold, bold };

struct SwitchControl {
    bool isOn = false;
    bool isEnabled = true;
    std::function<void(bool)> action;
};

struct SliderControl {
    SliderRange range;
    double value = 0;                // as stored; the renderer normalises it before showing
    SliderFormatter valueFormatter;  // empty: one decimal
    SliderValidator validateValue;   // empty: everything is valid
    std::function<void(double)> action;
};

struct SegmentControl {
    std::vector<std::string> labels;
    int selected = 0;
    std::function<void(int)> action;
};

struct ColorControl {
    FormColor color;
    std::function<void(FormColor)> action;
};

struct ButtonControl {
    std::optional<std::string> symbolName;
    std::function<void()> action;
};

// A text block inside a card; the row's title is the block's title.
struct InfoBlockControl {
    std::string body;
    FormTextColor bodyColor = FormTextColor::secondaryLabel;
    FormFontWeight bodyWeight = FormFontWeight::regular;
};

// A view the window builds itself, named by `kind`; `data` is what it needs (a spec type the
// page and the window agree on).
struct CustomViewSpec {
    std::string kind;
    std::any data;
};

class FormContent;

using FormControl = std::variant<SwitchControl, SliderControl, SegmentControl, ColorControl,
                                 ButtonControl, InfoBlockControl, CustomViewSpec>;

struct FormRow {
    std::string title;
    std::string detail;  // the help text
    bool allowsTitleWrapping = true;
    FormControl control;
};

struct FormSection {
    std::string title;
    std::vector<FormRow> rows;
};

// A segmented control centred across the column, outside any card.
struct CenteredSegment {
    SegmentControl segment;
};

using FormItem =
    std::variant<FormSection, CenteredSegment, CustomViewSpec, std::shared_ptr<FormContent>>;

class FormContent {
public:
    // Title of the section a row opens when none is open.
    static constexpr const char* defaultSectionTitle = "设置";

    void addSection(std::string title);

    // Adds a row to the current section, opening a "设置" section when there is none.
    FormRow& addRow(FormRow row);

    FormRow& addSwitch(std::string title, std::string detail, bool isOn,
                       std::function<void(bool)> action, bool allowsTitleWrapping = true,
                       bool isEnabled = true);
    FormRow& addSlider(std::string title, std::string detail, double value, double min, double max,
                       double step, std::function<void(double)> action,
                       SliderFormatter valueFormatter = {}, SliderValidator validateValue = {});
    FormRow& addSegment(std::string title, std::string detail, std::vector<std::string> labels,
                        int selected, std::function<void(int)> action);
    void addCenteredSegment(std::vector<std::string> labels, int selected,
                            std::function<void(int)> action);
    FormRow& addColor(std::string title, std::string detail, FormColor color,
                      std::function<void(FormColor)> action);
    FormRow& addButton(std::string title, std::string detail, std::optional<std::string> symbolName,
                       std::function<void()> action);
    FormRow& addInfoBlock(std::string title, std::string body,
                          FormTextColor bodyColor = FormTextColor::secondaryLabel,
                          FormFontWeight bodyWeight = FormFontWeight::regular);
    // A row whose control column holds a view of the window's making.
    FormRow& addCustomRow(std::string title, std::string detail, CustomViewSpec view);
    // A view at full width in the column, outside any card. Closes the current section, so a
    // following row opens a new card.
    void addCustomView(CustomViewSpec view);
    // Another form's column, at full width (a page inside a page).
    void addForm(std::shared_ptr<FormContent> form);

    const std::vector<FormItem>& items() const { return items_; }

    // Every row of every section, in order, sub-forms included (for tests and lookups).
    std::vector<const FormRow*> rows() const;
    const FormRow* row(std::string_view title) const;
    std::vector<std::string> rowTitles() const;
    // The section that holds the row with this title.
    const FormSection* sectionOfRow(std::string_view title) const;

private:
    std::vector<FormItem> items_;
    std::optional<std::size_t> currentSection_;
};

// A separator goes before every row of a card except the first.
inline bool hasSeparatorBefore(std::size_t rowIndexInSection) {
    return rowIndexInSection > 0;
}

}  // namespace tavrel
