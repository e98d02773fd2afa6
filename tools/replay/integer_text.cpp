#include "integer_text.h"

#include <cstdint>

namespace fw {

int readIntegerText(std::string_view s, int def) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return def;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return def;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL) return def;
    }
    if (negative) v = -v;
    if (base == 10 && (v < INT32_MIN || v > INT32_MAX)) return def;
    if (base == 16 && !negative && v > INT32_MAX) v -= 0x100000000LL;  // hex wraps to 32 bits
    if (v < INT32_MIN || v > INT32_MAX) return def;
    return static_cast<int>(v);
}

}  // namespace fw
