#include "store_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace fw {
namespace {

TEST(IntegerText, ReadsLikeTheStoreReadsStoredText) {
    // Decimal, then the hexadecimal prefixes with either case of prefix and digits.
    const std::pair<const char*, int> numbers[] = {{"13", 13},
                                                   {"0", 0},
                                                   {"-1", -1},
                                                   {"+7", 7},
                                                   {"007", 7},
                                                   {"   42", 42},
                                                   {"  -42", -42},
                                                   {"2147483647", INT_MAX},
                                                   {"-2147483648", INT_MIN},
                                                   {"00000000002147483647", INT_MAX},
                                                   {"$1F", 31},
                                                   {"x1f", 31},
                                                   {"X1F", 31},
                                                   {"0x1F", 31},
                                                   {"0XaB", 171},
                                                   {"-$10", -16},
                                                   {"+0x10", 16},
                                                   {"  $ff", 255},
                                                   {"$7FFFFFFF", INT_MAX},
                                                   {"-$80000000", INT_MIN},
                                                   {"$000000007FFFFFFF", INT_MAX}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(parseIntegerText(text), value) << text;

    // Out of the signed range (hexadecimal too: no two's-complement reading), and
    // everything else.
    const char* notNumbers[] = {"2147483648", "-2147483649", "99999999999999999999",
                                "$80000000",  "$FFFFFFFF",   "0xFFFFFFFF",
                                "-$80000001", "$100000000",  "",
                                " ",          "13 ",         "\t13",
                                "1 3",        "13x",         "-",
                                "+",          "- 5",         "--5",
                                "+-5",        "$",           "0x",
                                "x",          "$-5",         "$G",
                                "0x 1",       "00x10",       "1e3",
                                "12.0",       "\xD9\xA3"};
    for (const char* text : notNumbers)
        EXPECT_EQ(parseIntegerText(text), std::nullopt) << text;
}

}  // namespace
}  // namespace fw
