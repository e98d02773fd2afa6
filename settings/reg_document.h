// The settings file: a registry export in the text form of the Windows registry
// editor ("Windows Registry Editor Version 5.00", or the older "REGEDIT4").
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Morvane\Fenwater]
//   "HiScoreA"="13"
//   "SoundMode"="1"
//
//   [HKEY_CURRENT_USER\Software\Morvane\Fenwater\Section]
//   "Other"=dword:00000010
//
// The file may be UTF-8 (with or without a byte-order mark), UTF-16LE with a
// byte-order mark as the registry editor writes it, or, under the REGEDIT4
// header, one byte a character. Lines end in LF or CR LF.
//
// A document keeps every line it was read from, with its line end, and its
// encoding, so a change to one value leaves everything else (other values and
// keys, their types, comments, layout and bytes) exactly as it was. Lines the
// format does not know are kept as they are, wherever they lie, and read as
// nothing: a mistyped line in the store's key costs that line alone. A header
// of the store's keys that does not parse (or deletes one) is kept too, and the
// values under it belong to no key. Key and value names are matched without regard to the
// case of ASCII letters; a value that occurs more than once in a key is taken
// from its last occurrence, as an import by the registry editor would.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::reg {

inline constexpr std::string_view kSignature = "Windows Registry Editor Version 5.00";
// The header of the older format, whose hex(1) and hex(2) text has one byte a character.
inline constexpr std::string_view kOldSignature = "REGEDIT4";
// The key that holds the store's values; a section is a sub-key of it.
inline constexpr std::string_view kRootKey = "HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater";
// Files above this size, or of more lines, are not settings files but junk;
// a file above the size is not even read.
inline constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;
inline constexpr std::size_t kMaxLines = 100000;

// Registry value types, as in the "hex(N):" form of the file.
enum Type : int {
    kUnknown = -1,  // a data form the file format does not have
    kNone = 0,
    kText = 1,            // REG_SZ: "text" or hex(1):
    kExpandableText = 2,  // REG_EXPAND_SZ: hex(2):
    kBinary = 3,          // REG_BINARY: hex:
    kDword = 4,           // REG_DWORD: dword:
};

// How the file's text is stored. Ansi is one byte a character (REGEDIT4 files in
// the system's code page), read and written as Latin-1 so that every byte comes
// back as it was.
enum class Encoding { Utf8, Utf8Bom, Utf16Le, Ansi };

// Key path components below the root key; empty for the root key itself.
using KeyPath = std::vector<std::string>;

// The sub-key named by a section ("" the root, "A\B" a sub-key of a sub-key),
// or nothing when the section cannot name a key (an empty component, control
// characters, invalid UTF-8, an over-long component).
std::optional<KeyPath> keyForSection(std::string_view section);

// Whether a value of this name can be written to the file.
bool isWritableName(std::string_view name);

// The type of a value from its data text (what follows "=").
int dataType(std::string_view data);

// The text of a text value (kText or kExpandableText) from its data text, up
// to its first zero character; nothing when the data is malformed. The hex(1)
// and hex(2) forms hold UTF-16LE, or one byte a character when narrow.
std::optional<std::string> decodeText(std::string_view data, bool narrow = false);

struct ValueRef {
    int type = kUnknown;
    std::string data;     // the data text after "=", continuation lines joined
    bool narrow = false;  // hex text of one byte a character (a REGEDIT4 file)
};

// One value as listed by Document::values().
struct ValueEntry {
    std::string key;  // the full key path as written in its header
    std::string name;
    std::string data;
    bool operator==(const ValueEntry&) const = default;
};

class Document {
  public:
    // An empty document: the file does not exist yet.
    Document() = default;

    // Reads a settings file; nothing when the bytes are not a settings file at all:
    // over the size or line limit, text not valid in its encoding, control
    // characters, or no signature as its first line that is not blank.
    static std::optional<Document> parse(std::string_view bytes);

    Encoding encoding() const { return encoding_; }
    // Whether text (UTF-8) can be written in the document's encoding.
    bool canHold(std::string_view text) const;

    bool hasKey(const KeyPath& key) const;
    std::optional<ValueRef> find(const KeyPath& key, std::string_view name) const;

    // Adds the key's header when the key is missing. Returns whether it did.
    bool ensureKey(const KeyPath& key);
    // Stores text as a text value under name in key, creating the key when
    // needed. An existing value keeps its place and the spelling of its name.
    void setText(const KeyPath& key, std::string_view name, std::string_view text);

    // The file's bytes, in the document's encoding.
    std::string serialize() const;

    // Every value of every key in file order.
    std::vector<ValueEntry> values() const;

  private:
    enum class Kind { Other, Header, Value };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;  // the exact text; continuation lines joined with their line ends
        // The line end after it; for the last line of a file, empty when it has none and
        // "\r" when it ends in a carriage return alone.
        std::string end;
        std::vector<std::string> key;  // Header: the key path components (none when malformed)
        std::string name;              // Value: the name, unescaped
        std::string data;              // Value: the data text
    };

    // A line made by the document, ending like the file's lines.
    Line newLine(Kind kind, std::string raw) const;

    // Whether the line is hexadecimal data whose last line ends in a backslash
    // at the end of the file: a line put right after it would be read as more data.
    static bool isOpenContinuation(const Line& line);
    // Whether the header's key is the root key followed by key.
    static bool headerNames(const Line& header, const KeyPath& key);
    // Index of the last value called name in key, or -1.
    long findLine(const KeyPath& key, std::string_view name) const;

    std::vector<Line> lines_;
    bool hasSignature_ = false;
    bool narrow_ = false;  // under the REGEDIT4 header
    Encoding encoding_ = Encoding::Utf8;
    std::string newline_ = "\n";  // the line end of most of the file's lines
};

}  // namespace fw::reg
