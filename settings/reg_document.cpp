#include "reg_document.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace fw::reg {

namespace {

constexpr std::size_t kMaxNameLength = 16383;
constexpr std::size_t kMaxKeyComponentLength = 255;
constexpr std::array<std::string_view, 4> kRootComponents = {"HKEY_CURRENT_USER", "Software",
                                                             "Morvane", "Fenwater"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool foldEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

bool startsWithFold(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && foldEqual(s.substr(0, prefix.size()), prefix);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Control characters other than the tab have no place in the file.
bool hasControlCharacter(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
    }
    return false;
}

// A quoted string starting at s[pos], with \\ and \" as its only escapes.
// On success pos is just past the closing quote.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return std::nullopt;
            ++i;
        }
        out += s[i];
    }
    return std::nullopt;
}

std::string quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string nameText(std::string_view name) {
    return name.empty() ? "@" : quote(name);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = foldAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes of a "hex:" list: two-digit hexadecimal numbers separated by commas.
std::optional<std::string> parseHexBytes(std::string_view list) {
    std::string bytes;
    list = trim(list);
    if (list.empty()) return bytes;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view token = trim(list.substr(0, comma));
        if (token.size() != 2 || hexDigit(token[0]) < 0 || hexDigit(token[1]) < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(hexDigit(token[0]) * 16 + hexDigit(token[1]));
        if (comma == std::string_view::npos) return bytes;
        list.remove_prefix(comma + 1);
    }
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16LE bytes as UTF-8, up to the first zero when stopAtZero; nothing for
// an odd length or an unpaired surrogate.
std::optional<std::string> decodeUtf16(std::string_view bytes, bool stopAtZero) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    std::string out;
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t code = unit(i);
        if (code == 0 && stopAtZero) break;
        if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 1 >= count || unit(i + 1) < 0xDC00 || unit(i + 1) > 0xDFFF) return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        }
        appendUtf8(out, code);
    }
    return out;
}

// One byte a character, up to the first zero when stopAtZero, as UTF-8.
std::string decodeLatin1(std::string_view bytes, bool stopAtZero) {
    std::string out;
    for (char c : bytes) {
        if (c == '\0' && stopAtZero) break;
        appendUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

// The code points of valid UTF-8 text, each handed to emit.
template <typename Emit>
void forEachCode(std::string_view s, Emit emit) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        emit(code);
        i += length;
    }
}

std::string encodeUtf16(std::string_view s) {
    std::string out;
    auto put = [&](std::uint32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    forEachCode(s, [&](std::uint32_t code) {
        if (code < 0x10000) {
            put(code);
        } else {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    });
    return out;
}

// Latin-1 bytes of text whose every character is below U+0100.
std::string encodeLatin1(std::string_view s) {
    std::string out;
    forEachCode(s, [&](std::uint32_t code) { out += static_cast<char>(code); });
    return out;
}

// Whether the first line that is not blank is exactly this.
bool firstTextLineIs(std::string_view text, std::string_view want) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!trim(line).empty()) return trim(line) == want;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return false;
}

// The file's text as UTF-8, and its encoding; nothing when it is not valid in it.
std::optional<std::string> decodeFile(std::string_view bytes, Encoding& encoding) {
    if (bytes.starts_with("\xFF\xFE")) {
        encoding = Encoding::Utf16Le;
        return decodeUtf16(bytes.substr(2), false);
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        encoding = Encoding::Utf8Bom;
        bytes.remove_prefix(3);
    } else if (firstTextLineIs(bytes, kOldSignature)) {
        encoding = Encoding::Ansi;
        return decodeLatin1(bytes, false);
    } else {
        encoding = Encoding::Utf8;
    }
    if (!isValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
}

std::optional<std::vector<std::string>> splitKeyPath(std::string_view path) {
    std::vector<std::string> components;
    for (;;) {
        const std::size_t slash = path.find('\\');
        const std::string_view part = path.substr(0, slash);
        if (part.empty() || part.size() > kMaxKeyComponentLength) return std::nullopt;
        components.emplace_back(part);
        if (slash == std::string_view::npos) return components;
        path.remove_prefix(slash + 1);
    }
}

}  // namespace

std::optional<KeyPath> keyForSection(std::string_view section) {
    if (section.empty()) return KeyPath{};
    if (!isValidUtf8(section) || hasControlCharacter(section)) return std::nullopt;
    return splitKeyPath(section);
}

bool isWritableName(std::string_view name) {
    return name.size() <= kMaxNameLength && isValidUtf8(name) && !hasControlCharacter(name);
}

