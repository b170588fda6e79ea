// Fuzzes what the defaults tool prints back into the bounce read: the first byte picks the
// outcome and exit status, the rest is split into standard output and standard error. The read
// gives one of the three values or nothing, never anything else.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/foundation/utf8.h"
#include "core/native_dock/native_dock_commands.h"
#include "core/native_dock/native_dock_text.h"
#include "core/native_dock/native_dock_visibility.h"
#include "platform/fake/recording_process_runner.h"
#include "platform/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    if (size == 0) return 0;
    static platform::ScopedLogCapture quiet([](std::string_view) {});
    const std::uint8_t selector = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.empty() ? 0 : (selector * 7u) % (rest.size() + 1);
    const std::string output(rest.substr(0, split));
    const std::string error(rest.substr(split));

    platform::RecordingProcessRunner runner;
    switch (selector & 3) {
        case 0:
            runner.enqueue(platform::RecordingProcessRunner::exited(0, output, error));
            break;
        case 1:
            runner.enqueue(platform::RecordingProcessRunner::exited(selector >> 2, output, error));
            break;
        case 2:
            runner.enqueue(platform::RecordingProcessRunner::timedOut(output, error));
            break;
        default:
            runner.enqueue(platform::RecordingProcessRunner::signalled(selector >> 2));
    }
    const auto value = readNativeDockBouncePreference(runner);
    if (value && !NativeDockBounceValue::isValid(*value)) std::abort();

    // The text helpers keep what they are given well-formed.
    if (!isValidUtf8(decodeUtf8Lossy(rest))) std::abort();
    const auto trimmed = trimWhitespaceAndNewlines(rest);
    if (trimmed.size() > rest.size()) std::abort();

    NativeDockCommand deletion{"/usr/bin/defaults", "delete", "com.apple.dock", "tilesize"};
    runner.enqueue(platform::RecordingProcessRunner::exited(1, output, error));
    (void)runNativeDockCommand(runner, deletion, true);
    return 0;
}
