// How every store of the program's settings (the settings file, the browser's local
// storage, the replay tool's stand-in) writes and reads its whole numbers, and the
// texts of its failures as the player reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "interfaces.h"

namespace fw {

// Reads text as a signed 32-bit whole number. Accepted: leading spaces, then an
// optional "+" or "-", then either decimal digits or a hexadecimal prefix ("$",
// "x", "X", "0x" or "0X") followed by hexadecimal digits of either case.
// Anything else gives no number: empty text, trailing blanks or other
// characters, a prefix or sign without digits, other leading white space.
//
// The sign applies to the magnitude and the result must lie in the signed
// 32-bit range, in hexadecimal as in decimal: "$7FFFFFFF" is 2147483647,
// "-$80000000" is -2147483648, while "$80000000" and "$FFFFFFFF" are out of range
// and give no number (they are not read as two's-complement bit patterns).
// Leading zeros are accepted in either base.
std::optional<int> parseIntegerText(std::string_view text);

// The decimal text stored for a number: a minus sign for negatives, no leading
// zeros, no blanks.
std::string integerText(int value);

// The section's key cannot be made (or reached) before a write.
inline StoreError createKeyError(const std::string& section) {
    return StoreError("Failed to create key " + section);
}

// The value cannot be stored.
inline StoreError setDataError(const std::string& name) {
    return StoreError("Failed to set data for '" + name + "'");
}

}  // namespace fw
