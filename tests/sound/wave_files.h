// WAVE files made to order for the sound tests: well formed, odd or broken.
#pragma once

#include <cstdint>
#include <string>

namespace fw::test {

struct WaveSpec {
    unsigned format = 1;  // 1 PCM, 2 MS ADPCM, 3 float, 6 A-law, 7 mu-law, 0x11 IMA ADPCM
    unsigned channels = 2;
    std::uint32_t rate = 22050;
    unsigned bits = 16;
    unsigned blockAlign = 0;    // 0: channels * bits / 8
    std::uint64_t frames = 0;   // of blockAlign bytes each
    std::int16_t value = 0;     // every sample of 16-bit PCM; other data is zero bytes
    std::int64_t claimed = -1;  // the data length its header states; -1: the real one
    std::string fmtTail{};      // bytes after the 16 of the format chunk
    std::string before{};       // whole chunks placed ahead of the format chunk
    bool extensible = false;    // format 0xFFFE with `format` as its sub-format
};

inline void putLe(std::string& s, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s += char(v >> 8 * i & 0xff);
}

inline std::string chunk(const char* id, const std::string& body) {
    std::string s = id;
    putLe(s, body.size(), 4);
    s += body;
    if (body.size() % 2) s += '\0';
    return s;
}

inline std::string wave(const WaveSpec& w) {
    const unsigned block = w.blockAlign ? w.blockAlign : w.channels * w.bits / 8;
    std::string fmt;
    putLe(fmt, w.extensible ? 0xFFFE : w.format, 2);
    putLe(fmt, w.channels, 2);
    putLe(fmt, w.rate, 4);
    putLe(fmt, std::uint64_t(w.rate) * block, 4);
    putLe(fmt, block, 2);
    putLe(fmt, w.bits, 2);
    if (w.extensible) {
        putLe(fmt, 22, 2);      // extension size
        putLe(fmt, w.bits, 2);  // valid bits
        putLe(fmt, 0, 4);       // channel mask
        putLe(fmt, w.format, 4);
        fmt += std::string("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    }
    fmt += w.fmtTail;

    std::string data;
    if (w.bits == 16 && w.value != 0) {
        for (std::uint64_t i = 0; i < w.frames * w.channels; ++i)
            putLe(data, std::uint16_t(w.value), 2);
    } else {
        data.assign(w.frames * block, '\0');
    }
    std::string dataChunk = "data";
    putLe(dataChunk, w.claimed >= 0 ? std::uint64_t(w.claimed) : data.size(), 4);
    dataChunk += data;

    const std::string body = "WAVE" + w.before + chunk("fmt ", fmt) + dataChunk;
    std::string s = "RIFF";
    putLe(s, body.size(), 4);
    return s + body;
}

}  // namespace fw::test
