#pragma once

// The New File document (NewFileSettings.json), its templates directory ("NewFileTemplates") and
// the sync that hands the settings application's copy to the file-manager extension.
//
// The module is linked into both programs and asks on every use which one it runs in
// (isFinderSyncExtension). Each program reads and writes only its own copy:
//   settings application  applicationSupport()/"Tavrel"                  (the main copy)
//   extension             applicationSupport()/"TavrelNewFileFinderSync" (its container)
// The extension's copy changes only through sync payloads (applySettingsSyncPayload).
//
// Operations report failures to the log, as the callers expect nothing back; the few that
// return a Status do so for tools and tests.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/new_file/new_file_template.h"

namespace tavrel {

namespace platform {
class NotificationCenter;
}

// What the running program lends the module.
struct NewFileEnvironment {
    // The Resources directory of the program's bundle, which ships the built-in template files.
    std::optional<std::filesystem::path> resourcesDirectory;
    // Where the sync payload is posted; nothing is posted without one.
    platform::NotificationCenter* notificationCenter = nullptr;
};

struct NewFileSettings {
    bool isEnabled = true;
    std::vector<NewFileTemplate> templates;

    friend bool operator==(const NewFileSettings&, const NewFileSettings&) = default;

    // "txt", "docx", "pptx", "xlsx" in this order, enabled, with "empty.<ext>" template files.
    static const std::vector<NewFileTemplate>& builtInTemplates();
    static bool isBuiltInID(std::string_view id);
    // Enabled, with the four built-in templates.
    static NewFileSettings defaults();

    // Nothing while the feature is off; else the enabled templates in document order.
    std::vector<NewFileTemplate> enabledTemplates() const;

    // The four built-in templates first, in built-in order (stored values win, a missing
    // templateFileName is filled in), then the imported ones in stored order. A template that
    // claims to be built in under another id is dropped; of several with one id the first wins.
    NewFileSettings mergedWithDefaults() const;

    // Strict: both keys and every template field but templateFileName must be present and
    // typed. The caller merges with the defaults.
    static Result<NewFileSettings> decode(std::string_view bytes);
    // Indented, keys sorted, UTF-8.
    Result<std::string> encode() const;

    // Locations. The main copy lives where every document of the settings application lives;
    // the extension's copy in a directory of its own, standing in for its sandbox container.
    static std::filesystem::path mainSettingsDirectory();
    static std::filesystem::path settingsURL();
    static std::filesystem::path mainTemplatesDirectory();
    static std::filesystem::path extensionSettingsDirectory();
    static std::filesystem::path extensionSettingsURL();
    static std::filesystem::path extensionTemplatesDirectory();
    static std::filesystem::path settingsDirectory();
    static std::filesystem::path desktopPositionRequestURL();
    static std::filesystem::path extensionDesktopPositionRequestURL();

    // True when the running program declared the extension's bundle identifier; asked anew on
    // every use.
    static bool isFinderSyncExtension();
    // The one document this program reads and writes.
    static std::vector<std::filesystem::path> candidateSettingsURLs();
    // This program's templates directory.
    static std::filesystem::path templatesDirectory();
    // This program's templates directory + `fileName`; empty when the name is not a plain file
    // name, so no stored name can lead anywhere else.
    static std::vector<std::filesystem::path> templateStorageURLs(std::string_view fileName);
    // id + "." + fileExtension
    static std::string customTemplateFileName(std::string_view id, std::string_view fileExtension);

    // The stored document merged with the defaults; the defaults when there is none or it
    // cannot be read.
    static NewFileSettings load();

    // Writes the document, copies the shipped template files into storage and, in the settings
    // application, posts the sync payload. The later steps run even when the write fails.
    void save(const NewFileEnvironment& environment) const;

    // Copies the four shipped template files from the bundle into this program's templates
    // directory, replacing what is there.
    static void syncBundledTemplatesToStorage(const NewFileEnvironment& environment);

    // Settings application only: posts the main copy and its imported template files.
    static void postCurrentSettingsSync(const NewFileEnvironment& environment);

    // Extension only: replaces the extension's document and writes the payload's template files
    // (plain names only, never through a link, never outside its templates directory). An
    // error when the payload was refused as a whole, or when any of its files could not be
    // written (the others are still written).
    static Status applySettingsSyncPayload(std::string_view payload);
    // The two halves of applying: the payload as the extension would apply it, or why it is
    // refused; then writing it.
    static Result<NewFileSettingsSyncPayload> acceptSettingsSyncPayload(std::string_view payload);
    static Status writeSettingsSyncPayload(const NewFileSettingsSyncPayload& payload);

    // Template files in this program's templates directory, by plain name only.
    static Result<std::string> readTemplateFile(std::string_view fileName);
    static Status storeTemplateFile(const std::filesystem::path& source, std::string_view fileName);
    static Status removeTemplateFile(std::string_view fileName);
};

}  // namespace tavrel
