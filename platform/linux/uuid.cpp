#include "platform/uuid.h"

#include <cerrno>
#include <random>

#include <sys/random.h>

namespace tavrel::platform {
namespace {

void fillRandom(std::uint8_t* bytes, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t got = ::getrandom(bytes + filled, size - filled, 0);
        if (got > 0) {
            filled += static_cast<std::size_t>(got);
        } else if (got < 0 && errno != EINTR) {
            break;
        }
    }
    if (filled == size) return;
    // getrandom(2) missing (very old kernels or a sandbox that forbids it).
    std::random_device device;
    for (; filled < size; ++filled) bytes[filled] = static_cast<std::uint8_t>(device());
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr bool isDashPosition(std::size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

std::string format(const Uuid& uuid, const char* digits) {
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < uuid.bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
        text.push_back(digits[uuid.bytes[i] >> 4]);
        text.push_back(digits[uuid.bytes[i] & 0x0F]);
    }
    return text;
}

}  // namespace

Uuid Uuid::random() {
    Uuid uuid;
    fillRandom(uuid.bytes.data(), uuid.bytes.size());
    uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x40);  // version 4
    uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return uuid;
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    Uuid uuid;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (isDashPosition(i)) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0 || isDashPosition(i + 1)) return std::nullopt;
        uuid.bytes[byte++] = static_cast<std::uint8_t>((high << 4) | low);
        i += 2;
    }
    return uuid;
}

std::string Uuid::string() const {
    return format(*this, "0123456789ABCDEF");
}

std::string Uuid::lowercaseString() const {
    return format(*this, "0123456789abcdef");
}

}  // namespace tavrel::platform
