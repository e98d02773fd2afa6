// The cue file loader under the fuzzer. The first byte picks the mixer's format, the
// second how far the file is padded (so that headers meet files large enough for the size
// bounds without the fuzzer writing megabytes); the rest is the file. For any file:
//   * no crash, no leak, no undefined behaviour (the sanitizers);
//   * a sound is loaded only from a RIFF WAVE whose format chunk gives a rate and a
//     channel count within the bounds, from a file within its size bound, and comes out
//     as whole frames of the mixer's format within the converted size bound;
//   * the memory the load holds at any moment stays within the bounds it states: the
//     file, the decoded sound and the converted one.
// The file is written to a folder of its own, removed at exit (and on a crash found, but
// not when the run is interrupted); point TMPDIR elsewhere to keep it out of /tmp.
#include <SDL.h>
#include <sanitizer/allocator_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cue_file.h"

namespace {

std::string folder;
std::string cuePath;

void removeFolder() {
    if (folder.empty()) return;
    ::unlink(cuePath.c_str());
    ::rmdir(folder.c_str());
    folder.clear();
}

void makeFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_cue_file.XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("fuzz_cue_file: cannot make a temporary folder");
        std::exit(1);
    }
    folder = pattern;
    cuePath = folder + "/cue.wav";
    std::atexit(removeFolder);
    __sanitizer_set_death_callback(removeFolder);
}

// Bytes held by the process, and the most held while a load runs above what was held
// when it began.
std::size_t baseline = 0, peak = 0;
bool watching = false;
void onMalloc(const volatile void*, std::size_t) {
    if (!watching) return;
    const std::size_t now = __sanitizer_get_current_allocated_bytes();
    if (now > baseline) peak = std::max(peak, now - baseline);
}
void onFree(const volatile void*) {}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_cue_file: %s\n", what);
    std::abort();
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

// The rate and channel count of the file's first format chunk, read the plain way: zero
// when there is none in reach. An extensible format keeps them at the same place.
void headerFormat(const std::string& file, std::uint32_t& rate, unsigned& channels) {
    rate = 0;
    channels = 0;
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t length = le32(p + at + 4);
        if (std::memcmp(p + at, "fmt ", 4) == 0) {
            if (at + 8 + 16 > file.size()) return;
            channels = p[at + 10] | p[at + 11] << 8;
            rate = le32(p + at + 12);
            return;
        }
        at += 8 + std::size_t(length) + (length & 1);
    }
}

constexpr fw::MixFormat kMixes[] = {
    {22050, 2, AUDIO_S16SYS}, {44100, 2, AUDIO_S16SYS}, {48000, 1, AUDIO_F32SYS},
    {8000, 1, AUDIO_U8},      {22050, 8, AUDIO_S32SYS},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeFolder();
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const fw::MixFormat& mix = kMixes[data[0] % std::size(kMixes)];
    std::string file(reinterpret_cast<const char*>(data + 2), size - 2);
    // The top eight values of the second byte pad the file to one of these sizes by
    // repeating its last bytes (the largest two at and just past the file bound); the
    // others leave it as it is.
    constexpr std::size_t kMiB = 1024 * 1024;
    constexpr std::size_t kPadSizes[] = {kMiB / 8, kMiB / 2, kMiB,     2 * kMiB,
                                         4 * kMiB, 6 * kMiB, 8 * kMiB, 8 * kMiB + 1};
    if (data[1] >= 256 - std::size(kPadSizes) && !file.empty()) {
        const std::size_t padTo = kPadSizes[data[1] - (256 - std::size(kPadSizes))];
        std::string pad = file.substr(file.size() - std::min<std::size_t>(file.size(), 256));
        while (pad.size() < 65536)
            pad += pad;
        file.reserve(padTo);
        while (file.size() < padTo)
            file.append(pad, 0, std::min(pad.size(), padTo - file.size()));
    }

    FILE* out = std::fopen(cuePath.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() ||
        std::fclose(out) != 0) {
        fail("cannot write the cue file");
    }
    baseline = __sanitizer_get_current_allocated_bytes();
    peak = 0;
    watching = true;
    const std::vector<unsigned char> sound = fw::loadCue(cuePath.c_str(), mix);
    watching = false;
    ::unlink(cuePath.c_str());

    const long long bound = fw::kMaxCueFileBytes + fw::kMaxDecodedBytes + fw::kMaxCueBytes;
    if (static_cast<long long>(peak) > bound + (1 << 20)) fail("a load held too much memory");
    if (sound.empty()) return 0;
    std::uint32_t rate;
    unsigned channels;
    headerFormat(file, rate, channels);
    if (file.size() > fw::kMaxCueFileBytes) fail("a file over the size bound loaded");
    if (file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0)
        fail("a file that is no RIFF WAVE loaded");
    if (rate < fw::kMinCueRate || rate > fw::kMaxCueRate) fail("a rate out of bounds loaded");
    if (channels < 1 || channels > fw::kMaxCueChannels)
        fail("a channel count out of bounds loaded");
    const std::size_t frame = mix.channels * SDL_AUDIO_BITSIZE(mix.format) / 8;
    if (sound.size() % frame != 0) fail("a sound of a broken last frame");
    if (static_cast<long long>(sound.size()) > fw::kMaxCueBytes)
        fail("a sound over the converted size bound");
    return 0;
}
