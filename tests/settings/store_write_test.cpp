// Where the store lives, what its writes leave in the file, and how they fail.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <map>

#include "test_support.h"

namespace fw::test {
namespace {

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(StoreWrite, LocationFollowsXdgConfigHome) {
    // With neither variable usable, the home folder comes from the password database.
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_TRUE(user != nullptr && user->pw_dir[0] == '/');
    const std::string fromPasswd = std::string(user->pw_dir) + "/.config/Morvane/Fenwater";
    const struct {
        const char* xdg;
        const char* home;
        std::string expected;
    } cases[] = {
        {"/x/conf", "/home/u", "/x/conf/Morvane/Fenwater"},
        {nullptr, "/home/u", "/home/u/.config/Morvane/Fenwater"},
        {"", "/home/u", "/home/u/.config/Morvane/Fenwater"},
        {"relative/conf", "/home/u", "/home/u/.config/Morvane/Fenwater"},
        {nullptr, nullptr, fromPasswd},
        {"", "", fromPasswd},
        {"relative/conf", "relative/home", fromPasswd},
    };
    auto set = [](const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    };
    auto saved = [](const char* name) { return std::getenv(name) ? std::getenv(name) : ""; };
    const std::string home = saved("HOME"), config = saved("XDG_CONFIG_HOME");
    for (const auto& c : cases) {
        set("XDG_CONFIG_HOME", c.xdg);
        set("HOME", c.home);
        EXPECT_EQ(Settings::defaultFolder(), fs::path(c.expected))
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
    TempDir dir;
    set("XDG_CONFIG_HOME", dir.path().c_str());
    Settings store;
    store.WriteInteger("", "SoundMode", 2);
    EXPECT_EQ(Settings(dir.store()).ReadInteger("", "SoundMode", -1), 2);
    set("HOME", home.empty() ? nullptr : home.c_str());
    set("XDG_CONFIG_HOME", config.empty() ? nullptr : config.c_str());
}

TEST(StoreWrite, FirstRunCreatesPrivateFolderAndFile) {
    TempDir dir;
    const mode_t old = ::umask(0);
    Settings store(dir.store());
    store.Open();
    ::umask(old);
    EXPECT_EQ(readFile(store.path()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n");
    EXPECT_EQ(modeOf(dir.path() / "Morvane"), 0700);
    EXPECT_EQ(modeOf(dir.store()), 0700);
    EXPECT_EQ(modeOf(store.path()), 0600);
    EXPECT_EQ(modeOf(dir.store() / "settings.reg.lock"), 0600);
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 0), 0);
    EXPECT_EQ(store.ReadInteger("", "SoundMode", -1), -1);
}

TEST(StoreWrite, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    TempDir dir;
    Settings store(dir.store()), other(dir.store());
    store.Open();
    store.WriteInteger("", "HiScoreA", 13);
    EXPECT_EQ(other.ReadInteger("", "HiscoreA", 0), 13);
    other.WriteInteger("", "HISCOREA", INT_MIN);
    EXPECT_EQ(store.ReadInteger("", "hiscorea", 0), INT_MIN);
    store.WriteInteger("", "SoundMode", -1);
    store.WriteInteger("Sub", "SoundMode", 2);
    EXPECT_EQ(readFile(store.path()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"
              "\"HiScoreA\"=\"-2147483648\"\n\"SoundMode\"=\"-1\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Sub]\n\"SoundMode\"=\"2\"\n");
    // Nothing is cached: an edit by hand is seen by the next read.
    writeFile(store.path(), keyFile({R"("hiSCOREa"="5")"}));
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 0), 5);
}

TEST(StoreWrite, KeepsEverythingElseAsItWas) {
    const std::string before =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "; kept by hand\n"
        "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"
        "@=\"default\"\n"
        "\"SoundMode\"=\"1\"\n"
        "HiScoreB=44\n"
        "\"Count\"=dword:0000002a\n"
        "  \"Blob\"=hex:01,02,\\\n    03,04\n"
        "\"Path\"=hex(2):25,00,48,00,00,00\n"
        "\"Quote\"=\"a \\\"b\\\" \\\\ c\"\n"
        "; trailing comment\n\n"
        "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Deep\\Er]\n"
        "\"HiScoreA\"=\"8\"\n\"Typo\" \"1\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Elsewhere]\n"
        "\"HiScoreA\"=\"9\"\n";
    // Every line keeps its line end; new lines end as most lines do.
    const std::string after =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "; kept by hand\n"
        "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"
        "@=\"default\"\n"
        "\"SoundMode\"=\"0\"\n"
        "HiScoreB=44\n"
        "\"Count\"=dword:0000002a\n"
        "  \"Blob\"=hex:01,02,\\\n    03,04\n"
        "\"Path\"=hex(2):25,00,48,00,00,00\n"
        "\"Quote\"=\"a \\\"b\\\" \\\\ c\"\n"
        "\"HiScoreA\"=\"13\"\n"
        "; trailing comment\n\n"
        "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Deep\\Er]\n"
        "\"HiScoreA\"=\"8\"\n\"Typo\" \"1\"\n\"New\"=\"1\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Elsewhere]\n"
        "\"HiScoreA\"=\"9\"\n";
    TempDir dir;
    Settings store(dir.store());
    writeFile(store.path(), before);
    store.Open();
    EXPECT_EQ(readFile(store.path()), before);
    store.WriteInteger("", "soundmode", 0);
    store.WriteInteger("", "HiScoreA", 13);
    store.WriteInteger("deep\\er", "New", 1);
    EXPECT_EQ(readFile(store.path()), after);
    EXPECT_EQ(store.ReadInteger("Deep\\Er", "hiscorea", 0), 8);
    // A line not taken (a typo) is read as nothing and stays where it was.
    EXPECT_EQ(store.ReadInteger("", "HiscoreB", -1), -1);
}

TEST(StoreWrite, FailuresRaiseTheirMessageAndLeaveTheFile) {
    const std::string createKey = "Failed to create key ";
    const std::string setData = "Failed to set data for 'HiScoreA'";
    const struct {
        const char* call;
        const char* path;
        std::string message;
        bool written;  // the new file is in place all the same
    } cases[] = {
        {"mkdir", "Fenwater", createKey, false},    {"open", ".lock", createKey, false},
        {"flock", ".lock", createKey, false},       {"open", "settings.reg", createKey, false},
        {"read", "settings.reg", createKey, false}, {"fstat", "settings.reg", createKey, false},
        {"open", ".tmp", setData, false},           {"write", ".tmp", setData, false},
        {"fsync", ".tmp", setData, false},          {"close", ".tmp", setData, false},
        {"rename", ".tmp", setData, false},         {"open", "Fenwater", setData, true},
        {"fsync", "Fenwater", setData, true},
    };
    const std::string old = keyFile({R"("HiScoreA"="3")", R"("SoundMode"="1")"});
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir.store() / "settings.reg", old);
        Settings store(dir.store(), failingOps(c.call, c.path));
        if (std::string(c.call) == "mkdir") fs::remove_all(dir.path() / "Morvane");
        store.Open();
        EXPECT_THROW_MESSAGE(store.WriteInteger("", "HiScoreA", 5), c.message);
        if (fs::exists(dir.store())) {
            EXPECT_EQ(Settings(dir.store()).ReadInteger("", "HiscoreA", 0), c.written ? 5 : 3)
                << c.call << " " << c.path;
            EXPECT_FALSE(fs::exists(dir.store() / "settings.reg.tmp")) << c.call << " " << c.path;
        }
    }
}

