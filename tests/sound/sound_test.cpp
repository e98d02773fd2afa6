// The cues as the library receives them (a recording stand-in) and as they are heard
// (SDL's disk driver writes every mixed frame to a file; the dummy driver plays unheard).
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "sound_cues.h"
#include "wave_files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using fw::Cue;

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

struct Call {
    std::string op;
    int arg = 0;
    std::string file{};
    const FSOUND_SAMPLE* sample = nullptr;
};
std::vector<Call> calls;
char handles[3];  // the stand-in's samples
int loads;

const fw::FsoundLibrary recorder{
    [](int, int, unsigned) -> signed char { return calls.push_back({"Init"}), 1; },
    [](int kind) -> signed char {
        return calls.push_back({"SetOutput", kind}), 1;
    },
    [](int, const char* file, unsigned, int) {
        auto* s = reinterpret_cast<FSOUND_SAMPLE*>(&handles[loads++ % 3]);
        calls.push_back({"Load", 0, file, s});
        return s;
    },
    [](int channel, FSOUND_SAMPLE* s) {
        return calls.push_back({"Play", channel, "", s}), 0;
    },
    [](int channel) -> signed char {
        return calls.push_back({"Stop", channel}), 1;
    },
    [](FSOUND_SAMPLE* s) {
        calls.push_back({"Free", 0, "", s});
    },
    [] { calls.push_back({"Close"}); },
};

std::vector<std::string> ops(const std::vector<Call>& from) {
    std::vector<std::string> out;
    for (const Call& c : from)
        out.push_back(c.op);
    return out;
}

struct Calls {
    const char* title;
    std::optional<int> output;  // none: closed before Play
};

class CueCalls : public testing::TestWithParam<Calls> {};

// What matters of the calls, not their every argument: the library is started before
// the output is chosen and both before the cues load, Got then Move then Start; each
// cue plays its own sample and Silenzio stops every channel; a second Play starts
// nothing; the close frees what was loaded and closes the library last. "(no sound)"
// reaches the library only at the close.
TEST_P(CueCalls, ReachTheLibraryInOrder) {
    calls.clear();
    loads = 0;
    const std::optional<int> output = GetParam().output;
    const bool on = output && *output != FSOUND_OUTPUT_NOSOUND;
    fw::SoundCues cues(recorder);
    std::map<std::string, const FSOUND_SAMPLE*> loaded;  // by file name
    if (output) {
        EXPECT_TRUE(cues.Start(*output));
        for (const Call& c : calls)
            if (c.op == "Load") loaded[fs::path(c.file).filename()] = c.sample;
        const std::size_t afterStart = calls.size();
        EXPECT_TRUE(cues.Start(FSOUND_OUTPUT_WINMM)) << "Play runs once";
        EXPECT_EQ(calls.size(), afterStart) << "a second Start reached the library";
        for (Cue c : {Cue::Got, Cue::Move, Cue::Start})
            cues.Suona(c);
        cues.Silenzio();
    }
    if (!on) {
        EXPECT_TRUE(calls.empty()) << "no call before the close without sound";
    } else {
        const std::vector<Call> start(calls.begin(), calls.begin() + 5);
        EXPECT_EQ(ops(start),
                  (std::vector<std::string>{"Init", "SetOutput", "Load", "Load", "Load"}));
        EXPECT_EQ(start[1].arg, *output);
        EXPECT_EQ(std::vector<std::string>({start[2].file, start[3].file, start[4].file}),
                  (std::vector<std::string>{fw::kGotFile, fw::kMoveFile, fw::kStartFile}));
        const std::vector<Call> played(calls.begin() + 5, calls.end());
        ASSERT_EQ(ops(played), (std::vector<std::string>{"Play", "Play", "Play", "Stop"}));
        EXPECT_EQ(played[0].sample, loaded["Got.wav"]);
        EXPECT_EQ(played[1].sample, loaded["Move.wav"]);
        EXPECT_EQ(played[2].sample, loaded["Start.wav"]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(played[i].arg, FSOUND_FREE);
        EXPECT_EQ(played[3].arg, FSOUND_ALL);
    }

    calls.clear();
    cues.Close();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().op, "Close");
    std::multiset<const FSOUND_SAMPLE*> freed;
    for (const Call& c : calls)
        if (c.op == "Free" && c.sample) freed.insert(c.sample);
    std::multiset<const FSOUND_SAMPLE*> expected;
    for (const auto& [file, sample] : loaded)
        expected.insert(sample);
    EXPECT_EQ(freed, expected) << "every loaded cue is freed once, nothing else";
}

