#pragma once

// The application storage boxes of the "小组件" tab: naming a new box, the size segment's
// choices, and the edits a box's rows make. Every edit finds its box by `id`, never by its place
// in the list, so a row built before another edit still addresses its own box — or nothing, when
// the box has gone meanwhile.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/application_storage_box_configuration.h"
#include "core/settings_pages/settings_page_host.h"
#include "platform/dialogs.h"
#include "platform/uuid.h"

namespace tavrel {

struct StorageBoxTexts {
    static constexpr std::string_view namePrefix = "收纳箱 ";
    static constexpr std::string_view sizeTitleSuffix = "大小";
    static constexpr std::string_view sizeDetail =
        "直接打开应用的槽位数量为 1—5 个，尾部详情区域保留。";
    static constexpr std::string_view deleteMessage = "删除收纳箱？";
    static constexpr std::string_view deleteInformative = "箱内应用会恢复到任务栏，不会卸载应用。";
    static constexpr std::string_view deleteButton = "删除";
    static constexpr std::string_view cancelButton = "取消";
};

using StorageBoxList = std::vector<ApplicationStorageBoxConfiguration>;

// "收纳箱 n": n starts at the number of boxes + 1 and counts up while a box has that name.
std::string nextStorageBoxName(const StorageBoxList& boxes);
// A visible box under that name with a new random id, nothing else set.
ApplicationStorageBoxConfiguration makeNewStorageBox(const StorageBoxList& boxes);

ApplicationStorageBoxConfiguration* findStorageBox(StorageBoxList& boxes, const platform::Uuid& id);

// "小", "中", "大", "加大", "特大"; a box without a size shows "大".
const std::vector<std::string>& storageBoxSizeLabels();
int storageBoxSizeIndex(std::optional<ApplicationStorageBoxSize> size);
// Indices 0…4; any other index is no size.
std::optional<ApplicationStorageBoxSize> storageBoxSizeForIndex(int index);

platform::ModalAlert storageBoxDeleteConfirmation();

// The row actions. Each does nothing — and saves nothing — when no box has `id` any more.
void setStorageBoxVisible(SettingsPageHost& host, const platform::Uuid& id, bool visible);
void setStorageBoxSize(SettingsPageHost& host, const platform::Uuid& id, int index);
// Appends a new box and rebuilds the page.
void addApplicationStorageBox(SettingsPageHost& host);
// Asks first; only "删除" removes the box (and rebuilds the page).
void deleteApplicationStorageBox(SettingsPageHost& host, const platform::Uuid& id);

}  // namespace tavrel