TEST(StoreWrite, NewFileIsOnDiskBeforeItReplacesTheOldAndTheFolderAfter) {
    TempDir dir;
    std::string log;
    std::map<int, std::string> names;
    FileOps ops = FileOps::posix();
    const FileOps real = FileOps::posix();
    ops.open = [&](const char* path, int flags, mode_t mode) {
        const int fd = real.open(path, flags, mode);
        names[fd] = fs::path(path).filename();
        return fd;
    };
    ops.fsync = [&](int fd) {
        log += "fsync " + names[fd] + "; ";
        return real.fsync(fd);
    };
    ops.rename = [&](const char* from, const char* to) {
        log += "rename " + fs::path(from).filename().string() + "; ";
        return real.rename(from, to);
    };
    Settings(dir.store(), ops).WriteInteger("", "HiScoreA", 1);
    EXPECT_EQ(log, "fsync settings.reg.tmp; rename settings.reg.tmp; fsync Fenwater; ");
}

TEST(StoreWrite, KeysThatCannotBeMade) {
    TempDir dir;
    // A plain file where a folder of the store should be.
    writeFile(dir.path() / "Morvane", "in the way");
    Settings store(dir.store());
    store.Open();
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 7), 7);
    EXPECT_THROW_MESSAGE(store.WriteInteger("", "HiScoreA", 1), "Failed to create key ");
    EXPECT_THROW_MESSAGE(store.WriteInteger("Sub", "HiScoreA", 1), "Failed to create key Sub");
    EXPECT_EQ(readFile(dir.path() / "Morvane"), "in the way");
    // Each write tries again: once the way is clear the store works.
    fs::remove(dir.path() / "Morvane");
    store.WriteInteger("", "HiScoreA", 1);
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 7), 1);
    EXPECT_EQ(store.ReadInteger("a\\\\b", "HiscoreA", 7), 7);
    EXPECT_THROW_MESSAGE(store.WriteInteger("a\\\\b", "X", 1), "Failed to create key a\\\\b");
    EXPECT_THROW_MESSAGE(store.WriteInteger("", "a\nb", 1), "Failed to set data for 'a\nb'");
    EXPECT_THROW_MESSAGE(store.WriteInteger("", "\xC3", 1), "Failed to set data for '\xC3'");
}