INSTANTIATE_TEST_SUITE_P(Choices, CueCalls,
                         testing::Values(Calls{"WindowsMM", FSOUND_OUTPUT_WINMM},
                                         Calls{"DirectSound", FSOUND_OUTPUT_DSOUND},
                                         Calls{"NoSound", FSOUND_OUTPUT_NOSOUND},
                                         Calls{"ClosedBeforePlay", std::nullopt}),
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

// A 16-bit stereo 22050 Hz WAVE file, the mixer's own format (no conversion), of
// `frames` frames of one value.
std::string wave(int frames, std::int16_t value) {
    return fw::test::wave({.frames = std::uint64_t(frames), .value = value});
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
        fw::setIdleCloseTime(fw::kIdleClose);
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
    ASSERT_TRUE(cues.Start(FSOUND_OUTPUT_WINMM));
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

// The names of this process's threads that belong to SDL's audio.
int audioThreads() {
    int n = 0;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        n += name.rfind("SDLAudio", 0) == 0;
    }
    return n;
}

// A silent device is closed, so the mixer's thread no longer wakes; a long cue keeps it
// open while it sounds; the next cue opens it again and plays.
TEST_F(Sound, AnIdleDeviceClosesAndTheNextCueReopensIt) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fw::setIdleCloseTime(150ms);
    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(FSOUND_OUTPUT_WINMM));
    for (int round = 0; round < 2; ++round) {
        cues.Suona(Cue::Got);  // 500 ms: outlasts the idle time
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(fw::audioDeviceOpen()) << "closed while a cue sounds";
        EXPECT_EQ(audioThreads(), 1);
        for (auto end = Clock::now() + 3s; fw::audioDeviceOpen() && Clock::now() < end;)
            std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(fw::audioDeviceOpen()) << "still open after the cue and the idle time";
        EXPECT_EQ(audioThreads(), 0);
    }
    cues.Suona(Cue::Move);
    EXPECT_TRUE(fw::audioDeviceOpen());
    EXPECT_EQ(Mix_Playing(-1), 1);
    cues.Close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// Cues started just as the idle device closes, again and again: the device closes and
// reopens in step with them, leaves no audio thread behind, and still plays at the end.
// (Under the thread pass this is where the watcher and the game's thread meet.)
TEST_F(Sound, CuesAsTheIdleDeviceClosesLeaveItWorking) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fw::setIdleCloseTime(1ms);
    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(FSOUND_OUTPUT_WINMM));
    const Cue kinds[] = {Cue::Move, Cue::Got, Cue::Start};
    const auto start = Clock::now();
    for (int i = 0; i < 150; ++i) {
        cues.Suona(kinds[i % 3]);
        if (i % 2 == 0) cues.Silenzio();  // the device goes idle at once
        std::this_thread::sleep_for(std::chrono::microseconds(i % 7 * 300));
    }
    EXPECT_LT(Clock::now() - start, 10s);
    cues.Silenzio();
    for (auto end = Clock::now() + 3s; fw::audioDeviceOpen() && Clock::now() < end;)
        std::this_thread::sleep_for(2ms);
    EXPECT_FALSE(fw::audioDeviceOpen());
    EXPECT_EQ(audioThreads(), 0);
    cues.Suona(Cue::Got);
    EXPECT_TRUE(fw::audioDeviceOpen());
    EXPECT_EQ(Mix_Playing(-1), 1);
    cues.Close();
}

struct Latency {
    const char* title;
    bool afterIdle;  // every cue finds the device closed
};

class CueLatency : public Sound, public testing::WithParamInterface<Latency> {};

