// What may stand in the settings file's place: things that are not files, links,
// files the user made read-only; a lock another program keeps; writes that keep failing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>

#include "test_support.h"

namespace fw::test {
namespace {

using Clock = std::chrono::steady_clock;

struct stat lstatOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void makeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(StoreFiles, WhatIsNoFileIsKeptAsideWithoutWaiting) {
    const std::string elsewhere = "../../elsewhere/pipe";
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"a FIFO", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }},
        {"a folder", [](const fs::path& p) { writeFile(p / "inside", "kept"); }},
        {"a socket", makeSocket},
        {"a link to itself", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }},
        {"a link to a FIFO",
         [&](const fs::path& p) {
             const fs::path pipe = (p.parent_path() / elsewhere).lexically_normal();
             fs::create_directories(pipe.parent_path());
             ::mkfifo(pipe.c_str(), 0600);
             fs::create_symlink(elsewhere, p);
         }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Settings store(dir.store());
        fs::create_directories(dir.store());
        c.make(store.path());
        const mode_t type = lstatOf(store.path()).st_mode & S_IFMT;
        ::alarm(20);  // a store that blocks ends the test here
        const auto start = Clock::now();
        EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 4) << c.what;
        store.Open();
        store.WriteInteger("", "HiScoreA", 13);
        EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 13) << c.what;
        EXPECT_LT(secondsSince(start), 1.0) << c.what;
        ::alarm(0);
        EXPECT_TRUE(S_ISREG(lstatOf(store.path()).st_mode)) << c.what;
        const auto aside = keptAside(dir.store());
        ASSERT_EQ(aside.size(), 1u) << c.what;
        EXPECT_EQ(lstatOf(aside[0]).st_mode & S_IFMT, type) << c.what;
        if (type == S_IFLNK) {
            EXPECT_TRUE(fs::is_fifo(dir.store() / elsewhere) ||
                        !fs::exists(dir.path() / "elsewhere"))
                << c.what << ": the link's target was touched";
        }
    }
}

TEST(StoreFiles, RepeatedFailedWritesKeepOneCopyAside) {
    const std::string junk = "not a settings file";
    const FileOps noTemp = failingOps("rename", ".tmp");
    const struct {
        const char* what;
        FileOps ops;
    } cases[] = {
        {"hard links", noTemp},
        {"no hard links", failingOps("link", "settings.reg", EPERM, noTemp)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir.store() / "settings.reg", junk);
        Settings failing(dir.store(), c.ops);
        for (int n = 0; n < 6; ++n) {
            EXPECT_THROW_MESSAGE(failing.WriteInteger("", "HiScoreA", n),
                                 "Failed to set data for 'HiScoreA'");
        }
        Settings(dir.store()).WriteInteger("", "HiScoreA", 9);
        const auto aside = keptAside(dir.store());
        ASSERT_EQ(aside.size(), 1u) << c.what;
        EXPECT_EQ(readFile(aside[0]), junk) << c.what;
        EXPECT_EQ(Settings(dir.store()).ReadInteger("", "HiscoreA", 0), 9) << c.what;
    }
}

TEST(StoreFiles, LinksAreWrittenThroughToTheirTargets) {
    const std::string mine = keyFile({R"("HiScoreA"="55")", "; mine"});
    const std::string written = keyFile({R"("HiScoreA"="60")", "; mine"});
    const struct {
        const char* what;
        const char* link;    // the link's text; "dotfiles" is a folder beside the store's
        const char* target;  // the file it leads to, in dotfiles
        bool chain;          // settings.reg leads to a second link in dotfiles
    } cases[] = {
        {"relative", "../../dotfiles/fenwater.reg", "fenwater.reg", false},
        {"absolute", "", "fenwater.reg", false},
        {"a chain", "../../dotfiles/second", "fenwater.reg", true},
        {"a link to nothing yet", "../../dotfiles/new.reg", "new.reg", false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path dotfiles = dir.path() / "dotfiles";
        const fs::path target = dotfiles / c.target;
        const bool exists = std::string(c.target) != "new.reg";
        fs::create_directories(dir.store());
        fs::create_directories(dotfiles);
        if (exists) {
            writeFile(target, mine);
            fs::permissions(target, fs::perms(0644));
        }
        if (c.chain) fs::create_symlink(c.target, dotfiles / "second");
        const fs::path link = std::string(c.link).empty() ? target : fs::path(c.link);
        Settings store(dir.store());
        fs::create_symlink(link, store.path());
        EXPECT_EQ(store.ReadInteger("", "HiscoreA", 0), exists ? 55 : 0) << c.what;
        store.WriteInteger("", "HiScoreA", 60);
        EXPECT_EQ(fs::read_symlink(store.path()), link) << c.what;
        EXPECT_EQ(readFile(target), exists ? written : keyFile({R"("HiScoreA"="60")"})) << c.what;
        EXPECT_EQ(lstatOf(target).st_mode & 0777, exists ? 0644u : 0600u) << c.what;
        for (const fs::path& folder : {dir.store(), dotfiles}) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                EXPECT_FALSE(entry.path().extension() == ".tmp") << c.what << " " << entry.path();
            }
        }
        EXPECT_TRUE(keptAside(dir.store()).empty()) << c.what;
    }
    // A link to a file that is not settings is kept aside itself, and its target left alone.
    TempDir dir;
    writeFile(dir.path() / "notes.txt", "my notes");
    Settings store(dir.store());
    fs::create_directories(dir.store());
    fs::create_symlink("../../notes.txt", store.path());
    store.WriteInteger("", "HiScoreA", 60);
    EXPECT_EQ(readFile(dir.path() / "notes.txt"), "my notes");
    EXPECT_TRUE(S_ISREG(lstatOf(store.path()).st_mode));
    const auto aside = keptAside(dir.store());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fs::read_symlink(aside[0]), "../../notes.txt");
}

