#include "file_ops.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace fw {

namespace {

// Calls interrupted by a signal are repeated, so callers see only real failures.
template <typename Call>
auto retryOnInterrupt(Call call) {
    for (;;) {
        auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

}  // namespace

FileOps FileOps::posix() {
    FileOps ops;
    ops.mkdir = [](const char* path, mode_t mode) { return ::mkdir(path, mode); };
    ops.open = [](const char* path, int flags, mode_t mode) {
        return retryOnInterrupt([&] { return ::open(path, flags | O_CLOEXEC, mode); });
    };
    ops.read = [](int fd, void* buf, std::size_t count) {
        return retryOnInterrupt([&] { return ::read(fd, buf, count); });
    };
    ops.write = [](int fd, const void* buf, std::size_t count) {
        return retryOnInterrupt([&] { return ::write(fd, buf, count); });
    };
    ops.fstat = [](int fd, struct stat* st) { return ::fstat(fd, st); };
    ops.lstat = [](const char* path, struct stat* st) { return ::lstat(path, st); };
    ops.readlink = [](const char* path, char* buf, std::size_t size) {
        return ::readlink(path, buf, size);
    };
    ops.fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
    ops.fsync = [](int fd) { return retryOnInterrupt([&] { return ::fsync(fd); }); };
    ops.close = [](int fd) { return ::close(fd); };
    ops.flock = [](int fd, int operation) {
        return retryOnInterrupt([&] { return ::flock(fd, operation); });
    };
    ops.rename = [](const char* from, const char* to) { return std::rename(from, to); };
    ops.link = [](const char* from, const char* to) { return ::link(from, to); };
    ops.unlink = [](const char* path) { return ::unlink(path); };
    return ops;
}

}  // namespace fw