TEST(StoreWrite, JunkIsMovedAsideWithoutHardLinksAndNeverOverwritten) {
    const std::string junk = "not a settings file";
    TempDir dir;
    writeFile(dir.store() / "settings.reg", junk);
    Settings noLinks(dir.store(), failingOps("link", "settings.reg", EPERM));
    noLinks.WriteInteger("", "A", 1);
    noLinks.WriteInteger("", "A", 2);
    writeFile(noLinks.path(), junk);
    noLinks.WriteInteger("", "A", 3);  // the same second: a second name
    ASSERT_EQ(keptAside(dir.store()).size(), 2u);
    for (const auto& path : keptAside(dir.store()))
        EXPECT_EQ(readFile(path), junk);
    writeFile(noLinks.path(), junk);
    Settings stuck(dir.store(), failingOps("link,rename", "settings.reg"));
    EXPECT_THROW_MESSAGE(stuck.WriteInteger("", "A", 4), "Failed to create key ");
    EXPECT_EQ(readFile(noLinks.path()), junk);
}

TEST(StoreWrite, AWriteThatChangesNothingLeavesTheFileAlone) {
    // What is stored, what is written (or raised), and whether that changes the file.
    const struct {
        const char* stored;
        int value;
        bool raise;
        bool changes;
    } cases[] = {
        {R"("SoundMode"="2")", 2, false, false},
        {R"("soundmode"="  $2")", 2, false, false},  // the same number, as a read finds it
        {R"("SoundMode"=hex(2):32,00,00,00)", 2, false, false},
        {R"("SoundMode"="-1")", -1, false, false},
        {R"("SoundMode"="2")", 1, false, true},
        {R"("SoundMode"="abc")", -1, false, true},  // a read's default is not stored
        {R"("SoundMode"=dword:00000002)", 2, false, true},
        {R"("Other"="2")", 2, false, true},
        {R"("SoundMode"="50")", 40, true, false},
        {R"("SoundMode"="50")", 50, true, false},
        {R"("SoundMode"="50")", 51, true, true},
    };
    // The file as it is, a file its owner made read-only, a folder where no lock file can
    // be made.
    enum class Way { Writable, ReadOnly, NoLock };
    for (const auto& c : cases) {
        for (Way way : {Way::Writable, Way::ReadOnly, Way::NoLock}) {
            TempDir dir;
            const fs::path file = dir.store() / "settings.reg";
            const std::string before = keyFile({c.stored});
            writeFile(file, before);
            if (way == Way::ReadOnly) fs::permissions(file, fs::perms(0444));
            struct stat was {};
            ::stat(file.c_str(), &was);
            // Every call that would replace the file or flush it, counted.
            int replacing = 0;
            FileOps ops =
                way == Way::NoLock ? failingOps("open", ".lock", EACCES) : FileOps::posix();
            const FileOps inner = ops;
            ops.rename = [&](const char* a, const char* b) {
                return ++replacing, inner.rename(a, b);
            };
            ops.fsync = [&](int fd) { return ++replacing, inner.fsync(fd); };
            Settings store(dir.store(), ops);
            std::string outcome = "ok";
            try {
                c.raise ? store.RaiseInteger("", "SoundMode", c.value, 999)
                        : store.WriteInteger("", "SoundMode", c.value);
            } catch (const StoreError& e) {
                outcome = e.what();
            }
            const std::string id = std::string(c.stored) + " " + std::to_string(c.value) + " " +
                                   std::to_string(static_cast<int>(way));
            const bool refused = c.changes && way != Way::Writable;
            EXPECT_EQ(outcome, !refused               ? "ok"
                               : way == Way::ReadOnly ? "Failed to set data for 'SoundMode'"
                                                      : "Failed to create key ")
                << id;
            if (c.changes && !refused) {
                EXPECT_EQ(Settings(dir.store()).ReadInteger("", "SoundMode", 0), c.value) << id;
                continue;
            }
            struct stat is {};
            ::stat(file.c_str(), &is);
            EXPECT_EQ(readFile(file), before) << id;
            EXPECT_EQ(is.st_ino, was.st_ino) << id;
            EXPECT_EQ(is.st_mtim.tv_sec, was.st_mtim.tv_sec) << id;
            EXPECT_EQ(is.st_mtim.tv_nsec, was.st_mtim.tv_nsec) << id;
            EXPECT_EQ(replacing, 0) << id;
        }
    }
}

