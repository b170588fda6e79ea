#pragma once

// The SF Symbol names the window uses, and the freedesktop icon names that stand for each on
// Linux (tried in order; only "-symbolic" icons, which are monochrome and take a tint). A symbol
// with no themed icon is drawn by the window's own fallback set, which draws every symbol of this
// table: a name the window uses belongs here (a test checks the sources against it).

#include <span>
#include <string_view>

namespace tavrel {

struct SymbolIconNames {
    std::string_view symbolName;
    std::span<const std::string_view> freedesktopNames;
};

// The freedesktop names for a symbol; empty for a symbol this table does not know.
std::span<const std::string_view> freedesktopIconNames(std::string_view symbolName);

// Every symbol of the table, in a fixed order.
std::span<const SymbolIconNames> knownSymbols();

bool isKnownSymbol(std::string_view symbolName);

}  // namespace tavrel
