#include "platform/tool_resolver.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <unistd.h>

namespace tavrel::platform {
namespace {

// Deep enough for <prefix>/lib/tavrel/<Name>.app/Contents/MacOS; not so deep that a program
// far down some unrelated tree picks up a stray "bin".
constexpr int kAncestorLevels = 6;

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

void addOnce(std::vector<std::filesystem::path>& list, std::filesystem::path directory) {
    directory = directory.lexically_normal();
    if (std::find(list.begin(), list.end(), directory) == list.end()) {
        list.push_back(std::move(directory));
    }
}

bool isExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

class ResolvingProcessRunner final : public ProcessRunner {
public:
    ResolvingProcessRunner(std::unique_ptr<ProcessRunner> inner, ToolResolver resolver)
        : inner_(std::move(inner)), resolver_(std::move(resolver)) {}

    ProcessResult run(const ProcessRequest& request) override {
        auto executable = resolver_.resolve(request.executable);
        if (!executable) {
            ProcessResult result;
            result.outcome = ProcessResult::Outcome::failedToStart;
            result.error = "no stand-in for " + request.executable + " was found";
            return result;
        }
        if (*executable == request.executable) return inner_->run(request);
        ProcessRequest resolved = request;
        resolved.executable = std::move(*executable);
        return inner_->run(resolved);
    }

private:
    std::unique_ptr<ProcessRunner> inner_;
    ToolResolver resolver_;
};

}  // namespace

ToolResolver::ToolResolver(std::vector<std::filesystem::path> searchDirectories)
    : directories_(std::move(searchDirectories)) {}

ToolResolver ToolResolver::standard() {
    if (auto override = absoluteVariable("TAVREL_TOOL_DIRECTORY")) {
        return ToolResolver({std::move(*override)});
    }
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return forExecutable(error ? std::filesystem::path() : executable);
}

ToolResolver ToolResolver::forExecutable(const std::filesystem::path& executable) {
    std::vector<std::filesystem::path> directories;
    if (executable.is_absolute()) {
        auto directory = executable.parent_path();
        addOnce(directories, directory);
        for (int level = 0; level < kAncestorLevels; ++level) {
            addOnce(directories, directory / "bin");
            if (directory == directory.root_path()) break;
            directory = directory.parent_path();
        }
    }
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        std::string_view rest(path);
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            const auto entry = rest.substr(0, colon);
            // Relative entries would depend on the working directory: never used.
            if (!entry.empty() && entry.front() == '/') addOnce(directories, std::string(entry));
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    return ToolResolver(std::move(directories));
}

std::optional<std::string> ToolResolver::resolve(std::string_view executable) const {
    std::string_view standIn;
    if (executable == ToolNames::defaultsPath) {
        standIn = ToolNames::defaultsStandIn;
    } else if (executable == ToolNames::killallPath) {
        standIn = ToolNames::dockRestartStandIn;
    } else {
        return std::string(executable);
    }
    for (const auto& directory : directories_) {
        auto candidate = directory / standIn;
        if (isExecutableFile(candidate)) return candidate.string();
    }
    return std::nullopt;
}

std::unique_ptr<ProcessRunner> makeToolResolvingProcessRunner(std::unique_ptr<ProcessRunner> inner,
                                                              ToolResolver resolver) {
    return std::make_unique<ResolvingProcessRunner>(std::move(inner), std::move(resolver));
}

}  // namespace tavrel::platform
