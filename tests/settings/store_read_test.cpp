// Reading values from settings files as a person might have edited them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "test_support.h"

namespace fw::test {
namespace {

// The number read, or the text of the error raised.
std::string readOutcome(Settings& store, const std::string& name, int def) {
    try {
        return std::to_string(store.ReadInteger("", name, def));
    } catch (const StoreError& e) {
        return e.what();
    }
}

TEST(StoreRead, HandEditedValues) {
    const std::string badType = "Invalid data type for 'HiscoreA'";
    const std::string noData = "Failed to get data for 'HiscoreA'";
    const struct {
        std::string line;
        std::string expected;
    } cases[] = {
        {R"("HiScoreA"="13")", "13"},
        {R"("hiscorea"="13")", "13"},
        {R"("HISCOREA"="-7")", "-7"},
        {R"("HiScoreA"="  13")", "13"},
        {R"("HiScoreA"="$0D")", "13"},
        {R"("HiScoreA"="0x0d")", "13"},
        {R"("HiScoreA" = "13")", "13"},
        // the default for empty text, text that is no number, and numbers out of range
        {R"("HiScoreA"="")", "99"},
        {R"("HiScoreA"="abc")", "99"},
        {R"("HiScoreA"="13 ")", "99"},
        {R"("HiScoreA"="4294967295")", "99"},
        {R"("HiScoreA"="$FFFFFFFF")", "99"},
        {R"("HiScoreB"="13")", "99"},
        // text kept as UTF-16 bytes, plain and expandable, up to the first zero
        {R"("HiScoreA"=hex(1):31,00,33,00,00,00)", "13"},
        {R"("HiScoreA"=hex(2):31,00,33,00,00,00)", "13"},
        {"\"HiScoreA\"=hex(2):31,00,\\\n  33,00,00,00", "13"},
        {R"("HiScoreA"=hex(1):31,00,00,00,39,00)", "1"},
        {R"("HiScoreA"=hex(1):)", "99"},
        {R"("HiScoreA"=hex(2):24,00,25,00,50,00,25,00,00,00)", "99"},
        // other types
        {R"("HiScoreA"=dword:0000000d)", badType},
        {R"("HiScoreA"=hex:31,33)", badType},
        {R"("HiScoreA"=hex:)", badType},
        {R"("HiScoreA"=hex(b):0d,00,00,00,00,00,00,00)", badType},
        {R"("HiScoreA"=hex(7):31,00,00,00,00,00)", badType},
        {R"("HiScoreA"=13)", badType},
        // text whose data cannot be read
        {R"("HiScoreA"="13)", noData},
        {R"("HiScoreA"="1\3")", noData},
        {R"("HiScoreA"="13" x)", noData},
        {R"("HiScoreA"=hex(1):31,00,33)", noData},
        {R"("HiScoreA"=hex(2):31,00,zz,00)", noData},
        {R"("HiScoreA"=hex(1):00,d8,41,00)", noData},
        // a name given twice: the later one counts, as after an import
        {"\"HiScoreA\"=\"1\"\n\"HISCOREA\"=\"2\"", "2"},
        {"\"HiScoreA\"=dword:1\n\"HiScoreA\"=\"2\"", "2"},
        // the same name in a sub-key or another key is another value
        {"[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Sub]\n\"HiScoreA\"=\"5\"", "99"},
        {"[HKEY_CURRENT_USER\\Software\\Other]\n\"HiScoreA\"=\"5\"", "99"},
    };
    TempDir dir;
    Settings store(dir.store());
    for (const auto& c : cases) {
        writeFile(store.path(), keyFile({c.line}));
        EXPECT_EQ(readOutcome(store, "HiscoreA", 99), c.expected) << c.line;
    }
}

TEST(StoreRead, FileLayoutsThatReadAndFilesThatAreJunk) {
    using namespace std::string_literals;
    const std::string value = "\"HiScoreA\"=\"13\"\n";
    const std::string key = "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n";
    const std::string sig = "Windows Registry Editor Version 5.00\n";
    std::mt19937 random(7);
    std::string binary(4096, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    const struct {
        std::string content;
        std::string reads;  // "junk": not a settings file
    } cases[] = {
        {sig + key + value, "13"},
        {"\xEF\xBB\xBF" + sig + key + value, "13"},
        {"Windows Registry Editor Version 5.00\r\n\r\n" + key + "\"HiScoreA\"=\"13\"\r\n", "13"},
        {"\n" + sig + "; a comment\n\n  " + key + "\t" + value, "13"},
        {sig + "[hkey_current_user\\SOFTWARE\\morvane\\FENWATER]\n" + value, "13"},
        {sig + key + "@=\"x\"\n\"Hi\\\"A\"=\"1\"\n" + value, "13"},
        {"", "99"},
        {"\n\n", "99"},
        {binary, "junk"},
        {"REGEDIT4\n" + key + value, "13"},
        // lines the format does not know, outside the store's keys, are kept as they are
        {sig + "# notes\n" + key + value + "\n[HKEY_CURRENT_USER\\Other]\nx y z\n", "13"},
        {sig + value + key, "99"},
        {sig + "[HKEY_CURRENT_USER\\Software\n" + value + key, "99"},
        {sig + "[HKEY_CURRENT_USER\\\\Software]\n" + value + key, "99"},
        {sig + "[-HKEY_CURRENT_USER\\Software\\Other]\n" + value + key, "99"},
        // and so are those of the store's keys: a line that does not parse costs that line
        {sig + key + "# notes\n" + value, "13"},
        {sig + key + "HiScoreB=44\n" + value + "\"SoundMode\" \"2\"\n", "13"},
        {sig + key + "\"HiScoreA=\"13\"\n", "99"},
        {sig + key + "\"HiScoreA\" \"13\"\n", "99"},
        {sig + key + "HiScoreA=13\n", "99"},
        // a header that names none of them (or deletes one) ends the key, values under it
        // belong to none
        {sig + "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\n" + value, "99"},
        {sig + "[-HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n", "99"},
        {sig + key + "[-HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\Sub]\n", "99"},
        {sig + key + value + "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater\\\\x]\n" +
             "\"HiScoreA\"=\"5\"\n",
         "13"},
        // what is not a settings file at all
        {key + value, "junk"},
        {"\xFF\xFE" + sig, "junk"},  // UTF-16 of an odd length
        {"\xFE\xFF" + sig + key + value, "junk"},
        {sig + key + "\"x\"=\"\xC3\x28\"\n" + value, "junk"},
        {sig + key + "\"x\"=\"a\0b\"\n"s + value, "junk"},
        {sig + key + "\"x\"=\"a\rb\"\n" + value, "junk"},
        {sig + key + value + std::string(reg::kMaxLines, '\n'), "junk"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Settings store(dir.store());
        std::vector<fs::path> told;
        store.onSetAside = [&](const fs::path& keptAs) { told.push_back(keptAs); };
        writeFile(store.path(), c.content);
        const bool junk = c.reads == "junk";
        const std::string id = c.content.substr(0, 90);
        EXPECT_EQ(readOutcome(store, "HiscoreA", 99), junk ? "99" : c.reads) << id;
        // Opening the store keeps junk aside at once and says where; a file that reads
        // stays as it is.
        store.Open();
        const auto aside = keptAside(dir.store());
        ASSERT_EQ(aside.size(), junk ? 1u : 0u) << id;
        EXPECT_EQ(told, aside) << id;
        if (junk) {
            EXPECT_TRUE(readFile(aside[0]) == c.content) << id;
        }
        store.WriteInteger("", "SoundMode", 1);
        EXPECT_EQ(store.ReadInteger("", "SoundMode", -1), 1) << id;
        EXPECT_EQ(store.ReadInteger("", "HiscoreA", 99), junk ? 99 : std::stoi(c.reads)) << id;
        // Every line of a file that reads is still there, in its order.
        const std::string now = readFile(store.path());
        std::size_t at = 0;
        for (std::size_t start = 0, end; !junk && start < c.content.size(); start = end + 1) {
            end = std::min(c.content.find('\n', start), c.content.size());
            at = now.find(c.content.substr(start, end - start), at);
            ASSERT_NE(at, std::string::npos)
                << id << " lost: " << c.content.substr(start, end - start);
        }
        EXPECT_EQ(keptAside(dir.store()).size(), junk ? 1u : 0u) << id;
        EXPECT_EQ(told.size(), junk ? 1u : 0u) << id;
    }
}

constexpr std::string_view kStoreKey = "[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]";

// Latin-1 text as UTF-16LE.
std::string widen(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(StoreRead, RegistryEditorExportsReadAndKeepTheirEncoding) {
    // The lines of a file, each ended by end, with a blank line after the signature.
    auto lines = [](std::string_view end, std::initializer_list<std::string_view> all) {
        std::string text;
        for (std::string_view line : all) {
            text += std::string(line) + std::string(end);
            if (text.size() == line.size() + end.size()) text += end;
        }
        return text;
    };
    const std::string_view sig = reg::kSignature, key = kStoreKey;
    const std::string_view stored = R"("HiScoreA"="56")", sound = R"("SoundMode"="2")";
    const std::string fish = "\x3D\xD8\x1F\xDC";  // U+1F41F, a surrogate pair in UTF-16
    const struct {
        std::string before;
        std::string after;  // after raising "HiScoreA" to 56 and writing "SoundMode"
    } cases[] = {
        // the registry editor's own: UTF-16LE, a byte-order mark, CR LF
        {"\xFF\xFE" + widen(lines("\r\n", {sig, key, R"("HiScoreA"="55")", "; caf\xE9"})),
         "\xFF\xFE" + widen(lines("\r\n", {sig, key, stored, sound, "; caf\xE9"}))},
        // with text kept as UTF-16 bytes, and a last line without a line end
        {"\xFF\xFE" + widen(lines("\r\n", {sig, key, R"("HiScoreA"=hex(2):35,00,35,00,00,00)"})) +
             widen(";") + fish,
         "\xFF\xFE" + widen(lines("\r\n", {sig, key, stored, sound})) + widen(";") + fish},
        // the older header, one byte a character
        {lines("\r\n", {"REGEDIT4", key, R"("HiScoreA"=hex(2):35,35,00)", "; caf\xE9"}),
         lines("\r\n", {"REGEDIT4", key, stored, sound, "; caf\xE9"})},
        // UTF-8 with a byte-order mark, and without one
        {"\xEF\xBB\xBF" + lines("\r\n", {sig, key, R"("HiScoreA"="55")", "; caf\xC3\xA9"}),
         "\xEF\xBB\xBF" + lines("\r\n", {sig, key, stored, sound, "; caf\xC3\xA9"})},
        {lines("\n", {sig, key, R"("HiScoreA"="55")"}), lines("\n", {sig, key, stored, sound})},
        // a last line ended by a carriage return alone keeps it; one a line follows gains
        // the line feed
        {lines("\r\n", {"REGEDIT4", key, R"("HiScoreA"="55")"}) + "[x=hex:01]REGED\r",
         lines("\r\n", {"REGEDIT4", key, stored, sound}) + "[x=hex:01]REGED\r"},
        {lines("\r\n", {sig, key}) + R"("HiScoreA"="55")" + "\r",
         lines("\r\n", {sig, key, stored, sound})},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Settings store(dir.store());
        writeFile(store.path(), c.before);
        const std::string id = testing::PrintToString(c.before.substr(0, 40));
        EXPECT_EQ(readOutcome(store, "HiscoreA", 0), "55") << id;
        store.Open();
        EXPECT_TRUE(readFile(store.path()) == c.before) << id;
        store.RaiseInteger("", "HiScoreA", 56, 999);
        store.WriteInteger("", "SoundMode", 2);
        EXPECT_TRUE(readFile(store.path()) == c.after)
            << id << " became " << testing::PrintToString(readFile(store.path()));
        EXPECT_TRUE(keptAside(dir.store()).empty()) << id;
    }
    // The older file holds only names of one byte a character.
    TempDir dir;
    Settings store(dir.store());
    writeFile(store.path(), lines("\r\n", {"REGEDIT4", key}));
    const std::string euro = "\xE2\x82\xAC", eAcute = "\xC3\xA9";
    EXPECT_THROW_MESSAGE(store.WriteInteger("", euro, 1), "Failed to set data for '" + euro + "'");
    EXPECT_THROW_MESSAGE(store.WriteInteger(euro, "A", 1), "Failed to create key " + euro);
    store.WriteInteger("", eAcute, 1);
    EXPECT_EQ(store.ReadInteger("", eAcute, 0), 1);
    EXPECT_EQ(readFile(store.path()), lines("\r\n", {"REGEDIT4", key, "\"\xE9\"=\"1\""}));
}

TEST(StoreRead, HugeFilesAreJunkAndQuickToSetAside) {
    TempDir dir;
    Settings store(dir.store());
    writeFile(store.path(), "Windows Registry Editor Version 5.00\n\xFF junk");
    fs::resize_file(store.path(), 100 << 20);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 4);
    store.WriteInteger("", "HiScoreA", 13);
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 13);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const auto aside = keptAside(dir.store());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fs::file_size(aside[0]), 100u << 20);

    // A file of exactly the largest size is read; a write that would outgrow it fails.
    std::string full = keyFile({R"("HiScoreA"="13")"});
    full += ";" + std::string(reg::kMaxFileSize - full.size() - 2, '-') + "\n";
    writeFile(store.path(), full);
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 13);
    EXPECT_THROW_MESSAGE(store.WriteInteger("", "SoundMode", 1),
                         "Failed to set data for 'SoundMode'");
    EXPECT_EQ(readFile(store.path()), full);
    writeFile(store.path(), full + "\n");
    EXPECT_EQ(store.ReadInteger("", "HiscoreA", 4), 4);
}

}  // namespace
}  // namespace fw::test
