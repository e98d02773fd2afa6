// The settings document under the fuzzer. The first bytes choose a write (the value's
// name, its section and the number); the rest is the file. For any file that reads:
//   * written back untouched it gives the same bytes;
//   * a write of one value changes only that value's line, or adds its line (and the
//     key's header when the key is missing), in the file's own encoding;
//   * read back, the value is the text written and every other value reads as before.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "reg_document.h"
#include "store_text.h"

namespace {

using fw::reg::Document;
using fw::reg::Encoding;

void show(const char* label, std::string_view bytes) {
    std::fprintf(stderr, "%s: ", label);
    for (unsigned char c : bytes)
        std::fprintf(stderr, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02x", c);
    std::fprintf(stderr, "\n");
}

[[noreturn]] void fail(const char* what, std::string_view file, std::string_view written = {}) {
    std::fprintf(stderr, "fuzz_settings_document: %s\n", what);
    show("file", file);
    if (!written.empty()) show("written", written);
    std::abort();
}

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool foldEqual(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return fold(x) == fold(y); });
}

// The file's lines as ASCII (other characters as '?'), split at every line feed, each
// with its carriage return if it has one: a line nobody touched compares equal.
std::vector<std::string> physicalLines(std::string_view bytes, Encoding encoding) {
    std::string text;
    if (encoding == Encoding::Utf16Le) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                                  static_cast<unsigned char>(bytes[i + 1]) << 8;
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
    } else {
        text = bytes.substr(encoding == Encoding::Utf8Bom ? 3 : 0);
    }
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    return lines;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Every value but the one written, with the names folded as the store matches them.
std::vector<fw::reg::ValueEntry> otherValues(const Document& doc, std::string_view key,
                                             std::string_view name) {
    std::vector<fw::reg::ValueEntry> out;
    for (auto v : doc.values()) {
        if (foldEqual(v.key, key) && foldEqual(v.name, name)) continue;
        out.push_back(std::move(v));
    }
    return out;
}

constexpr const char* kNames[] = {"HiScoreA", "hiscorea", "SoundMode", "New", "q\"\\", ""};
constexpr const char* kSections[] = {"", "Sub", "sub\\Deeper"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    const std::string_view name = kNames[data[0] % std::size(kNames)];
    const std::string_view section = kSections[data[1] % std::size(kSections)];
    std::int32_t number;
    std::memcpy(&number, data + 2, sizeof number);
    const std::string_view file(reinterpret_cast<const char*>(data + 6), size - 6);

    auto doc = Document::parse(file);
    if (!doc) return 0;
    if (doc->serialize() != file) fail("written back untouched, the bytes changed", file);

    const auto key = fw::reg::keyForSection(section);
    if (!key) fail("a section of the store cannot name a key", file);
    std::string keyText(fw::reg::kRootKey);
    for (const std::string& part : *key)
        keyText += "\\" + part;
    const auto before = otherValues(*doc, keyText, name);
    const bool hadKey = doc->hasKey(*key);
    const std::string text = fw::integerText(number);
    doc->setText(*key, name, text);
    const std::string written = doc->serialize();

    const auto again = Document::parse(written);
    if (!again) fail("after a write the file no longer reads", file);
    if (again->encoding() != doc->encoding()) fail("a write changed the encoding", file);
    const auto value = again->find(*key, name);
    const auto read = value ? fw::reg::decodeText(value->data, value->narrow) : std::nullopt;
    if (!read || *read != text) fail("the value written does not read back", file);
    if (otherValues(*again, keyText, name) != before) fail("another value changed", file);

    if (written == file) return 0;  // the same text over the same text
    // The lines that differ: a common start and end, and what lies between.
    const auto old = physicalLines(file, doc->encoding());
    const auto now = physicalLines(written, doc->encoding());
    // A last line without a line end gains one when a line follows it.
    auto same = [&](std::size_t i) {
        return old[i] == now[i] || (i + 1 == old.size() && now[i] == old[i] + "\r");
    };
    std::size_t head = 0;
    while (head < old.size() && head < now.size() && same(head))
        ++head;
    std::size_t tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) {
        ++tail;
    }
    // What went: blank lines, or the old value, whose hexadecimal data may run over lines
    // that end in a backslash. (A file that is blank but for its signature-less lines
    // loses them to the signature.)
    bool valueGone = false;
    for (std::size_t i = head; i < old.size() - tail; ++i) {
        const std::string_view line = trimmed(old[i]);
        const bool continued = i > head && trimmed(old[i - 1]).ends_with('\\');
        if (line.empty() || continued) continue;
        if (valueGone || line.find('=') == std::string_view::npos)
            fail("a write removed a line that was not the value's", file, written);
        valueGone = true;
    }
    // What came: blank lines, the signature, the key's header and one value.
    int values = 0, headers = 0, signatures = 0;
    const std::string header = "[" + keyText + "]";
    const std::string ending = "=\"" + text + "\"";
    for (std::size_t i = head; i < now.size() - tail; ++i) {
        const std::string_view line = trimmed(now[i]);
        if (line.empty()) continue;
        if (line == fw::reg::kSignature) {
            ++signatures;
        } else if (foldEqual(line, header)) {
            ++headers;
        } else if (line.ends_with(ending)) {
            ++values;
        } else {
            fail("a write added a line that is not the value's", file, written);
        }
    }
    if (values != 1) fail("a write did not put the value on exactly one line", file);
    if (headers > (hadKey ? 0 : 1)) fail("a write added a key header it did not need", file);
    if (signatures > 1) fail("a write added more than one signature", file);
    return 0;
}
