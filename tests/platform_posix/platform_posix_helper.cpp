// The other process of the platform tests. Modes:
//   lock NAME          take the single-instance lock; print "held" and wait to be killed, or
//                      print "busy" and exit 3
//   bundle-root        print the root of Bundle::main(), or "none"
//   list-fds           print the open descriptor numbers, one per line
//   log THREADS LINES  log LINES lines from each of THREADS threads
//   hold-temporary DIR NAME
//                      begin an atomic write of DIR/NAME and stop halfway: print "held" and
//                      the temporary's name, then wait to be killed
//   save-loop FILE BYTES
//                      replace FILE with BYTES bytes, again and again, printing "saved" after
//                      each, until killed

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/bundle.h"
#include "platform/files.h"
#include "platform/linux/write_temporary.h"
#include "platform/log.h"
#include "platform/single_instance.h"

namespace {

int holdLock(const char* name) {
    auto lock = tavrel::platform::SingleInstanceLock::acquire(name);
    if (!lock) {
        std::printf("error: %s\n", lock.error().message.c_str());
        return 2;
    }
    if (!lock->has_value()) {
        std::printf("busy\n");
        return 3;
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (;;) ::pause();
}

int listDescriptors() {
    DIR* directory = ::opendir("/proc/self/fd");
    if (directory == nullptr) return 2;
    const int own = ::dirfd(directory);
    while (const dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.') continue;
        if (std::atoi(entry->d_name) == own) continue;
        std::printf("%s\n", entry->d_name);
    }
    ::closedir(directory);
    return 0;
}

int logFromThreads(int threads, int lines) {
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t, lines] {
            for (int i = 0; i < lines; ++i) {
                tavrel::platform::log("Tavrel: thread " + std::to_string(t) + " line " +
                                      std::to_string(i) + std::string(200, 'x'));
            }
        });
    }
    for (auto& worker : workers) worker.join();
    return 0;
}

int holdTemporary(const char* directory, const char* name) {
    const int directoryFd = ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd < 0) return 2;
    auto temporary = tavrel::platform::detail::WriteTemporary::create(directoryFd, directory, name);
    if (!temporary) {
        std::printf("error: %s\n", temporary.error().message.c_str());
        return 2;
    }
    const std::string half(4096, 'h');
    if (::write(temporary->fd(), half.data(), half.size()) < 0) return 2;
    std::printf("held %s\n", temporary->name().c_str());
    std::fflush(stdout);
    for (;;) ::pause();
}

int saveLoop(const char* file, std::size_t bytes) {
    std::string content(bytes, 's');
    for (unsigned long round = 0;; ++round) {
        content[0] = static_cast<char>('a' + round % 26);
        if (!tavrel::platform::writeFileAtomically(file, content)) return 2;
        std::printf("saved\n");
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "lock" && argc == 3) return holdLock(argv[2]);
    if (mode == "bundle-root" && argc == 2) {
        const auto bundle = tavrel::platform::Bundle::main();
        std::printf("%s\n", bundle ? bundle->root().c_str() : "none");
        return 0;
    }
    if (mode == "list-fds" && argc == 2) return listDescriptors();
    if (mode == "log" && argc == 4) return logFromThreads(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "hold-temporary" && argc == 4) return holdTemporary(argv[2], argv[3]);
    if (mode == "save-loop" && argc == 4) {
        return saveLoop(argv[2], static_cast<std::size_t>(std::atol(argv[3])));
    }
    std::fprintf(stderr,
                 "usage: platform_posix_helper lock NAME | bundle-root | list-fds | "
                 "log THREADS LINES | hold-temporary DIR NAME | save-loop FILE BYTES\n");
    return 64;
}