int dataType(std::string_view data) {
    data = trimLeft(data);
    if (!data.empty() && data.front() == '"') return kText;
    if (startsWithFold(data, "dword:")) return kDword;
    if (startsWithFold(data, "hex:")) return kBinary;
    if (!startsWithFold(data, "hex(")) return kUnknown;
    std::uint32_t type = 0;
    std::size_t i = 4;
    for (; i < data.size() && i < 12 && hexDigit(data[i]) >= 0; ++i) {
        type = type * 16 + static_cast<std::uint32_t>(hexDigit(data[i]));
    }
    if (i == 4 || data.substr(i, 2) != "):" || type > 0x7FFFFFFF) return kUnknown;
    return static_cast<int>(type);
}

std::optional<std::string> decodeText(std::string_view data, bool narrow) {
    data = trim(data);
    const int type = dataType(data);
    if (type == kText && data.front() == '"') {
        std::size_t pos = 0;
        auto text = parseQuoted(data, pos);
        if (!text || pos != data.size()) return std::nullopt;
        return text;
    }
    if (type != kText && type != kExpandableText) return std::nullopt;
    const auto bytes = parseHexBytes(data.substr(data.find(':') + 1));
    if (!bytes) return std::nullopt;
    if (narrow) return decodeLatin1(*bytes, true);
    return decodeUtf16(*bytes, true);
}

std::optional<Document> Document::parse(std::string_view bytes) {
    if (bytes.size() > kMaxFileSize) return std::nullopt;
    Document doc;
    const auto decoded = decodeFile(bytes, doc.encoding_);
    if (!decoded) return std::nullopt;
    std::string_view text = *decoded;

    // The physical lines and the line end after each.
    std::vector<std::string_view> physical, ends;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        std::string_view lineEnd = end == std::string_view::npos ? "" : "\n";
        if (line.ends_with('\r')) {
            // A carriage return that ends the file without its line feed stays alone.
            line.remove_suffix(1);
            lineEnd = lineEnd.empty() ? "\r" : "\r\n";
        }
        if (hasControlCharacter(line) || physical.size() == kMaxLines) return std::nullopt;
        physical.push_back(line);
        ends.push_back(lineEnd);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    // Lines the document adds end as most of the file's lines do.
    const auto crlf = std::count_if(ends.begin(), ends.end(),
                                    [](std::string_view e) { return e.starts_with('\r'); });
    const auto lf = std::count(ends.begin(), ends.end(), "\n");
    doc.newline_ = crlf > lf ? "\r\n" : "\n";

    // Whether a header came before: values are only read under one.
    bool underHeader = false;
    for (std::size_t i = 0; i < physical.size(); ++i) {
        const std::string_view t = trim(physical[i]);
        Line line;
        line.raw = physical[i];
        line.end = ends[i];
        if (!doc.hasSignature_) {
            if (!t.empty() && t != kSignature && t != kOldSignature) return std::nullopt;
            doc.hasSignature_ = !t.empty();
            doc.narrow_ = t == kOldSignature;
        } else if (t.empty() || t.front() == ';') {
            // blank line or comment
        } else if (t.front() == '[') {
            // A header, well formed or not, ends the key before it.
            const bool deletion = t.size() > 1 && t[1] == '-';
            std::string_view path = t.substr(deletion ? 2 : 1);
            const bool closed = path.ends_with(']');
            if (closed) path.remove_suffix(1);
            // One that does not name a key (or deletes one) is kept as it is, and the
            // values under it belong to no key the store reads.
            auto key = closed && !deletion ? splitKeyPath(path) : std::nullopt;
            line.kind = Kind::Header;
            if (key) line.key = std::move(*key);
            underHeader = true;
        } else if ((t.front() == '"' || t.front() == '@') && underHeader) {
            std::size_t pos = 1;
            std::optional<std::string> name = std::string();
            if (t.front() == '"') {
                pos = 0;
                name = parseQuoted(t, pos);
            }
            const std::string_view rest = name ? trimLeft(t.substr(pos)) : std::string_view();
            if (rest.empty() || rest.front() != '=') {
                doc.lines_.push_back(std::move(line));
                continue;
            }
            line.name = std::move(*name);
            line.data = trimLeft(rest.substr(1));
            // Hexadecimal data may go on over lines that end in a backslash (at
            // the end of the file, over nothing).
            if (startsWithFold(line.data, "hex")) {
                for (std::string_view last = t; last.ends_with('\\');) {
                    line.data.pop_back();
                    if (i + 1 == physical.size()) break;
                    ++i;
                    line.raw += line.end;
                    line.raw += physical[i];
                    line.end = ends[i];
                    last = trim(physical[i]);
                    line.data += last;
                }
            }
            line.kind = Kind::Value;
        }
        // Anything else is kept as it is, in the store's keys too: a line there that
        // does not parse costs that line, not the file.
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

bool Document::canHold(std::string_view text) const {
    if (encoding_ != Encoding::Ansi) return true;
    bool fits = true;
    forEachCode(text, [&](std::uint32_t code) { fits = fits && code < 0x100; });
    return fits;
}

Document::Line Document::newLine(Kind kind, std::string raw) const {
    Line line;
    line.kind = kind;
    line.raw = std::move(raw);
    line.end = newline_;
    return line;
}

bool Document::isOpenContinuation(const Line& line) {
    return line.kind == Kind::Value && startsWithFold(line.data, "hex") &&
           trim(line.raw).ends_with('\\');
}

bool Document::headerNames(const Line& header, const KeyPath& key) {
    if (header.key.size() != kRootComponents.size() + key.size()) return false;
    for (std::size_t i = 0; i < header.key.size(); ++i) {
        const std::string_view want =
            i < kRootComponents.size() ? kRootComponents[i] : key[i - kRootComponents.size()];
        if (!foldEqual(header.key[i], want)) return false;
    }
    return true;
}

long Document::findLine(const KeyPath& key, std::string_view name) const {
    long found = -1;
    bool inKey = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Header) {
            inKey = headerNames(line, key);
        } else if (line.kind == Kind::Value && inKey && foldEqual(line.name, name)) {
            found = static_cast<long>(i);
        }
    }
    return found;
}

