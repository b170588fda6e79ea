// tavrel-dock-restart: stands in for "/usr/bin/killall Dock", which restarts the macOS Dock so
// that it reads its preferences again.
//
// Linux desktops have no process that reads the "com.apple.dock" domain: the taskbar takes the
// Dock's place, and it learns of a visibility change through the "nativeDockVisibilityChanged"
// settings command. So restarting the Dock is a successful no-op here. Any other process name
// fails with the message killall prints when nothing matches, so a wrong command line shows up.

#include <cstring>
#include <iostream>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "Usage: tavrel-dock-restart Dock\n"
    "\n"
    "Stands in for \"killall Dock\": tells the desktop's dock that its preferences changed.\n"
    "Linux desktops have no dock that reads the \"com.apple.dock\" preferences, so this\n"
    "succeeds without doing anything. Exit status: 0 for \"Dock\", 1 for any other name,\n"
    "2 for wrong usage.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 2) {
        std::cerr << kUsage;
        return 2;
    }
    if (std::string_view(argv[1]) != "Dock") {
        std::cerr << "No matching processes belonging to you were found\n";
        return 1;
    }
    return 0;
}
