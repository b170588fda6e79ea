#include "core/settings_pages/page_services.h"

namespace tavrel {

namespace {

class NullNewFileFeatureSwitch final : public NewFileFeatureSwitch {
public:
    std::optional<bool> isEnabled() const override { return std::nullopt; }
    void setEnabled(bool) override {}
};

class NullNativeDockVisibilitySwitch final : public NativeDockVisibilitySwitch {
public:
    void changeNativeDockHidden(bool) override {}
};

class NullAppUpdateCheck final : public AppUpdateCheck {
public:
    std::string currentVersion() const override { return "0.0.0"; }
    void check() override {}
};

}  // namespace

std::unique_ptr<AppUpdateCheck> makeNullAppUpdateCheck() {
    return std::make_unique<NullAppUpdateCheck>();
}

std::unique_ptr<NewFileFeatureSwitch> makeNullNewFileFeatureSwitch() {
    return std::make_unique<NullNewFileFeatureSwitch>();
}

std::unique_ptr<NativeDockVisibilitySwitch> makeNullNativeDockVisibilitySwitch() {
    return std::make_unique<NullNativeDockVisibilitySwitch>();
}

}  // namespace tavrel
