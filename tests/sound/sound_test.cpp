// The cues as the library receives them (a recording stand-in) and as they are heard
// (SDL's disk driver writes every mixed frame to a file; the dummy driver plays unheard).
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "sound_cues.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using fw::Cue;
using fw::SoundChoice;

// Table rows print as their title.
template <class Row>
requires requires(Row r) {
    r.title;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.title;
}
const auto byTitle = [](const auto& info) { return std::string(info.param.title); };

// --- The calls that reach the library ----------------------------------------

std::string calls;
char handles[3];  // the stand-in's samples, "#0".."#2" in the log
int loads;

template <class... Args>
void log(Args... args) {
    std::ostringstream line;
    ((line << args << ' '), ...);
    calls += line.str() + ';';
}
std::string id(const FSOUND_SAMPLE* s) {
    return s ? "#" + std::to_string(reinterpret_cast<const char*>(s) - handles) : "null";
}

const fw::FsoundLibrary recorder{
    [](int rate, int channels, unsigned flags) -> signed char {
        return log("Init", rate, channels, flags), 1;
    },
    [](int kind) -> signed char { return log("SetOutput", kind), 1; },
    [](int index, const char* file, unsigned mode, int length) {
        log("Load", index, file, mode, length);
        return reinterpret_cast<FSOUND_SAMPLE*>(&handles[loads++ % 3]);
    },
    [](int channel, FSOUND_SAMPLE* s) { return log("Play", channel, id(s)), 0; },
    [](int channel) -> signed char { return log("Stop", channel), 1; },
    [](FSOUND_SAMPLE* s) { log("Free", id(s)); },
    [] { log("Close"); },
};

struct Calls {
    const char* title;
    std::optional<SoundChoice> choice;  // none: closed before Play
    std::string untilClose, atClose;
};

std::string started(int kind) {
    return "Init 22050 64 0 ;SetOutput " + std::to_string(kind) +
           " ;Load -1 SOUND/Got.wav 8192 0 ;Load -1 SOUND/Move.wav 8192 0 ;"
           "Load -1 SOUND/Start.wav 8192 0 ;Play -1 #0 ;Play -1 #1 ;Play -1 #2 ;Stop -3 ;";
}
const std::string kFreeLoaded = "Free #0 ;Free #1 ;Free #2 ;Close ;";
const std::string kFreeNull = "Free null ;Free null ;Free null ;Close ;";

class CueCalls : public testing::TestWithParam<Calls> {};

TEST_P(CueCalls, ReachTheLibraryInOrder) {
    calls.clear();
    loads = 0;
    fw::SoundCues cues(recorder);
    if (GetParam().choice) {
        EXPECT_TRUE(cues.Start(*GetParam().choice));
        for (Cue c : {Cue::Got, Cue::Move, Cue::Start})
            cues.Suona(c);
        cues.Silenzio();
    }
    EXPECT_EQ(calls, GetParam().untilClose);
    calls.clear();
    cues.Close();
    EXPECT_EQ(calls, GetParam().atClose);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CueCalls,
    testing::Values(Calls{"WindowsMM", SoundChoice::WindowsMM, started(1), kFreeLoaded},
                    Calls{"DirectSound", SoundChoice::DirectSound, started(2), kFreeLoaded},
                    Calls{"NoSound", SoundChoice::NoSound, {}, kFreeNull},
                    Calls{"ClosedBeforePlay", std::nullopt, {}, kFreeNull}),
    byTitle);

// The real library used before it starts and after it closes, on null samples:
// every call fails quietly, and none wakes SDL's audio.
TEST(Fsound, CallsOutsideItsLifetimeAreHarmless) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "x.wav", FSOUND_2D, 0), nullptr);
        EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
        EXPECT_EQ(FSOUND_StopSound(FSOUND_ALL), 0);
        fw::SoundCues().Close();  // frees three null samples, closes a library never started
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);
        EXPECT_EQ(FSOUND_Init(22050, 64, 0), 0);
        EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "x.wav", FSOUND_2D, 0),
                  nullptr);                                    // opens the device
        EXPECT_EQ(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND), 0);  // an open device is kept
        FSOUND_Close();
        unsetenv("SDL_AUDIODRIVER");
    }
}

// --- What is heard --------------------------------------------------------------

void put(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s += char(v >> 8 * i & 0xff);
}

// A 16-bit stereo 22050 Hz WAVE file, the mixer's own format (no conversion), of
// `frames` frames of one value; `claimed` overrides the data size in its header.
std::string wave(int frames, std::int16_t value, unsigned format = 1, std::int64_t claimed = -1) {
    const std::uint32_t bytes = claimed >= 0 ? claimed : frames * 4;
    std::string s = "RIFF";
    put(s, 36 + bytes, 4);
    s += "WAVEfmt ";
    for (auto [v, n] :
         {std::pair{16u, 4}, {format, 2}, {2u, 2}, {22050u, 4}, {88200u, 4}, {4u, 2}, {16u, 2}}) {
        put(s, v, n);
    }
    s += "data";
    put(s, bytes, 4);
    for (int i = 0; i < 2 * frames; ++i)
        put(s, std::uint16_t(value), 2);
    return s;
}

