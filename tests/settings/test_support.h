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

// The real file operations, except that the named calls (a comma-separated list) fail with err for
// paths ending in pathPart (for calls on descriptors: descriptors opened on
// such paths; for rename and link: the old name). An empty pathPart matches
// every path.
inline FileOps failingOps(const std::string& call, const std::string& pathPart = "",
                          int err = EIO) {
    FileOps ops = FileOps::posix();
    FileOps real = FileOps::posix();
    auto fds = std::make_shared<std::set<int>>();
    auto matches = [pathPart](const char* path) {
        return std::string_view(path).ends_with(pathPart);
    };
    auto named = [call](const char* name) {
        return ("," + call + ",").find("," + std::string(name) + ",") != std::string::npos;
    };
    auto fail = [err] {
        errno = err;
        return -1;
    };
    ops.open = [=](const char* path, int flags, mode_t mode) {
        if (named("open") && matches(path)) return fail();
        const int fd = real.open(path, flags, mode);
        if (fd >= 0 && matches(path)) fds->insert(fd);
        return fd;
    };
    ops.close = [=](int fd) {
        const bool ours = fds->erase(fd) > 0;
        const int result = real.close(fd);
        return named("close") && ours ? fail() : result;
    };
    auto onFd = named;
    ops.read = [=](int fd, void* buf, std::size_t n) -> ssize_t {
        return onFd("read") && fds->count(fd) ? fail() : real.read(fd, buf, n);
    };
    ops.write = [=](int fd, const void* buf, std::size_t n) -> ssize_t {
        return onFd("write") && fds->count(fd) ? fail() : real.write(fd, buf, n);
    };
    ops.fsync = [=](int fd) { return onFd("fsync") && fds->count(fd) ? fail() : real.fsync(fd); };
    ops.flock = [=](int fd, int op) {
        return onFd("flock") && fds->count(fd) ? fail() : real.flock(fd, op);
    };
    ops.fstat = [=](int fd, struct stat* st) {
        return onFd("fstat") && fds->count(fd) ? fail() : real.fstat(fd, st);
    };
    ops.mkdir = [=](const char* path, mode_t mode) {
        return named("mkdir") && matches(path) ? fail() : real.mkdir(path, mode);
    };
    ops.rename = [=](const char* from, const char* to) {
        return named("rename") && matches(from) ? fail() : real.rename(from, to);
    };
    ops.link = [=](const char* from, const char* to) {
        return named("link") && matches(from) ? fail() : real.link(from, to);
    };
    return ops;
}

// How many times the randomized and crash tests repeat: the long run (label
// "long") sets FENWATER_LONG.
inline int repeats(int normal, int longRun) {
    return std::getenv("FENWATER_LONG") != nullptr ? longRun : normal;
}

}  // namespace fw::test