TEST(StoreWrite, RaiseNeverLowersAStoredNumber) {
    // What another copy of the program left in the file, and what a game over then keeps;
    // a stored number above the greatest that counts never keeps its place.
    const struct {
        const char* stored;
        int raised;
        int expected;
    } cases[] = {
        {"\"HiScoreA\"=\"50\"", 2, 50},      {"\"HiScoreA\"=\"50\"", 50, 50},
        {"\"hiscorea\"=\"2\"", 50, 50},      {"\"HiScoreA\"=\"-5\"", -7, -5},
        {"\"HiScoreA\"=\"junk\"", 3, 3},     {"\"HiScoreA\"=dword:00000032", 3, 3},
        {"\"Other\"=\"90\"", 3, 3},          {"\"HiScoreA\"=\"999\"", 974, 999},
        {"\"HiScoreA\"=\"1001\"", 974, 974}, {"\"HiScoreA\"=\"$3E9\"", 1, 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir.store() / "settings.reg", keyFile({c.stored}));
        Settings store(dir.store());
        store.RaiseInteger("", "HiScoreA", c.raised, 999);
        EXPECT_EQ(Settings(dir.store()).ReadInteger("", "HiscoreA", -99), c.expected) << c.stored;
    }
}

}  // namespace
}  // namespace fw::test
