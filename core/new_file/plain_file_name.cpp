#include "core/new_file/plain_file_name.h"

#include <cstdio>

#include "core/foundation/utf8.h"

namespace tavrel {
namespace {

// The code point starting at `text[index]` when it is a control character, with its length.
bool isControlAt(std::string_view text, std::size_t index, std::size_t* length) {
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte < 0x20 || byte == 0x7F) {
        *length = 1;
        return true;
    }
    // C1 controls U+0080…U+009F are C2 80…C2 9F.
    if (byte == 0xC2 && index + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[index + 1]);
        if (next >= 0x80 && next <= 0x9F) {
            *length = 2;
            return true;
        }
    }
    return false;
}

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

}  // namespace

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxPlainFileNameBytes) return false;
    if (name.front() == '.') return false;  // also ".", ".." and hidden files
    if (!isValidUtf8(name)) return false;
    for (std::size_t index = 0; index < name.size(); ++index) {
        std::size_t length = 0;
        if (name[index] == '/' || name[index] == '\\' || isControlAt(name, index, &length)) {
            return false;
        }
    }
    return true;
}

std::string printableForLog(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t index = 0;
    char escape[16];
    while (index < text.size()) {
        const auto byte = static_cast<unsigned char>(text[index]);
        std::size_t controlLength = 0;
        if (isControlAt(text, index, &controlLength)) {
            if (byte == '\n') {
                out += "\\n";
            } else if (byte == '\t') {
                out += "\\t";
            } else {
                const unsigned codePoint =
                    controlLength == 1 ? byte : static_cast<unsigned char>(text[index + 1]);
                std::snprintf(escape, sizeof escape, "\\u{%X}", codePoint);
                out += escape;
            }
            index += controlLength;
            continue;
        }
        const std::size_t length = sequenceLength(byte);
        if (length == 0 || index + length > text.size() ||
            !isValidUtf8(text.substr(index, length))) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
            out += escape;
            ++index;
            continue;
        }
        out.append(text.substr(index, length));
        index += length;
    }
    return out;
}

}  // namespace tavrel
