// Shared pieces of the settings tests: scratch folders, file contents, and
// file operations that fail on demand.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "file_ops.h"
#include "settings.h"

namespace fw::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "fenwater-settings-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    // Where a store keeps its file inside this folder.
    fs::path store() const { return path_ / "Morvane" / "Fenwater"; }

  private:
    fs::path path_;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A settings file whose store key holds the given lines.
inline std::string keyFile(std::initializer_list<std::string> lines) {
    std::string text =
        "Windows Registry Editor Version "
        "5.00\n\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n";
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The files kept aside in folder because they could not be read as settings.
inline std::vector<fs::path> keptAside(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("settings.reg.bad-")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// Expects statement to throw a StoreError with exactly this message.
#define EXPECT_THROW_MESSAGE(statement, message)                    \
    do {                                                            \
        try {                                                       \
            statement;                                              \
            ADD_FAILURE() << "no error, expected: " << (message);   \
        } catch (const ::fw::StoreError& e) {                       \
            EXPECT_EQ(std::string(e.what()), std::string(message)); \
        }                                                           \
    } while (false)

// The file operations of real (by default the real ones), except that the named
// calls (a comma-separated list) fail with err on paths ending in pathEnd: for
// calls on descriptors, descriptors opened on such paths; for rename and link,
// the old name.
inline FileOps failingOps(const std::string& calls, const std::string& pathEnd = "", int err = EIO,
                          const FileOps& real = FileOps::posix()) {
    FileOps ops = real;
    auto fds = std::make_shared<std::set<int>>();
    auto named = [=](const char* call) {
        return ("," + calls + ",").find("," + std::string(call) + ",") != std::string::npos;
    };
    auto onPath = [=](const char* call, const char* path) {
        return named(call) && std::string_view(path).ends_with(pathEnd);
    };
    auto onFd = [=](const char* call, int fd) { return named(call) && fds->count(fd) > 0; };
    auto fail = [err] {
        errno = err;
        return -1;
    };
    ops.open = [=](const char* path, int flags, mode_t mode) {
        if (onPath("open", path)) return fail();
        const int fd = real.open(path, flags, mode);
        if (fd >= 0 && std::string_view(path).ends_with(pathEnd)) fds->insert(fd);
        return fd;
    };
    ops.close = [=](int fd) {
        const bool failing = onFd("close", fd);
        fds->erase(fd);
        const int result = real.close(fd);
        return failing ? fail() : result;
    };
    ops.read = [=](int fd, void* buf, std::size_t n) -> ssize_t {
        return onFd("read", fd) ? fail() : real.read(fd, buf, n);
    };
    ops.write = [=](int fd, const void* buf, std::size_t n) -> ssize_t {
        return onFd("write", fd) ? fail() : real.write(fd, buf, n);
    };
    ops.fsync = [=](int fd) { return onFd("fsync", fd) ? fail() : real.fsync(fd); };
    ops.flock = [=](int fd, int op) { return onFd("flock", fd) ? fail() : real.flock(fd, op); };
    ops.fstat = [=](int fd, struct stat* st) {
        return onFd("fstat", fd) ? fail() : real.fstat(fd, st);
    };
    ops.mkdir = [=](const char* p, mode_t mode) {
        return onPath("mkdir", p) ? fail() : real.mkdir(p, mode);
    };
    ops.rename = [=](const char* a, const char* b) {
        return onPath("rename", a) ? fail() : real.rename(a, b);
    };
    ops.link = [=](const char* a, const char* b) {
        return onPath("link", a) ? fail() : real.link(a, b);
    };
    return ops;
}

// How many times the randomized and crash tests repeat: the long run (label
// "long") sets FENWATER_LONG.
inline int repeats(int normal, int longRun) {
    return std::getenv("FENWATER_LONG") != nullptr ? longRun : normal;
}

}  // namespace fw::test
