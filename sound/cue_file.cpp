#include "cue_file.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace fw {

namespace {

// The encodings of a format chunk that the decoder knows.
constexpr unsigned kPcm = 0x0001;
constexpr unsigned kMsAdpcm = 0x0002;
constexpr unsigned kFloat = 0x0003;
constexpr unsigned kALaw = 0x0006;
constexpr unsigned kMuLaw = 0x0007;
constexpr unsigned kImaAdpcm = 0x0011;
constexpr unsigned kExtensible = 0xFFFE;  // the real encoding is in its sub-format

// The sub-format of an extensible format chunk is a GUID whose first two bytes hold the
// encoding; these are the fourteen bytes that follow them.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// No format chunk the decoder reads is larger (MS ADPCM with its coefficients is 50).
constexpr std::uint32_t kMaxFormatChunk = 1024;
// Chunks looked at before the data chunk: a file of endless tiny chunks is refused
// rather than walked.
constexpr int kMaxChunks = 1000;

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
unsigned le16(const unsigned char* p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}
void putLe32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> 8 * i);
}

// A file opened for reading without ever blocking on the open: a FIFO with no writer
// would otherwise hang the caller.
class File {
  public:
    explicit File(const char* name)
        : fd_(::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // The size of a regular file; -1 for a missing file or anything else.
    long long regularSize() const {
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
        return st.st_size;
    }
    // Reads exactly n bytes at offset; false on an error or at the end of the file.
    bool readAt(long long offset, unsigned char* into, std::size_t n) const {
        while (n > 0) {
            const ssize_t got = ::pread(fd_, into, n, offset);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            into += got;
            n -= std::size_t(got);
            offset += got;
        }
        return true;
    }

  private:
    int fd_;
};

struct Format {
    unsigned encoding, channels, blockAlign, bits;
    std::uint32_t rate;
};

// The most frames that dataBytes of format f can decode to, or -1 for a format the
// decoder refuses.
long long maxFrames(const Format& f, long long dataBytes) {
    switch (f.encoding) {
        case kPcm:
            if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) return -1;
            return dataBytes / (f.channels * f.bits / 8);
        case kFloat:
            if (f.bits != 32) return -1;
            return dataBytes / (f.channels * 4);
        case kALaw:
        case kMuLaw:
            if (f.bits != 8) return -1;
            return dataBytes / f.channels;
        case kMsAdpcm:
        case kImaAdpcm: {
            // Four bits a sample, and each block's header holds at most two more frames.
            if (f.bits != 4 || f.blockAlign == 0) return -1;
            const long long blocks = (dataBytes + f.blockAlign - 1) / f.blockAlign;
            return blocks * (2 + 2LL * f.blockAlign / f.channels);
        }
        default:
            return -1;
    }
}

// The bytes of one decoded sample of format f: what SDL's decoder makes of it.
long long decodedSampleBytes(const Format& f) {
    switch (f.encoding) {
        case kPcm:
            return f.bits == 24 ? 4 : f.bits / 8;  // 24-bit samples widen to 32
        case kFloat:
            return 4;
        default:
            return 2;  // A-law, mu-law and ADPCM decode to 16 bits
    }
}

int mixFrameBytes(const MixFormat& mix) {
    return mix.channels * int(SDL_AUDIO_BITSIZE(mix.format) / 8);
}

