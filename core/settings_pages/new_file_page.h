#pragma once

// The New File page ("右键新建文件") and the feature behind its sidebar switch.
//
// The page keeps no state of its own: it reads the New File document whenever it is built, and
// every action reloads the document before changing it. A change is saved through the New File
// module, which writes the document, copies the shipped templates and hands the result to the
// file-manager extension; the page then tells the taskbar application (settingsChanged with the
// New File reason) and rebuilds. Nothing here touches settings.json.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/form/form_content.h"
#include "core/foundation/result.h"
#include "core/new_file/new_file_settings.h"
#include "core/settings_pages/settings_page_host.h"
#include "platform/dialogs.h"

namespace tavrel {

// A standard row (title wrapping allowed) with a switch, then a "删除" button (62 × 30).
FormRow& addNewFileTemplateRow(FormContent& form, std::string title, std::string detail, bool isOn,
                               std::function<void(bool)> onToggle, std::function<void()> onDelete);

// The alert shown after the feature was switched on (the sidebar's and the page's switch).
struct NewFileInstructions {
    static constexpr std::string_view message = "请开启文件提供程序扩展";
    static constexpr std::string_view button = "知道了";
    static std::string informativeText();
};

struct NewFilePageText {
    static constexpr std::string_view openPanelTitle = "选择空白模板文件";
    static constexpr std::string_view openPanelPrompt = "导入";
    static constexpr std::string_view importFailed = "导入模板失败";
    static constexpr std::string_view importFailedButton = "知道了";
    static constexpr std::string_view missingExtension = "请选择带有文件扩展名的模板文件。";
    static constexpr std::string_view tooLarge = "模板文件不能大于 8 MB，请选择一个空白文件。";
    static constexpr std::string_view unusableExtension = "这个文件的扩展名不能用作模板类型。";
    static constexpr std::string_view copyFailed = "无法复制模板文件：";
    static constexpr std::string_view deleteButton = "删除";
};

// The imported kind a chosen file becomes under `id`, or why the file cannot be one: the display
// name is the file's name without its extension, trimmed (the upper-cased extension when that
// leaves nothing); the extension is trimmed and lower-cased; the template file is
// "<id>.<extension>".
Result<NewFileTemplate> customNewFileTemplate(const std::filesystem::path& file, std::string id);

// The alert shown after the feature was switched on (the sidebar's and the page's switch).
platform::ModalAlert newFileInstructionsAlert();

// The New File feature of the settings application. Lives as long as the application; the
// page's actions hold it by reference.
class NewFileFeature final : public NewFileFeatureSwitch {
public:
    explicit NewFileFeature(NewFileEnvironment environment);

    // --- The sidebar row: the document's master switch. Switching saves, nothing else; the
    // window rebuilds and explains.
    std::optional<bool> isEnabled() const override;
    void setEnabled(bool enabled) override;
    std::shared_ptr<FormContent> makeSettingsView(SettingsPageHost& host) override;
    // The page as the stored document lists it, read only.
    std::shared_ptr<FormContent> makeSettingsPreview() override;

    const NewFileEnvironment& environment() const { return environment_; }

    // settingsChanged with {"reason": "new-file-settings-change"}.
    void notifyNewFileSettingsChanged() const;

    // Copies the chosen file into the templates directory under a new "custom-<uuid>" id and
    // appends the kind to the document. On failure the document is unchanged (a file copied
    // before a later failure stays in storage).
    Result<NewFileTemplate> addCustomNewFileTemplate(const std::filesystem::path& file) const;

    // Removes the first imported kind with this id and its stored template file, and saves.
    // False, with nothing saved, when there is no such kind (built-in kinds are never removed).
    bool removeNewFileTemplate(std::string_view id) const;

private:
    NewFileEnvironment environment_;
};

// The page: copies the shipped templates into storage, loads the document and lists it.
std::shared_ptr<FormContent> makeNewFileSettingsView(SettingsPageHost& host,
                                                     NewFileFeature& feature);

// The rows the page shows for `document` (titles, help texts, sections, values) with controls
// that have no action, and nothing written: for reading the page without showing it.
std::shared_ptr<FormContent> makeNewFileSettingsPreview(const NewFileSettings& document);

// "导入模板": the open panel, the import, and an alert when it fails.
void importNewFileTemplate(SettingsPageHost& host, NewFileFeature& feature);

}  // namespace tavrel
