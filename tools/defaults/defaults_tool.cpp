#include "tools/defaults/defaults_tool.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace tavrel {
namespace {

using platform::PreferenceValue;

// The messages the macOS tool prints; the native Dock control recognises the first and the
// third as "already absent".
std::string missingPair(std::string_view domain, std::string_view key) {
    return "The domain/default pair of (" + std::string(domain) + ", " + std::string(key) +
           ") does not exist";
}
std::string missingDomainForDelete(std::string_view domain) {
    return "Domain (" + std::string(domain) + ") not found.\nDefaults have not been changed.";
}
std::string missingDomainForRead(std::string_view domain) {
    return "Domain " + std::string(domain) + " does not exist";
}

std::string asciiLowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Old-style property list text: bare when it is a plain word, else quoted.
std::string oldStyleText(std::string_view text) {
    bool plain = !text.empty();
    for (const char c : text) {
        const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '/' || c == '$' ||
                          c == ':';
        if (!word) plain = false;
    }
    if (plain) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool isValidDomain(std::string_view domain, std::ostream& err) {
    if (platform::isValidPreferenceDomainName(domain)) return true;
    err << "tavrel-defaults: '" << domain << "' is not a usable domain name\n";
    return false;
}

int usageError(std::ostream& err, std::string_view why) {
    err << "tavrel-defaults: " << why << "\n\n" << defaultsToolUsage();
    return DefaultsToolExit::usage;
}

int readCommand(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                std::ostream& out, std::ostream& err) {
    if (arguments.size() < 2 || arguments.size() > 3) {
        return usageError(err, "read takes a domain and optionally a key");
    }
    const std::string& domain = arguments[1];
    if (!isValidDomain(domain, err)) return DefaultsToolExit::failure;
    auto values = platform::readPreferenceDomain(directory, domain);
    if (!values) {
        err << "tavrel-defaults: " << values.error().message << "\n";
        return DefaultsToolExit::failure;
    }
    if (arguments.size() == 2) {
        if (!values->has_value()) {
            err << missingDomainForRead(domain) << "\n";
            return DefaultsToolExit::failure;
        }
        out << "{\n";
        for (const auto& [key, value] : **values) {
            const std::string text = formatDefaultsValue(value);
            out << "    " << oldStyleText(key) << " = "
                << (std::holds_alternative<std::string>(value) ? oldStyleText(text) : text)
                << ";\n";
        }
        out << "}\n";
        return DefaultsToolExit::success;
    }
    const std::string& key = arguments[2];
    if (!values->has_value()) {
        err << missingPair(domain, key) << "\n";
        return DefaultsToolExit::failure;
    }
    const auto found = (*values)->find(key);
    if (found == (*values)->end()) {
        err << missingPair(domain, key) << "\n";
        return DefaultsToolExit::failure;
    }
    out << formatDefaultsValue(found->second) << "\n";
    return DefaultsToolExit::success;
}

int writeCommand(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                 std::ostream& err) {
    std::optional<std::string_view> type;
    std::string_view text;
    if (arguments.size() == 4 && !arguments[3].starts_with("-")) {
        text = arguments[3];
    } else if (arguments.size() == 5 && arguments[3].starts_with("-")) {
        type = arguments[3];
        text = arguments[4];
    } else {
        return usageError(err, "write takes a domain, a key, an optional type and a value");
    }
    const std::string& domain = arguments[1];
    if (!isValidDomain(domain, err)) return DefaultsToolExit::failure;
    auto value = parseDefaultsValue(type, text);
    if (!value) {
        err << "tavrel-defaults: " << value.error().message << "\n";
        return DefaultsToolExit::failure;
    }
    if (Status written = platform::setPreferenceValue(directory, domain, arguments[2], *value);
        !written) {
        err << "tavrel-defaults: could not write (" << domain << ", " << arguments[2]
            << "): " << written.error().message << "\nDefaults have not been changed.\n";
        return DefaultsToolExit::failure;
    }
    return DefaultsToolExit::success;
}

int deleteCommand(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                  std::ostream& err) {
    if (arguments.size() != 3) return usageError(err, "delete takes a domain and a key");
    const std::string& domain = arguments[1];
    const std::string& key = arguments[2];
    if (!isValidDomain(domain, err)) return DefaultsToolExit::failure;
    auto removed = platform::removePreferenceValue(directory, domain, key);
    if (!removed) {
        err << "tavrel-defaults: " << removed.error().message
            << "\nDefaults have not been changed.\n";
        return DefaultsToolExit::failure;
    }
    switch (*removed) {
        case platform::PreferenceRemoval::removed:
            return DefaultsToolExit::success;
        case platform::PreferenceRemoval::missingKey:
            err << missingPair(domain, key) << "\n";
            return DefaultsToolExit::failure;
        case platform::PreferenceRemoval::missingDomain:
            err << missingDomainForDelete(domain) << "\n";
            return DefaultsToolExit::failure;
    }
    return DefaultsToolExit::failure;
}

}  // namespace

std::string_view defaultsToolUsage() {
    return "Usage: tavrel-defaults <command> ...\n"
           "\n"
           "The per-user preference domains, as the macOS defaults tool reads and writes them.\n"
           "Each domain is one property list, $XDG_CONFIG_HOME/Tavrel/Preferences/<domain>.plist\n"
           "(~/.config when XDG_CONFIG_HOME is unset).\n"
           "\n"
           "  read <domain>                      print every value of the domain\n"
           "  read <domain> <key>                print one value (booleans as 1 or 0)\n"
           "  write <domain> <key> <text>        store a string\n"
           "  write <domain> <key> -string <text>\n"
           "  write <domain> <key> -bool <true|false|yes|no|1|0>     (also -boolean)\n"
           "  write <domain> <key> -int <integer>                    (also -integer)\n"
           "  write <domain> <key> -float <real>\n"
           "  delete <domain> <key>              remove one key\n"
           "  --help                             this text\n"
           "\n"
           "Exit status: 0 on success, 1 when the domain or key does not exist or a value or\n"
           "write fails, 2 for wrong usage.\n";
}

Result<PreferenceValue> parseDefaultsValue(std::optional<std::string_view> type,
                                           std::string_view text) {
    if (!type || *type == "-string") return PreferenceValue{std::string(text)};
    if (*type == "-bool" || *type == "-boolean") {
        const std::string lower = asciiLowercase(text);
        if (lower == "true" || lower == "yes" || lower == "1") return PreferenceValue{true};
        if (lower == "false" || lower == "no" || lower == "0") return PreferenceValue{false};
        return Error{"'" + std::string(text) + "' is not a boolean (true, false, yes, no, 1, 0)"};
    }
    if (*type == "-int" || *type == "-integer") {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
            return Error{"'" + std::string(text) + "' is not a 64-bit integer"};
        }
        return PreferenceValue{value};
    }
    if (*type == "-float") {
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
            !std::isfinite(value)) {
            return Error{"'" + std::string(text) + "' is not a finite real number"};
        }
        return PreferenceValue{value};
    }
    return Error{"unknown type " + std::string(*type) + " (use -string, -bool, -int or -float)"};
}

std::string formatDefaultsValue(const PreferenceValue& value) {
    struct Visitor {
        std::string operator()(bool v) const { return v ? "1" : "0"; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const {
            char buffer[64];
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
            return std::string(buffer, result.ptr);
        }
        std::string operator()(const std::string& v) const { return v; }
    };
    return std::visit(Visitor{}, value);
}

int runDefaultsTool(const std::vector<std::string>& arguments,
                    const std::filesystem::path& preferencesDirectory, std::ostream& out,
                    std::ostream& err) {
    if (arguments.empty()) return usageError(err, "no command given");
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << defaultsToolUsage();
        return DefaultsToolExit::success;
    }
    if (command == "read") return readCommand(arguments, preferencesDirectory, out, err);
    if (command == "write") return writeCommand(arguments, preferencesDirectory, err);
    if (command == "delete") return deleteCommand(arguments, preferencesDirectory, err);
    return usageError(err, "unknown command '" + command + "'");
}

}  // namespace tavrel
