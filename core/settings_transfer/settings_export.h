#pragma once

// One file that carries all of a user's documents: settings.json, native-dock-folders.json and
// the New File document with its imported template files. The command line's export, import,
// backups and restore, and the window's menu items, all go through this envelope:
//
//   {"format": "tavrel-settings-export", "formatVersion": 1, "appVersion": "2.8.0",
//    "exportedAt": "2026-12-10T21:30:00Z",
//    "documents": {"settings.json": "<the file's text>",
//                  "native-dock-folders.json": "<the file's text>",
//                  "NewFileSettings.json": "<the file's text>",
//                  "NewFileTemplates": {"custom-….docx": "<Base64 of the file>"}}}
//
// Each document travels as its exact text, so an import writes back the very bytes that were
// exported, and a document that is not part of the envelope is left alone by an import.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"

namespace tavrel {

struct SettingsTransferLimits {
    // The whole envelope. Every document at its own cap and the imported templates at theirs
    // stay below it; an export that would not is refused rather than written.
    static constexpr std::size_t maxEnvelopeBytes = 32 * 1024 * 1024;
    // The envelope itself is three levels deep; the documents inside are strings.
    static constexpr int maxDepth = 8;
};

inline constexpr std::string_view settingsExportFormat = "tavrel-settings-export";
inline constexpr std::int64_t settingsExportFormatVersion = 1;

// The names of the documents in the envelope, which are their file names.
namespace SettingsExportDocument {
inline constexpr std::string_view settings = "settings.json";
inline constexpr std::string_view nativeDockFolders = "native-dock-folders.json";
inline constexpr std::string_view newFileSettings = "NewFileSettings.json";
inline constexpr std::string_view newFileTemplates = "NewFileTemplates";
}  // namespace SettingsExportDocument

// Where the documents of one data directory live.
struct SettingsDocumentLocations {
    std::filesystem::path directory;

    std::filesystem::path settingsURL() const { return directory / "settings.json"; }
    std::filesystem::path nativeDockFoldersURL() const {
        return directory / "native-dock-folders.json";
    }
    std::filesystem::path newFileSettingsURL() const { return directory / "NewFileSettings.json"; }
    std::filesystem::path newFileTemplatesDirectory() const {
        return directory / "NewFileTemplates";
    }
    std::filesystem::path backupsDirectory() const { return directory / "backups"; }
};

// Why a file was refused, for a message that says what to do about it.
enum class SettingsExportRefusal {
    tooLarge,     // over maxEnvelopeBytes
    notAnExport,  // not JSON, or not of this format
    newerFormat,  // of a format version this program does not read yet
    damaged,      // of this format, but incomplete or with a document its program cannot read
};

struct SettingsExport {
    std::string appVersion;
    std::string exportedAt;  // UTC, "2026-12-10T21:30:00Z"
    // Each document's bytes exactly as stored; nothing when it is not part of the export.
    std::optional<std::string> settings;
    std::optional<std::string> nativeDockFolders;
    std::optional<std::string> newFileSettings;
    // The imported templates' files by file name (only with a New File document).
    std::map<std::string, std::string> newFileTemplates;

    friend bool operator==(const SettingsExport&, const SettingsExport&) = default;

    // The names of the documents it holds, in envelope order.
    std::vector<std::string> documentNames() const;

    // Indented JSON; an error when the result would exceed maxEnvelopeBytes.
    Result<std::string> encode() const;

    // Strict: the size and depth caps, the format name, a format version this program reads,
    // every member typed, no member it does not know, and every document accepted by the
    // decoder of the program that reads it. The error is one sentence for the user; `refusal`,
    // when given, is set to the kind of the refusal.
    static Result<SettingsExport> decode(std::string_view bytes,
                                         SettingsExportRefusal* refusal = nullptr);
};

// "2026-12-10T21:30:00Z"
std::string settingsExportTimestamp(std::chrono::system_clock::time_point time);

struct SettingsExportReading {
    SettingsExport envelope;
    // One sentence per document or template file that could not be taken along.
    std::vector<std::string> leftOut;
};

// The documents of `locations` as they are on disk. A missing document is simply not part of
// it; one its program could not read is left out with a note, so that every export imports.
SettingsExportReading readSettingsExport(const SettingsDocumentLocations& locations,
                                         std::string appVersion,
                                         std::chrono::system_clock::time_point now);

}  // namespace tavrel
