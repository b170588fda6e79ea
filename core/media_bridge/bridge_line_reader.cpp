#include "core/media_bridge/bridge_line_reader.h"

namespace tavrel {
namespace {

// Bytes a UTF-8 sequence with this lead byte occupies; 1 for anything that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// A cut may split a character; drop its incomplete start so that the kept part stays valid text.
void dropIncompleteSequence(std::string& text) {
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte: keep looking for the lead
        if (sequenceLength(byte) > back) text.resize(size - back);
        return;
    }
}

}  // namespace

void BridgeLineReader::append(std::string_view bytes) {
    if (cut_) return;
    const std::size_t room = kMaxLineBytes - pending_.size();
    if (bytes.size() <= room) {
        pending_.append(bytes);
        return;
    }
    pending_.append(bytes.substr(0, room));
    dropIncompleteSequence(pending_);
    cut_ = true;
}

void BridgeLineReader::feed(std::string_view bytes, const LineHandler& onLine) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            append(bytes);
            return;
        }
        append(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
        // Hand over a copy-free view, then reuse the buffer for the next line.
        onLine(pending_);
        pending_.clear();
        cut_ = false;
    }
}

void BridgeLineReader::finish(const LineHandler& onLine) {
    if (!pending_.empty() || cut_) onLine(pending_);
    pending_.clear();
    cut_ = false;
}

}  // namespace tavrel
