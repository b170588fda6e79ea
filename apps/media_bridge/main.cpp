// tavrel-media-bridge: runs the media bridge in this process, speaking its line protocol on
// standard input and output, as the taskbar application runs it.

#include <cstdio>
#include <cstring>

#include "apps/media_bridge/tavrel_media_bridge.h"

namespace {

constexpr const char* kUsage =
    "usage: tavrel-media-bridge\n"
    "\n"
    "Reports what is playing (MPRIS 2 players on the D-Bus session bus) as one JSON object per\n"
    "line on standard output, and reads commands, one per line, on standard input:\n"
    "  refresh…   write a new now-playing report\n"
    "  2, 4, 5    toggle play/pause, next track, previous track; answered with\n"
    "             {\"command\": n, \"accepted\": bool}, then a report 0.25 s later\n"
    "Closing standard input ends the bridge (status 0) once the lines already sent are carried\n"
    "out and the reports they asked for written (at most 0.5 s). Without a session bus it writes\n"
    "{\"error\":\"media-symbols-unavailable\"} and ends with status 1.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help =
            argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
        if (!help)
            std::fprintf(stderr, "tavrel-media-bridge: unexpected argument \"%s\"\n", argv[1]);
        std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    TavrelMediaBridgeRun();
}
