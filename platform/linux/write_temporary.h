#pragma once

// The temporary file of an atomic write, shared by writeFileAtomically and Directory.
//
// A temporary is a hidden file beside its target, named "." + target + ".tmp-" + random hex +
// "-" + pid. Its writer holds an flock on it for as long as the name exists, so a temporary
// that nobody holds a lock on belongs to a writer that died (killed, crashed, power cut) and
// can be removed. The kernel drops the lock with the writer's last descriptor, which makes the
// test immune to pid reuse and works across pid namespaces.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/foundation/result.h"
#include "platform/linux/posix_error.h"

namespace tavrel::platform::detail {

class WriteTemporary {
public:
    // Removes the abandoned temporaries of `directoryFd`, then creates a fresh, locked
    // temporary for `target` there (exclusively: nothing else is ever overwritten). New files
    // get mode 0644 minus the umask.
    static Result<WriteTemporary> create(int directoryFd, const std::filesystem::path& directory,
                                         const std::string& target);

    WriteTemporary(WriteTemporary&& other) noexcept;
    WriteTemporary& operator=(WriteTemporary&& other) noexcept;
    // Removes the temporary unless it was committed.
    ~WriteTemporary();

    const std::string& name() const { return name_; }
    // The descriptor to write to; invalid once closed.
    int fd() const { return writeFd_.get(); }

    // Closes the write descriptor (reporting delayed write errors); the lock stays held.
    Status closeForWriting();
    // Renames the temporary over `target` in the same directory and releases it.
    Status renameOver(const std::string& target);
    // Hard-links the temporary as `target` (failing when the name is taken) and removes the
    // temporary; errno of a failed link, or 0.
    int linkAs(const std::string& target);
    // Removes the temporary now.
    void discard();

private:
    WriteTemporary(int directoryFd, std::string name, UniqueFd writeFd, UniqueFd lockFd);

    int directoryFd_ = -1;
    std::string name_;
    UniqueFd writeFd_;
    // A second descriptor of the same open file: the flock lives on the shared file description
    // and so outlasts closeForWriting.
    UniqueFd lockFd_;
};

// Whether `entry` is a name WriteTemporary makes.
bool isWriteTemporaryName(std::string_view entry);

// Removes every temporary of `directoryFd` whose writer has gone; keeps those still held.
// Failures (a file owned by someone else, a read-only directory) are skipped silently.
void removeAbandonedWriteTemporaries(int directoryFd);

}  // namespace tavrel::platform::detail
