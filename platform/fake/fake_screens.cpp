#include "platform/fake/fake_screens.h"

namespace tavrel::platform {

Screens::ObserverId FakeScreens::observe(std::function<void()> changed) {
    const ObserverId id = ++lastObserver_;
    observers_.emplace(id, std::move(changed));
    return id;
}

void FakeScreens::fireChange() {
    std::vector<ObserverId> ids;
    for (const auto& [id, observer] : observers_) ids.push_back(id);
    for (const ObserverId id : ids) {
        // Observers may remove themselves or others while being called.
        const auto found = observers_.find(id);
        if (found == observers_.end()) continue;
        const std::function<void()> observer = found->second;
        if (observer) observer();
    }
}

}  // namespace tavrel::platform
