#pragma once

// A handle on one directory. Its entries are named by single file names and reached relative to
// the handle, never through a symbolic link, so whatever a name says, nothing outside the
// directory is read, written or removed, even when the directory is renamed meanwhile.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel::platform {

class Directory {
public:
    enum class Create {
        no,
        withIntermediates,  // create the directory and any missing parents first
    };
    enum class LastLink {
        refuse,  // the directory itself must not be a symbolic link (a store of our own)
        follow,  // a link to a directory is fine (a folder the user chose)
    };

    static Result<Directory> open(const std::filesystem::path& path, Create create,
                                  LastLink lastLink = LastLink::refuse);

    Directory(Directory&& other) noexcept;
    Directory& operator=(Directory&& other) noexcept;
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    ~Directory();

    // The path the directory was opened at (for messages and for callers that need a path).
    const std::filesystem::path& path() const { return path_; }

    // True for a name that may address an entry: not empty, not "." or "..", without "/" or NUL.
    // Every operation below refuses any other name.
    static bool isEntryName(std::string_view name);

    enum class EntryKind { missing, file, directory, other };
    // What the name is, without following a symbolic link (a link is `other`).
    EntryKind entryKind(std::string_view name) const;

    // The bytes of a regular file; an error for a link, a directory, a FIFO or anything larger
    // than `maxBytes`.
    Result<std::string> read(std::string_view name, std::size_t maxBytes) const;

    // Replaces the entry atomically (temporary file, fsync, rename): a link at the name is
    // replaced by the file, never followed; a directory at the name is an error. An existing
    // file keeps its permission bits; a new one gets 0644 minus the umask.
    Status writeAtomically(std::string_view name, std::string_view bytes);

    // Creates a new file with these bytes, or fails when anything (a dangling link included)
    // already has the name. Readers see the whole file or none.
    Status createExclusively(std::string_view name, std::string_view bytes);

    // Appends to an existing regular file; an error when it is missing or not a regular file.
    Status append(std::string_view name, std::string_view bytes);

    // Removes a file or a link (never what it points to); a directory is an error.
    Status remove(std::string_view name);

private:
    Directory(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace tavrel::platform
