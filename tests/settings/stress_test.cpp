// Writers killed at random moments, writers at the same time, random files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>

#include "store_text.h"
#include "test_support.h"

namespace fw::test {
namespace {

using Values = std::vector<reg::ValueEntry>;

const std::string kOthers = keyFile(
    {R"("HiScoreA"="12")", R"(@="x")", R"("Count"=dword:0000002a)", "\"Blob\"=hex:01,\\", "  02",
     "", "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Sub]", R"("SoundMode"="1")"});

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return std::tolower(c); });
    return s;
}

// The values of a document but those of the store's key with the given names.
Values valuesExcept(const reg::Document& doc, const std::set<std::string>& names) {
    Values values = doc.values();
    std::erase_if(values, [&](const reg::ValueEntry& e) {
        return lower(e.key) == lower(std::string(reg::kRootKey)) && names.count(lower(e.name));
    });
    return values;
}

std::optional<Values> fileValuesExcept(const fs::path& file, const std::set<std::string>& names) {
    const auto doc = reg::Document::parse(readFile(file));
    if (!doc) return std::nullopt;
    return valuesExcept(*doc, names);
}

// Runs body in a child process.
template <typename Body>
pid_t spawn(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    return pid;
}

TEST(StressKill, KilledWriterLeavesTheOldOrTheNewValue) {
    TempDir dir;
    writeFile(dir.store() / "settings.reg", kOthers);
    Settings store(dir.store());
    const auto others = fileValuesExcept(store.path(), {"counter"});
    std::mt19937 random(std::random_device{}());
    int value = 0;
    for (int kill = 0; kill < repeats(20, 200); ++kill) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = spawn([&] {
            Settings writer(dir.store());
            for (int i = value + 1;; ++i) {
                writer.WriteInteger("", "Counter", i);
                if (::write(fds[1], &i, sizeof i) != sizeof i) ::_exit(2);
            }
        });
        ::close(fds[1]);
        // Every fourth writer lives a while longer, so that writes complete even on a
        // busy machine, where one write can take longer than the shortest lives.
        ::usleep(random() % 20000 + (kill % 4 == 0 ? 60000 : 0));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
        int confirmed = value;
        for (int i; ::read(fds[0], &i, sizeof i) == sizeof i;)
            confirmed = i;
        ::close(fds[0]);
        const int now = store.ReadInteger("", "Counter", value);
        ASSERT_TRUE(now == confirmed || now == confirmed + 1) << now << " after " << confirmed;
        ASSERT_EQ(fileValuesExcept(store.path(), {"counter"}), others);
        value = now;
    }
    EXPECT_GT(value, 0);
    EXPECT_TRUE(keptAside(dir.store()).empty());
}

TEST(StressConcurrent, TwoWritersKeepEachOthersValues) {
    TempDir dir;
    writeFile(dir.store() / "settings.reg", kOthers);
    Settings store(dir.store());
    const std::set<std::string> written = {"writera", "writerb", "shared"};
    const auto others = fileValuesExcept(store.path(), written);
    const int writes = repeats(100, 1000);
    std::set<pid_t> writers;
    for (int sign : {1, -1}) {
        writers.insert(spawn([&] {
            Settings writer(dir.store());
            for (int i = 1; i <= writes; ++i) {
                writer.WriteInteger("", sign > 0 ? "WriterA" : "WriterB", i);
                writer.WriteInteger("", "Shared", sign * i);
            }
        }));
    }
    while (!writers.empty()) {
        ASSERT_EQ(fileValuesExcept(store.path(), written), others);
        for (pid_t pid : std::set<pid_t>(writers)) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) != pid) continue;
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            writers.erase(pid);
        }
    }
    EXPECT_EQ(store.ReadInteger("", "WriterA", 0), writes);
    EXPECT_EQ(store.ReadInteger("", "WriterB", 0), writes);
    EXPECT_EQ(std::abs(store.ReadInteger("", "Shared", 0)), writes);
    EXPECT_EQ(fileValuesExcept(store.path(), written), others);
}

// The store on a file of this text: reads and writes work, or the file is kept aside.
void checkStore(const TempDir& dir, const std::string& text) {
    Settings store(dir.store());
    fs::remove_all(dir.store());
    writeFile(store.path(), text);
    try {
        store.ReadInteger("", "HiscoreA", 0);
    } catch (const StoreError&) {
    }
    store.WriteInteger("", "HiScoreA", 13);
    ASSERT_EQ(store.ReadInteger("", "HiscoreA", 0), 13) << testing::PrintToString(text);
    const auto aside = keptAside(dir.store());
    ASSERT_EQ(aside.size(), reg::Document::parse(text) ? 0u : 1u) << testing::PrintToString(text);
    if (!aside.empty()) {
        ASSERT_TRUE(readFile(aside[0]) == text);
    }
}