constexpr int kGotFrames = 11025, kMoveFrames = 4410;  // 0.5 s and 0.2 s
constexpr std::int16_t kGot = 2000, kMove = 300;

// A fresh current directory with SOUND/ and the three cues, output to the disk driver.
class Sound : public testing::Test {
  public:
    void SetUp() override {
        char tmpl[] = "/tmp/fw-sound-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        home_ = fs::current_path();
        fs::current_path(dir_ = tmpl);
        fs::create_directory("SOUND");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir_ / "out.raw").c_str(), 1);
        write("Got.wav", wave(kGotFrames, kGot));
        write("Move.wav", wave(kMoveFrames, kMove));
        write("Start.wav", wave(2205, 0));
    }
    void TearDown() override {
        FSOUND_Close();
        fs::current_path(home_);
        fs::remove_all(dir_);
        for (auto v : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_WAVE_TRUNCATION"})
            unsetenv(v);
    }
    static void write(const std::string& cue, const std::string& bytes) {
        std::ofstream("SOUND/" + cue, std::ios::binary) << bytes;
    }
    // Frames per left-channel value in the output, read once the device is closed.
    std::map<int, int> heard() {
        std::ifstream in(dir_ / "out.raw", std::ios::binary);
        std::map<int, int> count;
        for (std::int16_t lr[2]; in.read(reinterpret_cast<char*>(lr), sizeof lr);)
            ++count[lr[0]];
        count.erase(0);
        return count;
    }
    fs::path dir_, home_;
};

struct Scene {
    const char* title;
    const char* script;  // G, M: Suona(Got), Suona(Move); S: Silenzio; '.': 50 ms later
    bool gotWhole, moveWhole, moveHeard, mixed;
};

class Heard : public Sound, public testing::WithParamInterface<Scene> {};

TEST_P(Heard, OutputHoldsTheCuesSamples) {
    const Scene& scene = GetParam();
    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(SoundChoice::WindowsMM));
    for (const char* c = scene.script; *c; ++c) {
        if (*c == 'G' || *c == 'M') cues.Suona(*c == 'G' ? Cue::Got : Cue::Move);
        if (*c == 'S') cues.Silenzio();
        if (*c == '.') std::this_thread::sleep_for(50ms);
    }
    for (auto end = Clock::now() + 5s; Mix_Playing(-1) > 0 && Clock::now() < end;) {
        std::this_thread::sleep_for(5ms);
    }
    cues.Close();

    auto count = heard();
    for (auto [value, frames] : count) {
        EXPECT_TRUE(value == kGot || value == kMove || value == kGot + kMove)
            << frames << " x " << value;
    }
    const int both = count[kGot + kMove], got = count[kGot] + both, move = count[kMove] + both;
    EXPECT_EQ(got == kGotFrames, scene.gotWhole) << got;
    EXPECT_EQ(move == kMoveFrames, scene.moveWhole) << move;
    EXPECT_EQ(move > 0, scene.moveHeard);
    EXPECT_EQ(both > 0, scene.mixed);
    EXPECT_LE(got, kGotFrames);
    EXPECT_LE(move, kMoveFrames);
}

INSTANTIATE_TEST_SUITE_P(Cues, Heard,
                         testing::Values(Scene{"GotAlone", "G", true, false, false, false},
                                         Scene{"TwoAtOnce", "GM", true, true, true, true},
                                         Scene{"SecondSoonAfter", "G.M", true, true, true, true},
                                         Scene{"SilenzioBetween", "G.SM", false, true, true, false},
                                         Scene{"SilenzioStopsAll", "GM.S", false, false, true,
                                               true}),
                         byTitle);

