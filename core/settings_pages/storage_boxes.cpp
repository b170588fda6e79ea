#include "core/settings_pages/storage_boxes.h"

#include <algorithm>

namespace tavrel {

namespace {

constexpr ApplicationStorageBoxSize kSizes[] = {
    ApplicationStorageBoxSize::small, ApplicationStorageBoxSize::medium,
    ApplicationStorageBoxSize::large, ApplicationStorageBoxSize::extraLarge,
    ApplicationStorageBoxSize::largest};
constexpr int kSizeCount = 5;
constexpr int kUnsetSizeIndex = 2;  // "大"

}  // namespace

std::string nextStorageBoxName(const StorageBoxList& boxes) {
    const auto taken = [&](const std::string& name) {
        return std::any_of(boxes.begin(), boxes.end(),
                           [&](const auto& box) { return box.name == name; });
    };
    // At most boxes.size() names can be taken, so this ends.
    for (std::size_t n = boxes.size() + 1;; ++n) {
        std::string name = std::string(StorageBoxTexts::namePrefix) + std::to_string(n);
        if (!taken(name)) return name;
    }
}

ApplicationStorageBoxConfiguration makeNewStorageBox(const StorageBoxList& boxes) {
    ApplicationStorageBoxConfiguration box;
    box.id = platform::Uuid::random();
    box.name = nextStorageBoxName(boxes);
    box.isVisible = true;
    return box;
}

ApplicationStorageBoxConfiguration* findStorageBox(StorageBoxList& boxes,
                                                   const platform::Uuid& id) {
    const auto found =
        std::find_if(boxes.begin(), boxes.end(), [&](const auto& box) { return box.id == id; });
    return found == boxes.end() ? nullptr : &*found;
}

const std::vector<std::string>& storageBoxSizeLabels() {
    static const std::vector<std::string> labels{"小", "中", "大", "加大", "特大"};
    return labels;
}

int storageBoxSizeIndex(std::optional<ApplicationStorageBoxSize> size) {
    if (!size) return kUnsetSizeIndex;
    for (int i = 0; i < kSizeCount; ++i) {
        if (kSizes[i] == *size) return i;
    }
    return kUnsetSizeIndex;
}

std::optional<ApplicationStorageBoxSize> storageBoxSizeForIndex(int index) {
    if (index < 0 || index >= kSizeCount) return std::nullopt;
    return kSizes[index];
}

platform::ModalAlert storageBoxDeleteConfirmation() {
    platform::ModalAlert alert;
    alert.style = platform::ModalAlert::Style::warning;
    alert.message = std::string(StorageBoxTexts::deleteMessage);
    alert.informativeText = std::string(StorageBoxTexts::deleteInformative);
    alert.buttons = {std::string(StorageBoxTexts::deleteButton),
                     std::string(StorageBoxTexts::cancelButton)};
    return alert;
}

void setStorageBoxVisible(SettingsPageHost& host, const platform::Uuid& id, bool visible) {
    ApplicationStorageBoxConfiguration* box =
        findStorageBox(host.settings().applicationStorageBoxes, id);
    if (!box) return;
    box->isVisible = visible;
    host.applyLiveChange(false);
}

void setStorageBoxSize(SettingsPageHost& host, const platform::Uuid& id, int index) {
    const std::optional<ApplicationStorageBoxSize> size = storageBoxSizeForIndex(index);
    if (!size) return;
    ApplicationStorageBoxConfiguration* box =
        findStorageBox(host.settings().applicationStorageBoxes, id);
    if (!box) return;
    box->size = size;
    host.applyLiveChange(false);
}

void addApplicationStorageBox(SettingsPageHost& host) {
    StorageBoxList& boxes = host.settings().applicationStorageBoxes;
    boxes.push_back(makeNewStorageBox(boxes));
    host.applyLiveChange(true);
}

void deleteApplicationStorageBox(SettingsPageHost& host, const platform::Uuid& id) {
    if (!findStorageBox(host.settings().applicationStorageBoxes, id)) return;
    const platform::ModalAlertResponse answer =
        host.services().dialogs().runModal(storageBoxDeleteConfirmation());
    if (!answer.isFirstButton()) return;
    // Looked up again: the list may have changed while the question was open.
    StorageBoxList& boxes = host.settings().applicationStorageBoxes;
    const auto found =
        std::find_if(boxes.begin(), boxes.end(), [&](const auto& box) { return box.id == id; });
    if (found == boxes.end()) return;
    boxes.erase(found);
    host.applyLiveChange(true);
}

}  // namespace tavrel
