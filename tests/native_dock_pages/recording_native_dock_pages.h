#pragma once

// The native Dock pages' part of a page host without a window: an in-memory bus, the data
// directory's folder file (private to each test run), and a Dock switch that records requests.

#include <vector>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/settings_pages/feature_switches.h"
#include "core/settings_pages/native_dock_pages.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"

namespace tavrel::test {

class RecordingNativeDockVisibility final : public NativeDockVisibilitySwitch {
public:
    void changeNativeDockHidden(bool hidden) override { requests.push_back(hidden); }
    std::vector<bool> requests;
};

struct RecordingNativeDockPages {
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    RecordingNativeDockVisibility visibility;
    NativeDockFolderSettingsStore folderStore{NativeDockFolderSettingsStore::defaultFileURL()};
    NativeDockPageState state{visibility, folderStore, center};
};

}  // namespace tavrel::test
