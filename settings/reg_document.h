// The settings file: a registry export in the text form of the Windows registry
// editor ("Windows Registry Editor Version 5.00"), UTF-8 encoded.
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
// A document keeps every line it was read from, so a change to one value
// leaves everything else (other values and keys, their types, comments and
// layout) exactly as it was. Key and value names are matched without regard to
// the case of ASCII letters; a value that occurs more than once in a key is
// taken from its last occurrence, as an import by the registry editor would.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::reg {

inline constexpr std::string_view kSignature = "Windows Registry Editor Version 5.00";
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
// to its first zero character; nothing when the data is malformed.
std::optional<std::string> decodeText(std::string_view data);

struct ValueRef {
    int type = kUnknown;
    std::string data;  // the data text after "=", continuation lines joined
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

    // Reads a settings file; nothing when the text is not a settings file (no
    // signature, invalid UTF-8, control characters, a line of no known kind, a
    // value outside any key, ...).
    static std::optional<Document> parse(std::string_view text);

    bool hasKey(const KeyPath& key) const;
    std::optional<ValueRef> find(const KeyPath& key, std::string_view name) const;

    // Adds the key's header when the key is missing. Returns whether it did.
    bool ensureKey(const KeyPath& key);
    // Stores text as a text value under name in key, creating the key when
    // needed. An existing value keeps its place and the spelling of its name.
    void setText(const KeyPath& key, std::string_view name, std::string_view text);

    std::string serialize() const;

    // Every value of every key in file order.
    std::vector<ValueEntry> values() const;

  private:
    enum class Kind { Other, Header, Value };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;               // the exact text; continuation lines joined by '\n'
        std::vector<std::string> key;  // Header: the key path components
        std::string name;              // Value: the name, unescaped
        std::string data;              // Value: the data text
    };

    // Whether the line is hexadecimal data whose last line ends in a backslash
    // at the end of the file: a line put right after it would be read as more data.
    static bool isOpenContinuation(const Line& line);
    // Whether the header's key is the root key followed by key.
    static bool headerNames(const Line& header, const KeyPath& key);
    // Index of the last value called name in key, or -1.
    long findLine(const KeyPath& key, std::string_view name) const;

    std::vector<Line> lines_;
    bool hasSignature_ = false;
};

}  // namespace fw::reg
