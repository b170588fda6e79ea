#ifndef TAVREL_MEDIA_BRIDGE_H
#define TAVREL_MEDIA_BRIDGE_H

/* The media bridge: reports what the system is playing as JSON lines on standard output and
 * takes "refresh" and transport commands (2, 4, 5) as lines on standard input. It takes over the
 * calling process: it never returns, and ends the process with status 0 when standard input ends
 * (once the lines read so far are carried out and the reports they asked for written, at most
 * 0.5 s later), or 1 when the system's media service cannot be reached. Run it in a process of
 * its own. */

#ifdef __cplusplus
extern "C" {
#endif

__attribute__((visibility("default"), noreturn)) void TavrelMediaBridgeRun(void);

#ifdef __cplusplus
}
#endif

#endif
