#include "core/settings_pages/new_file_page.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/foundation/utf8.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/plain_file_name.h"
#include "core/notifications/notification_names.h"
#include "platform/log.h"
#include "platform/notifications.h"
#include "platform/uuid.h"

namespace tavrel {

namespace {

namespace fs = std::filesystem;

// White space and line breaks as a user sees them: Unicode's separators (Z*), the ASCII controls
// TAB to CR, and NEL.
constexpr std::string_view kWhiteSpace[] = {
    "\t",           "\n",           "\v",           "\f",           "\r",           " ",
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82",
    "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88",
    "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F",
    "\xE3\x80\x80",
};

std::size_t whiteSpaceAt(std::string_view text, bool atEnd) {
    for (const std::string_view space : kWhiteSpace) {
        if (atEnd ? text.ends_with(space) : text.starts_with(space)) return space.size();
    }
    return 0;
}

std::string trimmed(std::string_view text) {
    while (const std::size_t n = whiteSpaceAt(text, false)) text.remove_prefix(n);
    while (const std::size_t n = whiteSpaceAt(text, true)) text.remove_suffix(n);
    return std::string(text);
}

// File name extensions are compared and shown in lower case; letters outside ASCII stay as
// they are.
std::string asciiLowercased(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string asciiUppercased(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

const NewFileTemplate* firstWithID(const NewFileSettings& settings, std::string_view id) {
    for (const NewFileTemplate& candidate : settings.templates) {
        if (candidate.id == id) return &candidate;
    }
    return nullptr;
}

NewFileTemplate* firstWithID(NewFileSettings& settings, std::string_view id) {
    return const_cast<NewFileTemplate*>(firstWithID(std::as_const(settings), id));
}

// The common tail of a change: tell the taskbar application, then show the page again where it
// was scrolled.
void finishChange(SettingsPageHost& host, const NewFileFeature& feature) {
    feature.notifyNewFileSettingsChanged();
    host.storePageScrollOrigin();
    host.rebuildContentViewBody();
}

void setMasterSwitch(SettingsPageHost& host, NewFileFeature& feature, bool enabled) {
    NewFileSettings settings = NewFileSettings::load();
    settings.isEnabled = enabled;
    settings.save(feature.environment());
    finishChange(host, feature);
    if (enabled) host.services().dialogs().runSheet(newFileInstructionsAlert());
}

void setBuiltInEnabled(SettingsPageHost& host, NewFileFeature& feature, const std::string& id,
                       bool enabled) {
    NewFileSettings settings = NewFileSettings::load();
    if (NewFileTemplate* found = firstWithID(settings, id)) found->isEnabled = enabled;
    settings.save(feature.environment());
    finishChange(host, feature);
}

void setCustomEnabled(SettingsPageHost& host, NewFileFeature& feature, const std::string& id,
                      bool enabled) {
    NewFileSettings settings = NewFileSettings::load();
    if (NewFileTemplate* found = firstWithID(settings, id)) {
        found->isEnabled = enabled;
        settings.save(feature.environment());
        feature.notifyNewFileSettingsChanged();
    }
    // Also when the kind went away meanwhile: the page then shows what is stored.
    host.storePageScrollOrigin();
    host.rebuildContentViewBody();
}

void removeTemplate(SettingsPageHost& host, NewFileFeature& feature, const std::string& id) {
    if (!feature.removeNewFileTemplate(id)) return;
    finishChange(host, feature);
}

}  // namespace

FormRow& addNewFileTemplateRow(FormContent& form, std::string title, std::string detail, bool isOn,
                               std::function<void(bool)> onToggle, std::function<void()> onDelete) {
    CompoundSwitch toggle;
    toggle.isOn = isOn;
    toggle.action = std::move(onToggle);
    CompoundButton remove;
    remove.title = std::string(NewFilePageText::deleteButton);
    remove.accessibleName = remove.title + " " + title;
    remove.width = 62;
    remove.action = std::move(onDelete);
    return form.addCompoundRow(std::move(title), std::move(detail),
                               {std::move(toggle), std::move(remove)});
}

std::string NewFileInstructions::informativeText() {
    return "首次使用必须前往：系统设置-通用-“登录项与扩展-下方扩展”中找到 Tavrel应用，点击右侧的"
           "\"i\""
           "型图标，然后开启“文件提供程序”，开启后右键才能显示新建文件功能。";
}

Result<NewFileTemplate> customNewFileTemplate(const fs::path& file, std::string id) {
    const std::string name = file.filename().string();
    const fs::path namePath(name);
    std::string extension = namePath.extension().string();
    if (!extension.empty()) extension.erase(0, 1);  // the dot
    extension = asciiLowercased(trimmed(extension));
    if (extension.empty()) return Error{std::string(NewFilePageText::missingExtension)};

    NewFileTemplate made;
    made.id = std::move(id);
    made.fileExtension = std::move(extension);
    made.templateFileName = NewFileSettings::customTemplateFileName(made.id, made.fileExtension);
    // The extension becomes part of a stored file name and of every file created from it.
    if (!isPlainFileName(*made.templateFileName)) {
        return Error{std::string(NewFilePageText::unusableExtension)};
    }
    // A name taken from the file system is bytes; the document holds text. Bytes that are not
    // UTF-8 show as U+FFFD rather than making the document unwritable.
    made.displayName = replacingInvalidUtf8(trimmed(namePath.stem().string()));
    if (made.displayName.empty()) made.displayName = asciiUppercased(made.fileExtension);
    made.defaultBaseName = "新建 " + made.displayName;
    made.isEnabled = true;
    made.isBuiltIn = false;
    return made;
}

platform::ModalAlert newFileInstructionsAlert() {
    platform::ModalAlert alert;
    alert.style = platform::ModalAlert::Style::informational;
    alert.message = std::string(NewFileInstructions::message);
    alert.informativeText = NewFileInstructions::informativeText();
    alert.buttons = {std::string(NewFileInstructions::button)};
    return alert;
}

NewFileFeature::NewFileFeature(NewFileEnvironment environment)
    : environment_(std::move(environment)) {}

std::optional<bool> NewFileFeature::isEnabled() const {
    return NewFileSettings::load().isEnabled;
}

void NewFileFeature::setEnabled(bool enabled) {
    NewFileSettings settings = NewFileSettings::load();
    settings.isEnabled = enabled;
    settings.save(environment_);
}

std::shared_ptr<FormContent> NewFileFeature::makeSettingsView(SettingsPageHost& host) {
    return makeNewFileSettingsView(host, *this);
}

void NewFileFeature::notifyNewFileSettingsChanged() const {
    if (!environment_.notificationCenter) return;
    const Notification notification{
        std::string(TavrelDistributedNotification::settingsChanged),
        std::nullopt,
        {{std::string(NotificationKey::reason),
          std::string(SettingsNotificationReason::newFileSettingsChange)}}};
    if (Status posted = environment_.notificationCenter->post(notification); !posted) {
        platform::log("Tavrel: " + notification.name + " not posted: " + posted.error().message);
    }
}

Result<NewFileTemplate> NewFileFeature::addCustomNewFileTemplate(const fs::path& file) const {
    auto made = customNewFileTemplate(file, "custom-" + platform::Uuid::random().lowercaseString());
    if (!made) return made;

    // Said plainly before anything is read; the copy itself enforces the same cap.
    std::error_code sizeError;
    const auto size = fs::file_size(file, sizeError);
    if (!sizeError && size > NewFileLimits::maxTemplateFileBytes) {
        return Error{std::string(NewFilePageText::tooLarge)};
    }
    // One storage location in this program: the main templates directory.
    if (Status stored = NewFileSettings::storeTemplateFile(file, *made->templateFileName);
        !stored) {
        return Error{std::string(NewFilePageText::copyFailed) + stored.error().message};
    }

    NewFileSettings settings = NewFileSettings::load();
    settings.templates.push_back(*made);
    settings.save(environment_);
    return made;
}

bool NewFileFeature::removeNewFileTemplate(std::string_view id) const {
    NewFileSettings settings = NewFileSettings::load();
    const auto found =
        std::find_if(settings.templates.begin(), settings.templates.end(),
                     [id](const NewFileTemplate& t) { return t.id == id && !t.isBuiltIn; });
    if (found == settings.templates.end()) return false;
    const std::optional<std::string> fileName = found->templateFileName;
    settings.templates.erase(found);

    // Only a hand-edited document names one file twice; the kind that stays keeps its file.
    const bool stillNamed =
        fileName && std::any_of(settings.templates.begin(), settings.templates.end(),
                                [&fileName](const NewFileTemplate& t) {
                                    return t.templateFileName == fileName;
                                });
    // A name that is not a plain file name is never used as a path; deletion failures are
    // ignored.
    if (fileName && !stillNamed) (void)NewFileSettings::removeTemplateFile(*fileName);
    settings.save(environment_);
    return true;
}

namespace {

// The page's rows for `settings`. With a host and the feature, every control acts on the
// document; without them (a preview) the controls have no action.
std::shared_ptr<FormContent> newFilePageForm(const NewFileSettings& settings,
                                             SettingsPageHost* host, NewFileFeature* feature) {
    using Toggle = std::function<void(bool)>;
    using Press = std::function<void()>;
    const bool acts = host && feature;
    const auto onToggle = [acts](Toggle action) { return acts ? std::move(action) : Toggle{}; };
    const auto onPress = [acts](Press action) { return acts ? std::move(action) : Press{}; };

    auto form = std::make_shared<FormContent>();
    form->addSection("Finder 右键菜单");
    form->addSwitch("启用右键新建文件", "在 Finder 文件夹或桌面空白处右键时显示“新建文件”菜单。",
                    settings.isEnabled,
                    onToggle([host, feature](bool on) { setMasterSwitch(*host, *feature, on); }));
    form->addInfoBlock("扩展启用状态", NewFileInstructions::informativeText(),
                       FormTextColor::systemRed, FormFontWeight::bold);

    form->addSection("内置类型");
    for (const NewFileTemplate& builtIn : settings.templates) {
        if (!builtIn.isBuiltIn) continue;
        form->addSwitch(builtIn.titleWithExtension(), "在“新建文件”子菜单中显示或隐藏此类型。",
                        builtIn.isEnabled, onToggle([host, feature, id = builtIn.id](bool on) {
                            setBuiltInEnabled(*host, *feature, id, on);
                        }));
    }

    form->addSection("自定义类型");
    form->addButton("导入模板",
                    "选择一个空白文件作为模板，Tavrel 会复制保存，并加入 Finder "
                    "的“新建文件”菜单。",
                    std::nullopt,
                    onPress([host, feature] { importNewFileTemplate(*host, *feature); }));
    bool anyCustom = false;
    for (const NewFileTemplate& custom : settings.templates) {
        if (custom.isBuiltIn) continue;
        anyCustom = true;
        addNewFileTemplateRow(
            *form, custom.titleWithExtension(), "默认文件名：" + custom.defaultBaseName,
            custom.isEnabled, onToggle([host, feature, id = custom.id](bool on) {
                setCustomEnabled(*host, *feature, id, on);
            }),
            onPress([host, feature, id = custom.id] { removeTemplate(*host, *feature, id); }));
    }
    if (!anyCustom) {
        form->addInfoBlock("暂无自定义类型",
                           "导入一个空白模板文件后，会在这里显示，并同步出现在 Finder "
                           "右键菜单中。",
                           FormTextColor::secondaryLabel, FormFontWeight::regular);
    }
    return form;
}

}  // namespace

std::shared_ptr<FormContent> makeNewFileSettingsView(SettingsPageHost& host,
                                                     NewFileFeature& feature) {
    NewFileSettings::syncBundledTemplatesToStorage(feature.environment());
    return newFilePageForm(NewFileSettings::load(), &host, &feature);
}

std::shared_ptr<FormContent> makeNewFileSettingsPreview(const NewFileSettings& document) {
    return newFilePageForm(document, nullptr, nullptr);
}

std::shared_ptr<FormContent> NewFileFeature::makeSettingsPreview() {
    return makeNewFileSettingsPreview(NewFileSettings::load());
}

void importNewFileTemplate(SettingsPageHost& host, NewFileFeature& feature) {
    platform::OpenFileRequest request;
    request.title = std::string(NewFilePageText::openPanelTitle);
    request.prompt = std::string(NewFilePageText::openPanelPrompt);
    const std::optional<fs::path> chosen = host.services().dialogs().openFile(request);
    if (!chosen) return;

    auto added = feature.addCustomNewFileTemplate(*chosen);
    if (!added) {
        platform::ModalAlert alert;
        alert.style = platform::ModalAlert::Style::warning;
        alert.message = std::string(NewFilePageText::importFailed);
        alert.informativeText = added.error().message;
        alert.buttons = {std::string(NewFilePageText::importFailedButton)};
        host.services().dialogs().runModal(alert);
        return;
    }
    finishChange(host, feature);
}

}  // namespace tavrel
