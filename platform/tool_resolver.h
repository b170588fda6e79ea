#pragma once

// The native Dock is driven through two macOS programs, "/usr/bin/defaults" and
// "/usr/bin/killall". Callers keep those paths in their command lists; the resolver maps them to
// the programs of ours that honour the same contracts on this platform ("tavrel-defaults" and
// "tavrel-dock-restart"). Every other path is left as it is.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace tavrel::platform {

struct ToolNames {
    static constexpr std::string_view defaultsPath = "/usr/bin/defaults";
    static constexpr std::string_view killallPath = "/usr/bin/killall";
    static constexpr std::string_view defaultsStandIn = "tavrel-defaults";
    static constexpr std::string_view dockRestartStandIn = "tavrel-dock-restart";
};

class ToolResolver {
public:
    // Looks for the stand-ins in `searchDirectories`, in order.
    explicit ToolResolver(std::vector<std::filesystem::path> searchDirectories);

    // The directories a program of the suite searches:
    //  1. $TAVREL_TOOL_DIRECTORY alone, when it is set to an absolute path;
    //  2. otherwise the running program's directory, then "bin" beside it and beside each of its
    //     ancestors (a bundle's Contents/MacOS sits four or five levels below the "bin" of the
    //     build tree or of the installation prefix), then each absolute directory of $PATH.
    static ToolResolver standard();
    // The search of step 2 for a program at `executable` (an absolute path).
    static ToolResolver forExecutable(const std::filesystem::path& executable);

    // The executable to start for `executable`: the stand-in's absolute path when `executable`
    // is one of the two macOS paths (nothing when the stand-in is not found), else `executable`.
    std::optional<std::string> resolve(std::string_view executable) const;

    const std::vector<std::filesystem::path>& searchDirectories() const { return directories_; }

private:
    std::vector<std::filesystem::path> directories_;
};

// A runner that resolves each request's executable before handing it to `inner`. A macOS path
// whose stand-in cannot be found fails to start, naming the program it looked for.
std::unique_ptr<ProcessRunner> makeToolResolvingProcessRunner(std::unique_ptr<ProcessRunner> inner,
                                                              ToolResolver resolver);

}  // namespace tavrel::platform
