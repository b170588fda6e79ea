// Desktop entry files come from every package installed and from the user's own hand.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/foundation/utf8.h"
#include "platform/linux/desktop_applications.h"
#include "platform/linux/desktop_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The same bytes as an id an application list or a settings document might name.
    if (desktop::isDesktopFileId(text) && text.find('/') != std::string_view::npos) {
        __builtin_trap();
    }
    const auto entry = parseDesktopEntry(text);
    if (!entry) return 0;
    if (size > kDesktopEntryMaxBytes) __builtin_trap();
    // Everything that comes out can go into a settings document or a label unchecked.
    const std::string name = entry->displayName(std::string(text.substr(0, 64)) + ".desktop");
    if (!tavrel::isValidUtf8(name) || !tavrel::isValidUtf8(entry->type)) __builtin_trap();
    if (entry->icon) {
        if (!tavrel::isValidUtf8(*entry->icon)) __builtin_trap();
        const IconReference icon = desktop::iconReference(*entry->icon);
        if (!entry->icon->empty() && icon.empty()) __builtin_trap();
    }
    return 0;
}
