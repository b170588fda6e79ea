#pragma once

// Splits the bridge's standard input into lines, in constant memory: a client (or a fault) that
// sends an endless line cannot make the bridge grow without bound. Only the start of a line
// decides what it means, so a line is cut at kMaxLineBytes and the rest of it is dropped.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tavrel {

class BridgeLineReader {
public:
    static constexpr std::size_t kMaxLineBytes = 4096;
    using LineHandler = std::function<void(std::string_view line)>;

    // Hands every line completed by `bytes` to `onLine`, without its line feed.
    void feed(std::string_view bytes, const LineHandler& onLine);
    // End of input: a last line without a line feed is still a line.
    void finish(const LineHandler& onLine);

private:
    void append(std::string_view bytes);

    std::string pending_;
    bool cut_ = false;  // the pending line reached the limit; drop the rest of it
};

}  // namespace tavrel