// The cue file as a minimal WAVE image for SDL's decoder: the RIFF header, the file's
// format chunk and its data chunk, nothing else. Empty unless the file is a regular
// file holding a whole WAVE sound within the bounds.
std::vector<unsigned char> readImage(const char* name, const MixFormat& mix) {
    const File file(name);
    const long long size = file.regularSize();
    unsigned char head[12];
    if (size < 12 || size > kMaxCueFileBytes || !file.readAt(0, head, sizeof head) ||
        std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return {};
    }

    // The first format chunk and the first data chunk after it; later ones are ignored,
    // as the decoder ignores them.
    std::array<unsigned char, kMaxFormatChunk> fmt{};
    std::uint32_t fmtBytes = 0;
    long long dataAt = -1;
    std::uint32_t dataBytes = 0;
    long long at = 12;
    for (int n = 0; n < kMaxChunks && dataAt < 0 && at + 8 <= size; ++n) {
        unsigned char chunk[8];
        if (!file.readAt(at, chunk, sizeof chunk)) return {};
        const std::uint32_t length = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && fmtBytes == 0) {
            if (length < 16 || length > kMaxFormatChunk || !file.readAt(at + 8, fmt.data(), length))
                return {};
            fmtBytes = length;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            dataAt = at + 8;
            dataBytes = length;
        }
        at += 8 + (long long)length + (length & 1);
    }
    // No format before the data, no data, or data cut short: a damaged file is refused
    // rather than played in part.
    if (fmtBytes == 0 || dataAt < 0 || dataAt + dataBytes > size) return {};

    Format f{le16(&fmt[0]), le16(&fmt[2]), le16(&fmt[12]), le16(&fmt[14]), le32(&fmt[4])};
    if (f.encoding == kExtensible) {
        if (fmtBytes < 40 || le16(&fmt[16]) < 22 ||
            std::memcmp(&fmt[26], kSubFormatTail, sizeof kSubFormatTail) != 0) {
            return {};
        }
        f.encoding = le16(&fmt[24]);
    }
    if (f.channels < 1 || f.channels > unsigned(kMaxCueChannels) ||
        f.rate < unsigned(kMinCueRate) || f.rate > unsigned(kMaxCueRate)) {
        return {};
    }
    const long long frames = maxFrames(f, dataBytes);
    if (frames < 0 || frames * f.channels * decodedSampleBytes(f) > kMaxDecodedBytes) return {};
    // Its size in the mixer's format, from the header alone: the frames at the mixer's
    // rate, rounded up, in the mixer's frame size.
    const long long converted = (frames * mix.rate + f.rate - 1) / f.rate * mixFrameBytes(mix);
    if (converted > kMaxCueBytes) return {};

    // The image: RIFF header, the format chunk as it was, the data chunk.
    const std::uint32_t fmtPadded = fmtBytes + (fmtBytes & 1);
    std::vector<unsigned char> image(12 + 8 + fmtPadded + 8 + std::size_t(dataBytes));
    unsigned char* p = image.data();
    std::memcpy(p, "RIFF", 4);
    putLe32(p + 4, std::uint32_t(image.size() - 8));
    std::memcpy(p + 8, "WAVEfmt ", 8);
    putLe32(p + 16, fmtBytes);
    std::memcpy(p + 20, fmt.data(), fmtBytes);
    p += 20 + fmtPadded;
    std::memcpy(p, "data", 4);
    putLe32(p + 4, dataBytes);
    if (!file.readAt(dataAt, p + 8, dataBytes)) return {};
    return image;
}

// The decoded sound, freed with SDL's own free.
struct Decoded {
    SDL_AudioSpec format{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    ~Decoded() { SDL_FreeWAV(buf); }
};

}  // namespace

std::vector<unsigned char> loadCue(const char* name, const MixFormat& mix) {
    if (!name || mix.rate <= 0 || mix.channels <= 0 || mixFrameBytes(mix) <= 0) return {};
    Decoded in;
    {
        const std::vector<unsigned char> image = readImage(name, mix);
        if (image.empty() || !SDL_LoadWAV_RW(SDL_RWFromConstMem(image.data(), int(image.size())), 1,
                                             &in.format, &in.buf, &in.len)) {
            return {};
        }
    }
    // The decoder's view must agree with the header's.
    const int inFrame = in.format.channels * int(SDL_AUDIO_BITSIZE(in.format.format) / 8);
    if (in.format.freq < kMinCueRate || in.format.freq > kMaxCueRate || in.format.channels < 1 ||
        in.format.channels > kMaxCueChannels || in.len > kMaxDecodedBytes || inFrame <= 0) {
        return {};
    }

    SDL_AudioStream* stream =
        SDL_NewAudioStream(in.format.format, in.format.channels, in.format.freq, mix.format,
                           Uint8(mix.channels), mix.rate);
    if (!stream) return {};
    // Converted in pieces, so that nothing but the result grows with the sound. The
    // header bounded the result; a little more is the resampler's rounding.
    const int outFrame = mixFrameBytes(mix);
    const long long expected =
        (in.len / inFrame * (long long)mix.rate + in.format.freq - 1) / in.format.freq * outFrame;
    const std::size_t limit = std::size_t(std::min(expected, kMaxCueBytes)) + 64 * outFrame;
    std::vector<unsigned char> out;
    out.reserve(limit);
    auto drain = [&] {
        for (int ready; (ready = SDL_AudioStreamAvailable(stream)) > 0;) {
            const std::size_t at = out.size();
            if (at + std::size_t(ready) > limit) return false;
            out.resize(at + ready);
            if (SDL_AudioStreamGet(stream, out.data() + at, ready) != ready) return false;
        }
        return true;
    };
    const Uint32 piece = 65536 / inFrame * inFrame;
    bool ok = true;
    for (Uint32 at = 0; ok && at < in.len; at += piece)
        ok = SDL_AudioStreamPut(stream, in.buf + at, int(std::min(piece, in.len - at))) == 0 &&
             drain();
    ok = ok && SDL_AudioStreamFlush(stream) == 0 && drain();
    SDL_FreeAudioStream(stream);
    out.resize(out.size() / outFrame * outFrame);
    if (!ok || out.empty()) return {};
    return out;
}

}  // namespace fw
