#include "core/settings_pages/bound_rows.h"

namespace tavrel {

Binding<bool> inverted(Binding<bool> binding) {
    binding.get = [get = binding.get](const TaskbarSettings& s) { return !get(s); };
    binding.set = [set = binding.set](TaskbarSettings& s, const bool& on) { set(s, !on); };
    return binding;
}

void applyRowChange(SettingsPageHost& host, OnChange change,
                    const std::function<void(TaskbarSettings&)>& write) {
    if (change == OnChange::endEditingLive || change == OnChange::endEditingRebuild) {
        host.endTextEditing();
    }
    write(host.settings());
    switch (change) {
        case OnChange::live:
        case OnChange::endEditingLive:
            host.applyLiveChange(false);
            break;
        case OnChange::rebuild:
            host.storePageScrollOrigin();
            host.notifyChange();
            host.rebuildContentViewBody();
            break;
        case OnChange::endEditingRebuild:
            host.applyLiveChange(true);
            break;
    }
}

FormRow& PageRows::toggle(std::string title, std::string detail, Binding<bool> binding,
                          OnChange change, bool isEnabled) {
    SettingsPageHost& host = host_;
    FormRow& row = form_.addSwitch(
        std::move(title), std::move(detail), binding.get(host.settings()),
        [&host, change, set = binding.set](bool on) {
            applyRowChange(host, change, [&](TaskbarSettings& s) { set(s, on); });
        },
        /*allowsTitleWrapping=*/true, isEnabled);
    row.keys = std::move(binding.keys);
    return row;
}

FormRow& PageRows::slider(std::string title, std::string detail, Binding<double> binding,
                          SliderRange range, OnChange change, SliderFormatter formatter,
                          SliderValidator validator) {
    SettingsPageHost& host = host_;
    FormRow& row = form_.addSlider(
        std::move(title), std::move(detail), binding.get(host.settings()), range.min, range.max,
        range.step,
        [&host, change, set = binding.set](double value) {
            applyRowChange(host, change, [&](TaskbarSettings& s) { set(s, value); });
        },
        std::move(formatter), std::move(validator));
    row.keys = std::move(binding.keys);
    return row;
}

FormRow& PageRows::color(std::string title, std::string detail, Binding<CodableColor> binding,
                         OnChange change) {
    SettingsPageHost& host = host_;
    const CodableColor shown = binding.get(host.settings());
    FormRow& row = form_.addColor(
        std::move(title), std::move(detail),
        FormColor{shown.red, shown.green, shown.blue, shown.alpha},
        [&host, change, set = binding.set](FormColor chosen) {
            applyRowChange(host, change, [&](TaskbarSettings& s) {
                set(s, CodableColor{chosen.red, chosen.green, chosen.blue, chosen.alpha});
            });
        });
    row.keys = std::move(binding.keys);
    return row;
}

}  // namespace tavrel
