#pragma once
#include <string_view>
namespace fw {
// Reads stored text as a whole number: leading blanks, a sign, "$", "x" or "0x" for hex.
int readIntegerText(std::string_view text, int def);
}  // namespace fw