TEST(StoreFiles, FilesMadeReadOnlyAreNeverReplaced) {
    const std::string stored = keyFile({R"("HiScoreA"="50")"});
    const struct {
        unsigned mode;
        bool throughLink;
    } cases[] = {{0400, false}, {0444, false}, {0500, false}, {0400, true}};
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path file =
            c.throughLink ? dir.path() / "target.reg" : dir.store() / "settings.reg";
        writeFile(file, stored);
        fs::permissions(file, fs::perms(c.mode));
        Settings store(dir.store());
        fs::create_directories(dir.store());
        if (c.throughLink) fs::create_symlink(file, store.path());
        store.Open();
        EXPECT_THROW_MESSAGE(store.WriteInteger("", "HiScoreA", 60),
                             "Failed to set data for 'HiScoreA'");
        store.RaiseInteger("", "HiScoreA", 40, 999);  // nothing to write: no failure
        EXPECT_EQ(readFile(file), stored) << std::oct << c.mode;
        EXPECT_EQ(lstatOf(file).st_mode & 0777, c.mode) << std::oct << c.mode;
        // Once the user allows it again, the writes go through.
        fs::permissions(file, fs::perms(c.mode | 0200));
        store.WriteInteger("", "HiScoreA", 60);
        EXPECT_EQ(Settings(dir.store()).ReadInteger("", "HiscoreA", 0), 60);
    }
}

TEST(StoreFiles, ALockHeldElsewhereIsWaitedOnForAWhile) {
    TempDir dir;
    fs::create_directories(dir.store());
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(release[1]);
        const int fd = ::open((dir.store() / "settings.reg.lock").c_str(), O_RDWR | O_CREAT, 0600);
        char byte = ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) != 1 || ::read(release[0], &byte, 1) < 0) ::_exit(1);
        ::_exit(0);
    }
    ::close(release[0]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 'y');

    // The key cannot be made at start: the store goes on without it.
    Settings starting(dir.store());
    auto start = Clock::now();
    starting.Open();
    EXPECT_GT(secondsSince(start), 1.5);
    EXPECT_LT(secondsSince(start), 4.0);
    EXPECT_FALSE(fs::exists(starting.path()));

    const std::string old = keyFile({R"("HiScoreA"="5")"});
    writeFile(starting.path(), old);
    Settings store(dir.store());
    start = Clock::now();
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 0), 5);  // reads never wait
    EXPECT_LT(secondsSince(start), 0.5);
    EXPECT_THROW_MESSAGE(store.WriteInteger("", "HiScoreA", 7),
                         "Failed to set data for 'HiScoreA'");
    EXPECT_GT(secondsSince(start), 1.5);
    EXPECT_LT(secondsSince(start), 4.0);
    // Once a wait has run out, the next ones are short.
    start = Clock::now();
    EXPECT_THROW_MESSAGE(store.RaiseInteger("", "HiScoreA", 7, 999),
                         "Failed to set data for 'HiScoreA'");
    EXPECT_LT(secondsSince(start), 1.0);
    EXPECT_EQ(readFile(store.path()), old);

    ::close(release[1]);
    int status = 0;
    ::waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    store.WriteInteger("", "HiScoreA", 7);
    EXPECT_EQ(starting.ReadInteger("", "HiscoreA", 0), 7);
}

}  // namespace
}  // namespace fw::test
