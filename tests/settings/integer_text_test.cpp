#include "integer_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace fw {
namespace {

TEST(IntegerText, ReadsLikeTheStoreReadsStoredText) {
    const std::optional<int> none;
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {{"13", 13},
                 {"0", 0},
                 {"-1", -1},
                 {"+7", 7},
                 {"007", 7},
                 {"   42", 42},
                 {"  -42", -42},
                 {"2147483647", INT_MAX},
                 {"-2147483648", INT_MIN},
                 {"00000000002147483647", INT_MAX},
                 {"2147483648", none},
                 {"-2147483649", none},
                 {"99999999999999999999", none},
                 // hexadecimal prefixes, either case of digits and prefix
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
                 {"$000000007FFFFFFF", INT_MAX},
                 // above the signed range: not read as a two's-complement pattern
                 {"$80000000", none},
                 {"$FFFFFFFF", none},
                 {"0xFFFFFFFF", none},
                 {"-$80000001", none},
                 {"$100000000", none},
                 // everything else
                 {"", none},
                 {" ", none},
                 {"13 ", none},
                 {"\t13", none},
                 {"1 3", none},
                 {"13x", none},
                 {"-", none},
                 {"+", none},
                 {"- 5", none},
                 {"--5", none},
                 {"+-5", none},
                 {"$", none},
                 {"0x", none},
                 {"x", none},
                 {"$-5", none},
                 {"$G", none},
                 {"0x 1", none},
                 {"00x10", none},
                 {"1e3", none},
                 {"12.0", none},
                 {"\xD9\xA3", none}};
    for (const auto& c : cases) {
        EXPECT_EQ(parseIntegerText(c.text), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace fw