// From FSOUND_PlaySound to the mixer handing out the first buffer that holds the cue.
TEST_F(Sound, CueLeavesTheMixerWithin30Ms) {
    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(SoundChoice::DirectSound));
    static std::atomic<bool> armed;
    static std::atomic<Clock::rep> at;
    static std::atomic<int> frames;
    Mix_SetPostMix(
        [](void*, Uint8* stream, int len) {
            frames = std::max(frames.load(), len / 4);
            if (armed && std::any_of(stream, stream + len, [](Uint8 b) { return b != 0; })) {
                at = Clock::now().time_since_epoch().count();
                armed = false;
            }
        },
        nullptr);
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        cues.Silenzio();
        std::this_thread::sleep_for(std::chrono::milliseconds(7 + i * 5 % 23));  // vary the phase
        armed = true;
        const auto t0 = Clock::now();
        cues.Suona(Cue::Got);
        while (armed && Clock::now() < t0 + 1s)
            std::this_thread::sleep_for(200us);
        ASSERT_FALSE(armed) << "the cue never left the mixer";
        ms.push_back(
            std::chrono::duration<double, std::milli>(Clock::duration(at) - t0.time_since_epoch())
                .count());
    }
    Mix_SetPostMix(nullptr, nullptr);
    std::sort(ms.begin(), ms.end());
    std::cout << "cue latency, 20 plays: min " << ms[0] << " ms, median " << ms[10] << " ms, max "
              << ms[19] << " ms; mixer buffer " << frames << " frames at 22050 Hz\n";
    EXPECT_LE(frames, fw::kMixBufferFrames);
    EXPECT_LE(ms[10], 30.0);
}

// --- The cue files at Play --------------------------------------------------------

struct Install {
    const char* title;
    const char* file;
    std::optional<std::string> bytes;  // none: the file is removed
    bool started;                      // Start reports the catch cue loaded
};
const std::string kFolder = "<folder>", kHuge = "<huge>";

class Installed : public Sound, public testing::WithParamInterface<Install> {};

TEST_P(Installed, OnlyTheCatchCueDecidesTheStart) {
    const Install& p = GetParam();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_WAVE_TRUNCATION", "dropframes", 1);  // the layer's own rule must win
    const fs::path file = fs::path("SOUND") / p.file;
    fs::remove(file);
    if (p.bytes == kFolder) {
        fs::create_directory(file);
    } else if (p.bytes == kHuge) {  // a sound of 100 MB: a valid header on a sparse file
        write(p.file, wave(0, 0, 1, 100'000'000));
        fs::resize_file(file, 44 + 100'000'000);
    } else if (p.bytes) {
        write(p.file, *p.bytes);
    }
    fw::SoundCues cues;
    const auto t0 = Clock::now();
    EXPECT_EQ(cues.Start(SoundChoice::WindowsMM), p.started) << SDL_GetError();
    EXPECT_LT(Clock::now() - t0, 5s);
    for (Cue c : {Cue::Got, Cue::Move, Cue::Start})
        cues.Suona(c);  // a missing cue stays silent
    FSOUND_Close();
    cues.Close();  // frees samples the library's close has freed already: harmless
}

INSTANTIATE_TEST_SUITE_P(
    Files, Installed,
    testing::Values(Install{"AllThree", "Got.wav", wave(10, 1), true},
                    Install{"MoveMissing", "Move.wav", std::nullopt, true},
                    Install{"StartMissing", "Start.wav", std::nullopt, true},
                    Install{"MoveEmpty", "Move.wav", "", true},
                    Install{"GotMissing", "Got.wav", std::nullopt, false},
                    Install{"GotEmpty", "Got.wav", "", false},
                    Install{"GotNotWave", "Got.wav", "ID3 not a wave file", false},
                    Install{"GotUnknownEncoding", "Got.wav", wave(500, 9, 0x55), false},
                    Install{"GotTruncated", "Got.wav", wave(1000, 9, 1, 8000), false},
                    Install{"GotIsAFolder", "Got.wav", kFolder, false},
                    Install{"GotHuge", "Got.wav", kHuge, false}),
    byTitle);

// --- No usable device -----------------------------------------------------------

struct NoDevice {
    const char* title;
    const char* driver;  // SDL_AUDIODRIVER, or null for SDL's own choice
    const char* file;    // SDL_DISKAUDIOFILE
};

class Fallback : public Sound, public testing::WithParamInterface<NoDevice> {};

TEST_P(Fallback, PlaysSilentlyInstead) {
    const NoDevice& p = GetParam();
    unsetenv("SDL_AUDIODRIVER");
    if (p.driver) setenv("SDL_AUDIODRIVER", p.driver, 1);
    setenv("SDL_DISKAUDIOFILE", p.file, 1);
    write("Got.wav", wave(kGotFrames, 0));  // silent, should a real device turn up

    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(SoundChoice::DirectSound)) << "a missing device is no broken folder";
    if (p.driver) {
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
    }
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        sigaction(signal, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "Ctrl+C and kill must still end the program";
    }
    cues.Suona(Cue::Got);
    EXPECT_EQ(Mix_Playing(-1), 1) << "the mixer runs";
    cues.Close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

INSTANTIATE_TEST_SUITE_P(Devices, Fallback,
                         testing::Values(NoDevice{"UnknownDriver", "no-such-driver", "/dev/null"},
                                         NoDevice{"DeviceWontOpen", "disk", "/no/such/dir/out.raw"},
                                         NoDevice{"DefaultDevice", nullptr, "/dev/null"}),
                         byTitle);

}  // namespace
