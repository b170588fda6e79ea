#include "core/form/form_content.h"

#include <utility>

namespace tavrel {

namespace {

FormRow rowOf(std::string title, std::string detail, bool allowsTitleWrapping,
              FormControl control) {
    FormRow row;
    row.title = std::move(title);
    row.detail = std::move(detail);
    row.allowsTitleWrapping = allowsTitleWrapping;
    row.control = std::move(control);
    return row;
}

}  // namespace

void FormContent::addSection(std::string title) {
    items_.emplace_back(FormSection{std::move(title), {}});
    currentSection_ = items_.size() - 1;
}

FormRow& FormContent::addRow(FormRow row) {
    if (!currentSection_) addSection(defaultSectionTitle);
    auto& section = std::get<FormSection>(items_[*currentSection_]);
    section.rows.push_back(std::move(row));
    return section.rows.back();
}

FormRow& FormContent::addSwitch(std::string title, std::string detail, bool isOn,
                                std::function<void(bool)> action, bool allowsTitleWrapping,
                                bool isEnabled) {
    return addRow(rowOf(std::move(title), std::move(detail), allowsTitleWrapping,
                        SwitchControl{isOn, isEnabled, std::move(action)}));
}

FormRow& FormContent::addSlider(std::string title, std::string detail, double value, double min,
                                double max, double step, std::function<void(double)> action,
                                SliderFormatter valueFormatter, SliderValidator validateValue) {
    return addRow(rowOf(std::move(title), std::move(detail), true,
                        SliderControl{SliderRange{min, max, step}, value, std::move(valueFormatter),
                                      std::move(validateValue), std::move(action)}));
}

FormRow& FormContent::addSegment(std::string title, std::string detail,
                                 std::vector<std::string> labels, int selected,
                                 std::function<void(int)> action) {
    return addRow(rowOf(std::move(title), std::move(detail), true,
                        SegmentControl{std::move(labels), selected, std::move(action)}));
}

void FormContent::addCenteredSegment(std::vector<std::string> labels, int selected,
                                     std::function<void(int)> action) {
    items_.emplace_back(
        CenteredSegment{SegmentControl{std::move(labels), selected, std::move(action)}});
    currentSection_.reset();
}

FormRow& FormContent::addColor(std::string title, std::string detail, FormColor color,
                               std::function<void(FormColor)> action) {
    return addRow(
        rowOf(std::move(title), std::move(detail), true, ColorControl{color, std::move(action)}));
}

FormRow& FormContent::addButton(std::string title, std::string detail,
                                std::optional<std::string> symbolName,
                                std::function<void()> action) {
    return addRow(rowOf(std::move(title), std::move(detail), true,
                        ButtonControl{std::move(symbolName), std::move(action)}));
}

FormRow& FormContent::addInfoBlock(std::string title, std::string body, FormTextColor bodyColor,
                                   FormFontWeight bodyWeight) {
    return addRow(rowOf(std::move(title), {}, true,
                        InfoBlockControl{std::move(body), bodyColor, bodyWeight}));
}

FormRow& FormContent::addCustomRow(std::string title, std::string detail, CustomViewSpec view) {
    return addRow(rowOf(std::move(title), std::move(detail), true, std::move(view)));
}

FormRow& FormContent::addTextRow(std::string title) {
    return addRow(rowOf(std::move(title), {}, true, TextRowControl{}));
}

FormRow& FormContent::addCardBlock(std::string title, CustomViewSpec view) {
    return addRow(rowOf(std::move(title), {}, true, CardBlockControl{std::move(view)}));
}

FormRow& FormContent::addVersionCheck(std::string currentVersion, std::function<void()> action) {
    std::string title = versionLabelPrefix + currentVersion;
    return addRow(rowOf(std::move(title), {}, true,
                        VersionCheckControl{std::move(currentVersion), std::move(action)}));
}

FormRow& FormContent::addCompoundRow(std::string title, std::string detail,
                                     std::vector<CompoundPart> parts, bool allowsTitleWrapping) {
    return addRow(rowOf(std::move(title), std::move(detail), allowsTitleWrapping,
                        CompoundControl{std::move(parts)}));
}

void FormContent::addCustomView(CustomViewSpec view) {
    items_.emplace_back(std::move(view));
    currentSection_.reset();
}

void FormContent::addForm(std::shared_ptr<FormContent> form) {
    items_.emplace_back(std::move(form));
    currentSection_.reset();
}

std::vector<const FormRow*> FormContent::rows() const {
    std::vector<const FormRow*> result;
    for (const FormItem& item : items_) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& row : section->rows) result.push_back(&row);
        } else if (const auto* form = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            if (*form) {
                const auto inner = (*form)->rows();
                result.insert(result.end(), inner.begin(), inner.end());
            }
        }
    }
    return result;
}

const FormRow* FormContent::row(std::string_view title) const {
    for (const FormRow* candidate : rows()) {
        if (candidate->title == title) return candidate;
    }
    return nullptr;
}

std::vector<std::string> FormContent::rowTitles() const {
    std::vector<std::string> titles;
    for (const FormRow* candidate : rows()) titles.push_back(candidate->title);
    return titles;
}

const FormSection* FormContent::sectionOfRow(std::string_view title) const {
    for (const FormItem& item : items_) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            for (const FormRow& candidate : section->rows) {
                if (candidate.title == title) return section;
            }
        } else if (const auto* form = std::get_if<std::shared_ptr<FormContent>>(&item)) {
            if (*form) {
                if (const FormSection* found = (*form)->sectionOfRow(title)) return found;
            }
        }
    }
    return nullptr;
}

}  // namespace tavrel
