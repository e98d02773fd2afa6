#include "file_ops.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

// The home folder the password database gives the current user, or empty.
std::filesystem::path passwordHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (std::size_t{1} << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr || !isAbsolute(found->pw_dir)) return {};
    return found->pw_dir;
}

bool syncFolder(const FileOps& ops, const std::filesystem::path& folder) {
    const int fd = ops.open(folder.c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (fd < 0) return false;
    const bool ok = ops.fsync(fd) == 0;
    return ops.close(fd) == 0 && ok;
}

}  // namespace

bool replaceFile(const FileOps& ops, const std::string& text, const std::filesystem::path& target,
                 mode_t mode) {
    // The new file is written beside the one it replaces, so the rename is atomic. A
    // stale temporary file is one a writer left when it died.
    const std::filesystem::path temp = target.string() + ".tmp";
    ops.unlink(temp.c_str());
    const int fd = ops.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    // The permissions asked for, whatever the umask.
    bool ok = ops.fchmod(fd, mode & 0777) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ops.write(fd, text.data() + done, text.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ops.fsync(fd) == 0;
    ok = ops.close(fd) == 0 && ok;
    ok = ok && ops.rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ops.unlink(temp.c_str());
        return false;
    }
    return syncFolder(ops, target.parent_path());
}

std::filesystem::path userFolder(const char* xdgVariable, const char* homeSubfolder) {
    if (const char* xdg = std::getenv(xdgVariable); isAbsolute(xdg)) return xdg;
    if (const char* home = std::getenv("HOME"); isAbsolute(home))
        return std::filesystem::path(home) / homeSubfolder;
    if (const std::filesystem::path home = passwordHome(); !home.empty())
        return home / homeSubfolder;
    return {};
}

std::filesystem::path dataFolder() {
    const std::filesystem::path base = userFolder("XDG_DATA_HOME", ".local/share");
    return base.empty() ? base : base / "fenwater";
}

bool writeDataFile(const std::filesystem::path& path, const std::string& text, const FileOps& ops) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return !error && replaceFile(ops, text, path, 0644);
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path, std::size_t limit) {
    // Opened without blocking, so that a FIFO in its place is not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= limit) {
        text.emplace();
        char buf[65536];
        ssize_t n;
        while ((n = retryOnInterrupt([&] { return ::read(fd, buf, sizeof buf); })) > 0 &&
               text->size() <= limit)
            text->append(buf, std::size_t(n));
        if (n < 0 || text->size() > limit) text.reset();
    }
    ::close(fd);
    return text;
}

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
