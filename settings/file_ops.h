// The file-system calls the settings store makes, gathered in one place so that
// tests can make any one of them fail (everything runs as root, where file
// permissions stop nothing).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>

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

}  // namespace fw
