#include "core/settings/start_menu_shortcut.h"

#include <algorithm>
#include <array>

namespace tavrel {

namespace {

constexpr std::array<StartMenuShortcutKey, 56> kChoices{{
    {49, "Space"}, {48, "Tab"},  {36, "Return"}, {53, "Esc"}, {123, "←"},  {124, "→"},
    {125, "↓"},    {126, "↑"},   {122, "F1"},    {120, "F2"}, {99, "F3"},  {118, "F4"},
    {96, "F5"},    {97, "F6"},   {98, "F7"},     {100, "F8"}, {101, "F9"}, {109, "F10"},
    {103, "F11"},  {111, "F12"}, {0, "A"},       {11, "B"},   {8, "C"},    {2, "D"},
    {14, "E"},     {3, "F"},     {5, "G"},       {4, "H"},    {34, "I"},   {38, "J"},
    {40, "K"},     {37, "L"},    {46, "M"},      {45, "N"},   {31, "O"},   {35, "P"},
    {12, "Q"},     {15, "R"},    {1, "S"},       {17, "T"},   {32, "U"},   {9, "V"},
    {13, "W"},     {7, "X"},     {16, "Y"},      {6, "Z"},    {29, "0"},   {18, "1"},
    {19, "2"},     {20, "3"},    {21, "4"},      {23, "5"},   {22, "6"},   {26, "7"},
    {28, "8"},     {25, "9"},
}};

}  // namespace

std::span<const StartMenuShortcutKey> StartMenuShortcutKey::choices() {
    return kChoices;
}

std::optional<StartMenuShortcutKey> StartMenuShortcutKey::choice(std::int64_t keyCode) {
    const auto* found = std::find_if(kChoices.begin(), kChoices.end(),
                                     [&](const auto& key) { return key.keyCode == keyCode; });
    if (found == kChoices.end()) return std::nullopt;
    return *found;
}

std::int64_t StartMenuShortcutKey::normalizedKeyCode(std::int64_t keyCode) {
    return choice(keyCode) ? keyCode : defaultKeyCode;
}

}  // namespace tavrel