// From FSOUND_PlaySound to the mixer handing out the first buffer that holds the cue,
// with the device running and with the device to be reopened by the cue.
TEST_P(CueLatency, CueLeavesTheMixerWithin30Ms) {
    if (GetParam().afterIdle) fw::setIdleCloseTime(20ms);
    fw::SoundCues cues;
    ASSERT_TRUE(cues.Start(FSOUND_OUTPUT_DSOUND));
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
        if (GetParam().afterIdle) {
            for (auto end = Clock::now() + 2s; fw::audioDeviceOpen() && Clock::now() < end;)
                std::this_thread::sleep_for(2ms);
            ASSERT_FALSE(fw::audioDeviceOpen());
        }
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
    std::cout << GetParam().title << ": cue latency, 20 plays: min " << ms[0] << " ms, median "
              << ms[10] << " ms, max " << ms[19] << " ms; mixer buffer " << frames
              << " frames at 22050 Hz\n";
    EXPECT_LE(frames, fw::kMixBufferFrames);
    EXPECT_LE(ms[10], 30.0);
}

INSTANTIATE_TEST_SUITE_P(Device, CueLatency,
                         testing::Values(Latency{"Running", false}, Latency{"AfterIdle", true}),
                         byTitle);

// --- The cue files at Play --------------------------------------------------------

struct Install {
    const char* title;
    const char* file;
    std::optional<std::string> bytes;  // none: the file is removed
    bool started;                      // Start reports the catch cue loaded
};
const std::string kFolder = "<folder>", kHuge = "<huge>", kFifo = "<fifo>";

// 8-bit mono at a rate far below any real sound: as the mixer's format it would be
// hundreds of megabytes (at 1 Hz more than an int can count).
std::string lowRate(std::uint32_t rate, std::uint64_t bytes) {
    return fw::test::wave({.channels = 1, .rate = rate, .bits = 8, .frames = bytes});
}

class Installed : public Sound, public testing::WithParamInterface<Install> {};

TEST_P(Installed, OnlyTheCatchCueDecidesTheStart) {
    const Install& p = GetParam();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_WAVE_TRUNCATION", "dropframes", 1);  // the layer's own rule must win
    const fs::path file = fs::path("SOUND") / p.file;
    fs::remove(file);
    if (p.bytes == kFolder) {
        fs::create_directory(file);
    } else if (p.bytes == kFifo) {  // no writer: opening it for reading would wait forever
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    } else if (p.bytes == kHuge) {  // a sound of 100 MB: a valid header on a sparse file
        write(p.file, fw::test::wave({.claimed = 100'000'000}));
        fs::resize_file(file, 44 + 100'000'000);
    } else if (p.bytes) {
        write(p.file, *p.bytes);
    }
    fw::SoundCues cues;
    const auto t0 = Clock::now();
    timespec cpu0{}, cpu1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
    EXPECT_EQ(cues.Start(FSOUND_OUTPUT_WINMM), p.started) << SDL_GetError();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
    // The work of the three loads, and the time they took however busy the machine.
    EXPECT_LT((cpu1.tv_sec - cpu0.tv_sec) * 1e3 + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e6, 300.0)
        << "Play would freeze the window";
    EXPECT_LT(Clock::now() - t0, 3s) << "Play would freeze the window";
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
                    Install{"MoveAtOneHertz", "Move.wav", lowRate(1, 224'256), true},
                    Install{"MoveIsAFifo", "Move.wav", kFifo, true},
                    Install{"GotMissing", "Got.wav", std::nullopt, false},
                    Install{"GotEmpty", "Got.wav", "", false},
                    Install{"GotNotWave", "Got.wav", "ID3 not a wave file", false},
                    Install{"GotUnknownEncoding", "Got.wav",
                            fw::test::wave({.format = 0x55, .frames = 500}), false},
                    Install{"GotTruncated", "Got.wav",
                            fw::test::wave({.frames = 1000, .claimed = 8000}), false},
                    Install{"GotIsAFolder", "Got.wav", kFolder, false},
                    Install{"GotIsAFifo", "Got.wav", kFifo, false},
                    Install{"GotHuge", "Got.wav", kHuge, false},
                    Install{"GotAtTwoHertz", "Got.wav", lowRate(2, 12'000), false}),
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
    ASSERT_TRUE(cues.Start(FSOUND_OUTPUT_DSOUND)) << "a missing device is no broken folder";
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
