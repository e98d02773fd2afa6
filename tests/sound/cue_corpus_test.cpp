// Loading cue files under the address and undefined-behaviour sanitizers, over a corpus
// of generated WAVE files: odd rates, channel counts, sample sizes and encodings, odd
// lengths and chunk layouts, every truncation of some good files, and random damage to
// their headers. No file may crash the loader (the sanitizers abort on any fault), leak
// (checked at exit), take more than a fraction of a second, ask for a huge block of
// memory, or load when its header lies outside the bounds.
#include <SDL.h>
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <vector>

#include "cue_file.h"
#include "fsound.h"
#include "wave_files.h"

// The sanitizer runtime's allocation hooks (its header is not installed with every
// compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*,
                                                                          std::size_t),
                                                         void (*onFree)(const volatile void*));

namespace {

namespace fs = std::filesystem;
using fw::test::WaveSpec;

// The largest single block asked of the allocator while a load runs.
std::atomic<bool> watching;
std::atomic<std::size_t> largestBlock;
void onMalloc(const volatile void*, std::size_t size) {
    if (!watching) return;
    std::size_t seen = largestBlock;
    while (size > seen && !largestBlock.compare_exchange_weak(seen, size)) {
    }
}
void onFree(const volatile void*) {}

// CPU time of this thread, in ms: what a load costs the window's thread, whatever else
// shares the machine.
double threadMillis() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

enum class Expect { Either, Loads, Fails };

struct Case {
    std::string name;
    std::string bytes;
    Expect expect;
};

// What a header promises: the loader must refuse anything outside the bounds, and must
// take any plain, short sound within them.
Expect judge(const WaveSpec& w) {
    const bool inBounds = w.rate >= fw::kMinCueRate && w.rate <= fw::kMaxCueRate &&
                          w.channels >= 1 && w.channels <= fw::kMaxCueChannels;
    if (!inBounds) return Expect::Fails;
    const bool plain = (w.format == 1 && (w.bits == 8 || w.bits == 16 || w.bits == 32)) ||
                       (w.format == 3 && w.bits == 32) ||
                       ((w.format == 6 || w.format == 7) && w.bits == 8);
    return plain && w.frames > 0 && w.frames <= 5000 ? Expect::Loads : Expect::Either;
}

std::vector<Case> corpus() {
    std::vector<Case> out;
    auto add = [&](std::string name, const WaveSpec& w, std::optional<Expect> e = {}) {
        out.push_back({std::move(name), fw::test::wave(w), e.value_or(judge(w))});
    };

    // Every combination of odd and plain formats.
    const std::uint32_t rates[] = {0,     1,      2,      3999,       4000,      8000,
                                   44100, 192000, 192001, 0x7FFFFFFF, 0xFFFFFFFF};
    const unsigned channels[] = {0, 1, 2, 3, 6, 8, 9, 255, 65535};
    const std::pair<unsigned, unsigned> encodings[] = {
        {1, 8},  {1, 16}, {1, 24}, {1, 32}, {1, 12}, {1, 0},    {1, 64},
        {3, 32}, {3, 64}, {6, 8},  {7, 8},  {2, 4},  {0x11, 4}, {0x55, 16}};
    const std::uint64_t lengths[] = {0, 1, 3000};
    for (auto rate : rates)
        for (auto ch : channels)
            for (auto [format, bits] : encodings)
                for (auto frames : lengths) {
                    WaveSpec w{.format = format,
                               .channels = ch,
                               .rate = rate,
                               .bits = bits,
                               .frames = frames};
                    // Frames of no bytes get some; frames too wide for the header are
                    // cut to what it can state, and the data kept under 64 kB.
                    if (ch * bits / 8 == 0 || ch * bits / 8 > 65535) w.blockAlign = 256;
                    const unsigned block = w.blockAlign ? w.blockAlign : ch * bits / 8;
                    w.frames = std::min<std::uint64_t>(frames, (1 << 16) / block);
                    add("r" + std::to_string(rate) + "c" + std::to_string(ch) + "f" +
                            std::to_string(format) + "b" + std::to_string(bits) + "n" +
                            std::to_string(frames),
                        w);
                }

    // ADPCM blocks of every awkward size, and extensible formats good and bad.
    for (unsigned block : {0u, 1u, 7u, 36u, 256u, 1024u, 65535u})
        for (unsigned format : {2u, 0x11u})
            add("adpcm" + std::to_string(format) + "block" + std::to_string(block),
                {.format = format,
                 .channels = 2,
                 .bits = 4,
                 .blockAlign = block,
                 .frames = 40,
                 .fmtTail = std::string(4, '\x20')});
    add("extensible-pcm", {.frames = 300, .extensible = true}, Expect::Loads);
    add("extensible-float", {.format = 3, .bits = 32, .frames = 300, .extensible = true},
        Expect::Loads);
    add("extensible-unknown", {.format = 0x55, .frames = 300, .extensible = true}, Expect::Fails);
    WaveSpec badGuid{.frames = 300, .extensible = true};
    std::string bytes = fw::test::wave(badGuid);
    bytes[20 + 16 + 8 + 10] ^= 0x40;  // a byte of the GUID's tail
    out.push_back({"extensible-bad-guid", bytes, Expect::Fails});

    // The two files that once crashed and froze the program, and sizes at the bounds.
    add("move-1hz", {.channels = 1, .rate = 1, .bits = 8, .frames = 224'256});
    add("got-2hz", {.channels = 1, .rate = 2, .bits = 8, .frames = 12'000});
    add("4khz-just-within", {.channels = 1, .rate = 4000, .bits = 8, .frames = 190'000},
        Expect::Loads);
    add("4khz-just-beyond", {.channels = 1, .rate = 4000, .bits = 8, .frames = 191'000},
        Expect::Fails);
    add("largest-file", {.channels = 8, .rate = 192000, .bits = 8, .frames = 1'048'570},
        Expect::Loads);
    add("beyond-file-size", {.channels = 8, .rate = 192000, .bits = 8, .frames = 1'048'571},
        Expect::Fails);
    add("largest-file-float",
        {.format = 3, .channels = 8, .rate = 192000, .bits = 32, .frames = 262'000}, Expect::Loads);
    // Within the file's size, but wider once decoded: 24 bits become 32, A-law 16.
    add("24-bit-decodes-too-wide", {.channels = 8, .rate = 192000, .bits = 24, .frames = 300'000},
        Expect::Fails);
    add("a-law-decodes-too-wide",
        {.format = 6, .channels = 8, .rate = 192000, .bits = 8, .frames = 600'000}, Expect::Fails);
    add("24-bit-within", {.channels = 2, .rate = 48000, .bits = 24, .frames = 20'000},
        Expect::Loads);

    // Chunk layouts: lengths past the end, odd lengths, chunks in the way, many chunks.
    add("data-claims-4g", {.frames = 100, .claimed = 0xFFFFFFFF}, Expect::Fails);
    add("data-claims-more", {.frames = 100, .claimed = 401}, Expect::Fails);
    add("data-claims-less", {.frames = 100, .claimed = 201}, Expect::Either);
    add("odd-chunk-before", {.frames = 100, .before = fw::test::chunk("junk", "abc")},
        Expect::Loads);
    add("list-before", {.frames = 100, .before = fw::test::chunk("LIST", std::string(5000, 'x'))},
        Expect::Loads);
    add("huge-chunk-before", {.frames = 100, .before = std::string("junk\xff\xff\xff\xff", 8)},
        Expect::Fails);
    std::string many;
    for (int i = 0; i < 2000; ++i)
        many += fw::test::chunk("pad ", "");
    add("2000-chunks-before", {.frames = 100, .before = many}, Expect::Fails);
    add("fmt-too-long", {.frames = 100, .fmtTail = std::string(5000, '\0')}, Expect::Fails);
    add("data-before-fmt", {.frames = 100, .before = fw::test::chunk("data", "abcd")},
        Expect::Fails);
    add("two-fmt", {.frames = 100, .before = fw::test::chunk("fmt ", std::string(16, '\0'))},
        Expect::Fails);

    // Every truncation of three good files, and random damage to their first 64 bytes.
    const std::string good[] = {
        fw::test::wave({.frames = 40, .value = 1234}),
        fw::test::wave({.channels = 1, .rate = 8000, .bits = 8, .frames = 70}),
        fw::test::wave({.frames = 30, .before = fw::test::chunk("LIST", "INFOabcd")}),
    };
    for (std::size_t g = 0; g < std::size(good); ++g)
        for (std::size_t n = 0; n < good[g].size(); ++n)
            out.push_back({"cut" + std::to_string(g) + "-" + std::to_string(n),
                           good[g].substr(0, n), Expect::Fails});
    std::mt19937 random(20261208);
    for (int i = 0; i < 2000; ++i) {
        std::string s = good[i % std::size(good)];
        for (int flips = 1 + int(random() % 4); flips > 0; --flips)
            s[random() % 64] = char(random());
        out.push_back({"damaged" + std::to_string(i), s, Expect::Either});
    }
    return out;
}

TEST(CueCorpus, EveryFileLoadsOrFailsQuicklyWithinBounds) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // In memory where the system offers it: thousands of files are written.
    std::string tmpl =
        fs::is_directory("/dev/shm") ? "/dev/shm/fw-corpus-XXXXXX" : "/tmp/fw-corpus-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    ASSERT_EQ(__sanitizer_install_malloc_and_free_hooks(onMalloc, onFree), 1);
    ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);

    const std::vector<Case> files = corpus();
    int loaded = 0;
    double slowest = 0;
    std::string slowestName;
    std::size_t largest = 0;
    for (const Case& c : files) {
        const fs::path path = dir / "cue.wav";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        largestBlock = 0;
        watching = true;
        const double t0 = threadMillis();
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0);
        const double ms = threadMillis() - t0;
        watching = false;
        if (c.expect != Expect::Either) {
            EXPECT_EQ(sample != nullptr, c.expect == Expect::Loads) << c.name;
        }
        EXPECT_LE(largestBlock.load(), std::size_t(fw::kMaxCueFileBytes)) << c.name;
        if (ms > slowest) slowest = ms, slowestName = c.name;
        largest = std::max(largest, largestBlock.load());
        loaded += sample != nullptr;
        FSOUND_PlaySound(FSOUND_FREE, sample);
        FSOUND_Sample_Free(sample);
    }
    FSOUND_Close();
    fs::remove_all(dir);
    std::cout << files.size() << " files, " << loaded << " loaded; slowest load " << slowest
              << " ms (" << slowestName << "); largest block " << (largest >> 10) << " KiB\n";
    EXPECT_LT(slowest, 500.0) << slowestName;
}

}  // namespace
