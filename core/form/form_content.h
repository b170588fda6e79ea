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

// A row that is only its title (a list's empty state, for example).
struct TextRowControl {};

// The running version ("版本号：" and the version, selectable) with a "检查更新" button at the
// far end; the row spans the card (no title column). The row's title is the label's text.
struct VersionCheckControl {
    std::string currentVersion;
    std::function<void()> action;
};

// A view of the window's making inside the current card, at the card's width, in place of a row
// (no title column); the separator rule applies as to any row.
struct CardBlockControl {
    CustomViewSpec view;
};

// An icon as a row shows it: the desktop's icon for a file, else for an application named by its
// identifier, else a symbol. Empty parts are skipped.
struct FormIcon {
    std::string file;
    std::string applicationIdentifier;
    std::string symbolName;
    friend bool operator==(const FormIcon&, const FormIcon&) = default;
};

// The parts of a compound row's control column, left to right. A part with a `state` reads it
// again after any action of the row, so a model behind the row can refuse or reset a change and
// every part shows what it holds.
struct CompoundIcon {
    FormIcon icon;
    double size = 28;
};

struct CompoundSwitch {
    bool isOn = false;
    std::string toolTip;
    std::string accessibleName;  // empty: the row's title
    double width = 0;            // 0: the switch's natural width
    std::function<void(bool)> action;
};

struct CompoundButton {
    std::string title;  // empty: a symbol-only button
    std::optional<std::string> symbolName;
    std::string toolTip;
    std::string accessibleName;  // empty: the title, else the tool tip
    double width = 0;
    double height = 30;
    double cornerRadius = 7;
    bool isEnabled = true;
    std::function<void()> action;
};

struct CompoundCheckBox {
    std::string title;
    std::string toolTip;
    double width = 34;
    std::function<bool()> state;
    std::function<void(bool)> action;
};

struct CompoundPopUpItem {
    std::string title;
    int tag = 0;
    friend bool operator==(const CompoundPopUpItem&, const CompoundPopUpItem&) = default;
};

struct CompoundPopUp {
    std::vector<CompoundPopUpItem> items;
    std::string toolTip;
    double width = 92;
    double height = 30;
    std::function<int()> selectedTag;
    std::function<void(int)> action;  // with the chosen item's tag
};

using CompoundPart =
    std::variant<CompoundIcon, CompoundSwitch, CompoundButton, CompoundCheckBox, CompoundPopUp>;

struct CompoundControl {
    std::vector<CompoundPart> parts;
};

class FormContent;

using FormControl = std::variant<SwitchControl, SliderControl, SegmentControl, ColorControl,
                                 ButtonControl, InfoBlockControl, CustomViewSpec, TextRowControl,
                                 CardBlockControl, CompoundControl, VersionCheckControl>;

// A settings key a row edits, by its name in the settings document; a theme-scoped key lives in
// the record of the theme the page shows.
struct FormKeyReference {
    std::string name;
    bool themeScoped = false;
    friend bool operator==(const FormKeyReference&, const FormKeyReference&) = default;
};

struct FormRow {
    std::string title;
    std::string detail;  // the help text
    bool allowsTitleWrapping = true;
    FormControl control;
    // What the row edits: its own key first, then keys a change may write besides. Empty for a
    // row that edits no setting of its own (a list entry, a command).
    std::vector<FormKeyReference> keys;
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
    // The version row's texts.
    static constexpr const char* versionLabelPrefix = "版本号：";
    static constexpr const char* checkForUpdatesTitle = "检查更新";

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
    // A row that is only its title.
    FormRow& addTextRow(std::string title);
    // A view inside the current card at the card's width (see CardBlockControl); `title` names
    // it for lookups and the accessibility tree.
    FormRow& addCardBlock(std::string title, CustomViewSpec view);
    // The version row: "版本号：" + `currentVersion`, and "检查更新" running `action`.
    FormRow& addVersionCheck(std::string currentVersion, std::function<void()> action);
    // A row whose control column holds the given parts.
    FormRow& addCompoundRow(std::string title, std::string detail, std::vector<CompoundPart> parts,
                            bool allowsTitleWrapping = true);
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