bool Document::hasKey(const KeyPath& key) const {
    for (const Line& line : lines_) {
        if (line.kind == Kind::Header && headerNames(line, key)) return true;
    }
    return false;
}

std::optional<ValueRef> Document::find(const KeyPath& key, std::string_view name) const {
    const long index = findLine(key, name);
    if (index < 0) return std::nullopt;
    const Line& line = lines_[static_cast<std::size_t>(index)];
    return ValueRef{dataType(line.data), line.data, narrow_};
}

bool Document::ensureKey(const KeyPath& key) {
    if (hasKey(key)) return false;
    if (!hasSignature_) {
        // Only blank lines can come before the signature: nothing is lost.
        lines_.clear();
        lines_.push_back(newLine(Kind::Other, std::string(kSignature)));
        hasSignature_ = true;
    }
    if (!trim(lines_.back().raw).empty()) lines_.push_back(newLine(Kind::Other, ""));
    Line header = newLine(Kind::Header, "[" + std::string(kRootKey));
    header.key.assign(kRootComponents.begin(), kRootComponents.end());
    for (const std::string& part : key) {
        header.raw += "\\" + part;
        header.key.push_back(part);
    }
    header.raw += "]";
    lines_.push_back(std::move(header));
    return true;
}

void Document::setText(const KeyPath& key, std::string_view name, std::string_view text) {
    const long index = findLine(key, name);
    if (index >= 0) {
        Line& line = lines_[static_cast<std::size_t>(index)];
        line.data = quote(text);
        line.raw = nameText(line.name) + "=" + line.data;
        return;
    }
    ensureKey(key);
    // After the last value (or line meant as one) of the key's last header, or right
    // after that header: blank lines and comments that end the key stay at its end.
    std::size_t header = lines_.size();
    while (header-- > 0) {
        if (lines_[header].kind == Kind::Header && headerNames(lines_[header], key)) break;
    }
    std::size_t at = header + 1;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Header; ++i) {
        const std::string_view t = trim(lines_[i].raw);
        if (!t.empty() && t.front() != ';') at = i + 1;
    }
    if (isOpenContinuation(lines_[at - 1]))
        lines_.insert(lines_.begin() + static_cast<long>(at++), newLine(Kind::Other, ""));
    Line value = newLine(Kind::Value, {});
    value.name = name;
    value.data = quote(text);
    value.raw = nameText(value.name) + "=" + value.data;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::move(value));
}

std::string Document::serialize() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].raw;
        // A last line without a whole line end gets one once another line follows it; a
        // lone carriage return there keeps its byte and gains the line feed.
        const std::string& end = lines_[i].end;
        if (i + 1 == lines_.size() || end == "\n" || end == "\r\n") {
            text += end;
        } else {
            text += end == "\r" ? "\r\n" : newline_;
        }
    }
    switch (encoding_) {
        case Encoding::Utf8:
            return text;
        case Encoding::Utf8Bom:
            return "\xEF\xBB\xBF" + text;
        case Encoding::Utf16Le:
            return "\xFF\xFE" + encodeUtf16(text);
        case Encoding::Ansi:
            return encodeLatin1(text);
    }
    return text;
}

std::vector<ValueEntry> Document::values() const {
    std::vector<ValueEntry> out;
    std::string key;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Header) {
            key.clear();
            for (const std::string& part : line.key)
                key += (key.empty() ? "" : "\\") + part;
        } else if (line.kind == Kind::Value) {
            out.push_back(ValueEntry{key, line.name, line.data});
        }
    }
    return out;
}

}  // namespace fw::reg