// Random edits of settings files: reading never crashes or hangs, and any file
// that reads takes a write that keeps all its other values.
TEST(StressParser, RandomFilesNeitherCrashNorHang) {
    using namespace std::string_literals;
    const std::string seeds[] = {
        kOthers,
        keyFile({"\"HiScoreA\"=hex(2):31,00,\\", "  33,00,00,00", R"("Q"="a\"b\\")", "; note"}),
        keyFile({"\"Path\"=hex(2):25,00,\\", "  00,00"}),
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Morvane\\"
        "Fenwater\\A\\B]\r\n\"hiscorea\"=\"$1f\"\r\n",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\r\n"
        "\"HiScoreA\"=hex(2):31,33,00\r\n# \xE9\r\n[HKEY_CURRENT_USER\\Other]\r\n? \xFF\r\n",
        // UTF-16LE: the signature, a key, "HiScoreA"="7" and a line of another key
        "\xFF\xFE" +
            [] {
                std::string wide;
                for (char c :
                     std::string(keyFile({R"("HiScoreA"="7")", "[-HKEY_CURRENT_USER\\X]", "x"}))) {
                    wide += c;
                    wide += '\0';
                }
                return wide;
            }(),
        "",
    };
    const std::string pieces[] = {"\n",
                                  "\r\n",
                                  "\r",
                                  "\"",
                                  "\\",
                                  "[",
                                  "]",
                                  "=",
                                  "@",
                                  ",",
                                  ":",
                                  " ",
                                  "\t",
                                  ";",
                                  "-",
                                  "$",
                                  "0x",
                                  "hex(2):",
                                  "hex(1):",
                                  "hex:",
                                  "dword:",
                                  "00,",
                                  "\\\n",
                                  "\xEF\xBB\xBF",
                                  "\xFF",
                                  "\xC3",
                                  "\0"s,
                                  "\"HiScoreA\"=",
                                  "\"hiscorea\"=\"7\"\n",
                                  "[-",
                                  "# ",
                                  "\xFF\xFE",
                                  "\x00\x0A\x00"s,
                                  "REGEDIT4\n",
                                  "Windows Registry Editor Version 5.00\n",
                                  "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"};
    const char* given = std::getenv("FENWATER_SEED");  // to repeat a failed run
    const unsigned seed = given ? std::stoul(given) : std::random_device{}();
    std::mt19937 random(seed);
    auto below = [&](std::size_t n) { return n == 0 ? 0 : random() % n; };
    const int inputs = repeats(100000, 1000000);
    int readable = 0;
    TempDir dir;
    for (int n = 0; n < inputs; ++n) {
        std::string text = seeds[below(std::size(seeds))];
        if (below(50) == 0) text.assign(below(300), '\0');
        const bool garble = below(4) == 0;
        for (char& c : text)
            c = garble && below(50) == 0 ? static_cast<char>(random()) : c;
        for (std::size_t edits = below(6); edits > 0; --edits) {
            const std::size_t at = below(text.size() + 1);
            switch (below(4)) {
                case 0:
                    text.insert(at, pieces[below(std::size(pieces))]);
                    break;
                case 1:
                    text.erase(at, below(12));
                    break;
                case 2:
                    text.resize(at);
                    break;
                default:
                    text.insert(at, text.substr(below(text.size() + 1), below(40)));
            }
        }
        if (n % 500 == 0) {
            ASSERT_NO_FATAL_FAILURE(checkStore(dir, text)) << "seed " << seed;
        }
        auto doc = reg::Document::parse(text);
        if (!doc) continue;
        ++readable;
        for (const auto& value : doc->values()) {
            if (auto decoded = reg::decodeText(value.data)) parseIntegerText(*decoded);
        }
        const Values before = valuesExcept(*doc, {"hiscorea"});
        doc->setText({}, "HiScoreA", "13");
        const auto again = reg::Document::parse(doc->serialize());
        ASSERT_TRUE(again) << "seed " << seed << ": " << testing::PrintToString(text);
        const auto value = again->find({}, "HISCOREA");
        ASSERT_TRUE(value && reg::decodeText(value->data) == "13") << "seed " << seed << ":\n"
                                                                   << text;
        ASSERT_EQ(valuesExcept(*again, {"hiscorea"}), before)
            << "seed " << seed << ": " << testing::PrintToString(text);
    }
    EXPECT_GT(readable, inputs / 20);
}

}  // namespace
}  // namespace fw::test
