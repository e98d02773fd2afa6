// The file-system calls the settings store makes, gathered in one place so that
// tests can make any one of them fail (everything runs as root, where file
// permissions stop nothing).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace fw {

// Each member behaves like the POSIX call of the same name: it returns -1 and
// sets errno on failure.
struct FileOps {
    std::function<int(const char* path, mode_t mode)> mkdir;
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, void* buf, std::size_t count)> read;
    std::function<ssize_t(int fd, const void* buf, std::size_t count)> write;
    std::function<int(int fd, struct stat* st)> fstat;
    std::function<int(const char* path, struct stat* st)> lstat;
    std::function<ssize_t(const char* path, char* buf, std::size_t size)> readlink;
    std::function<int(int fd, mode_t mode)> fchmod;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    std::function<int(int fd, int operation)> flock;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* from, const char* to)> link;
    std::function<int(const char* path)> unlink;

    // The real calls.
    static FileOps posix();
};

// Replaces target with text so that whoever reads it finds the old file or the new one
// whole, whatever happens meanwhile: the text is written to a file beside it, synced,
// then renamed over it, and the folder synced. The new file gets mode (its permission
// bits). False on any failure, which leaves target as it was.
bool replaceFile(const FileOps& ops, const std::string& text, const std::filesystem::path& target,
                 mode_t mode);

// A folder of the user's: the absolute path in the environment variable xdgVariable,
// else homeSubfolder in $HOME (when absolute), else in the home folder the password
// database gives; empty when the user has none.
std::filesystem::path userFolder(const char* xdgVariable, const char* homeSubfolder);

// The program's own files besides its settings: $XDG_DATA_HOME/fenwater
// ($HOME/.local/share/fenwater when that is unset or relative); empty without a home.
std::filesystem::path dataFolder();

// Writes a file of the data folder (making the folder when missing), as replaceFile
// does; false on failure.
bool writeDataFile(const std::filesystem::path& path, const std::string& text,
                   const FileOps& ops = FileOps::posix());
// Reads a regular file of at most limit bytes; nothing when it is missing, not a regular
// file, larger, or cannot be read.
std::optional<std::string> readSmallFile(const std::filesystem::path& path, std::size_t limit);

}  // namespace fw
