#include "platform/linux/desktop_entry.h"

#include "core/foundation/utf8.h"
#include "platform/files.h"

namespace tavrel::platform {
namespace {

constexpr std::string_view kGroup = "Desktop Entry";

std::string_view trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Key names are letters, digits and "-", optionally followed by "[locale]".
bool isKey(std::string_view key) {
    const std::size_t bracket = key.find('[');
    const std::string_view base = key.substr(0, bracket);
    if (base.empty()) return false;
    for (const char c : base) {
        const bool ok =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        if (!ok) return false;
    }
    if (bracket == std::string_view::npos) return true;
    return key.size() > bracket + 2 && key.back() == ']' &&
           key.find_first_of("[]", bracket + 1) == key.size() - 1;
}

// A string value, or nothing when it is not UTF-8 (as the desktop's own readers treat it).
std::optional<std::string> stringValue(std::string_view raw) {
    std::string value = unescapeDesktopEntryValue(raw);
    if (!isValidUtf8(value)) return std::nullopt;
    return value;
}

bool booleanValue(std::string_view raw) {
    return raw == "true" || raw == "1";
}

}  // namespace

std::string unescapeDesktopEntryValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\' || i + 1 == value.size()) {
            out.push_back(c);
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                out.push_back(' ');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case '\\':
                out.push_back('\\');
                break;
            default:
                // Not an escape of this format (list separators "\;" among them): kept.
                out.push_back('\\');
                out.push_back(value[i + 1]);
                break;
        }
        ++i;
    }
    return out;
}


std::string DesktopEntry::displayName(const std::filesystem::path& fileName) const {
    if (chineseName && !chineseName->empty()) return *chineseName;
    if (name && !name->empty()) return *name;
    std::string file = fileName.filename().string();
    constexpr std::string_view suffix = ".desktop";
    if (file.size() > suffix.size() && file.ends_with(suffix))
        file.resize(file.size() - suffix.size());
    return replacingInvalidUtf8(file);
}

Result<DesktopEntry> parseDesktopEntry(std::string_view text) {
    if (text.size() > kDesktopEntryMaxBytes) {
        return Error{"the desktop entry is larger than " + std::to_string(kDesktopEntryMaxBytes) +
                     " bytes"};
    }
    DesktopEntry entry;
    bool seenGroup = false;
    bool inGroup = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#') continue;
        if (content.front() == '[') {
            if (content.back() != ']') continue;
            const std::string_view group = content.substr(1, content.size() - 2);
            // Only the first group of that name counts; a repeated one is not a second source.
            inGroup = !seenGroup && group == kGroup;
            if (inGroup) seenGroup = true;
            continue;
        }
        if (!inGroup) continue;
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimmed(content.substr(0, equals));
        if (!isKey(key)) continue;
        const std::string_view raw = trimmed(content.substr(equals + 1));
        if (key == "Type") {
            entry.type = stringValue(raw).value_or(std::string());
        } else if (key == "Name") {
            entry.name = stringValue(raw);
        } else if (key == "Name[zh_CN]") {
            entry.chineseName = stringValue(raw);
        } else if (key == "Icon") {
            entry.icon = stringValue(raw);
        } else if (key == "NoDisplay") {
            entry.noDisplay = booleanValue(raw);
        } else if (key == "Hidden") {
            entry.hidden = booleanValue(raw);
        }
    }
    if (!seenGroup) return Error{"no [Desktop Entry] group"};
    return entry;
}

Result<DesktopEntry> readDesktopEntry(const std::filesystem::path& path) {
    Result<std::string> bytes = readFile(path, kDesktopEntryMaxBytes);
    if (!bytes) return bytes.error();
    Result<DesktopEntry> entry = parseDesktopEntry(*bytes);
    if (!entry) return Error{path.string() + ": " + entry.error().message};
    return entry;
}

}  // namespace tavrel::platform
