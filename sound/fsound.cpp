#include "fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <pthread.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "cue_file.h"

struct FSOUND_SAMPLE {
    std::vector<unsigned char> pcm;  // in the mixer's format
    Mix_Chunk* chunk;                // plays pcm, which it does not own
};

namespace {

using Clock = std::chrono::steady_clock;

// FMOD's "autodetect": the platform's default device.
constexpr int kOutputDefault = -1;

// The one library of the process.
struct Library {
    bool started = false;     // between FSOUND_Init and FSOUND_Close
    bool audioInit = false;   // SDL's audio is initialised, with the driver that worked
    bool deviceOpen = false;  // the mixer runs
    fw::MixFormat mix;        // the mixer's format, known once the device first opened
    int mixRate = 0;
    int channels = 0;
    int output = kOutputDefault;
    std::vector<FSOUND_SAMPLE*> samples;  // loaded and not yet freed
    Clock::time_point lastUse;            // the last cue started or sample loaded
};

// Every call holds the lock, and so does the idle watcher: it closes the device from
// its own thread while the game's thread may be starting a cue.
std::mutex libLock;
Library lib;
std::chrono::milliseconds idleClose = fw::kIdleClose;

// The thread that closes the device once no cue has played for idleClose. It sleeps
// until that moment while the device is open, and without end while it is closed, so
// it adds no wake-ups of its own.
struct IdleWatcher {
    std::thread thread;
    std::condition_variable wake;
    bool stop = false;

    void run();
    void start() {  // with libLock held
        if (!thread.joinable()) thread = std::thread([this] { run(); });
    }
    void join() {  // without libLock
        {
            std::lock_guard<std::mutex> hold(libLock);
            stop = true;
        }
        wake.notify_all();
        if (thread.joinable()) thread.join();
        std::lock_guard<std::mutex> hold(libLock);
        stop = false;
        thread = {};
    }
    ~IdleWatcher() { join(); }
};
IdleWatcher watcher;

bool isLoaded(const FSOUND_SAMPLE* sample) {
    return sample && std::find(lib.samples.begin(), lib.samples.end(), sample) != lib.samples.end();
}

bool isChannel(int channel) {
    return channel >= 0 && channel < lib.channels;
}

// The mixer on the audio driver SDL has initialised: exactly the mix rate asked for
// (SDL converts if the device differs), stereo 16-bit, with the small buffer that keeps
// cues prompt.
bool openMixerDevice() {
    if (Mix_OpenAudioDevice(lib.mixRate, AUDIO_S16SYS, 2, fw::kMixBufferFrames, nullptr, 0) != 0)
        return false;
    Mix_AllocateChannels(lib.channels);
    return true;
}

// One attempt at SDL's audio and the device with the driver SDL would pick now.
bool openMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (!openMixerDevice()) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// Opens the device for the chosen output. A machine without a usable device still
// gets a running mixer, on SDL's silent dummy driver: cues then load and "play"
// unheard instead of every load failing.
bool openFirstDevice() {
    // SDL must not take over SIGINT and SIGTERM from the program.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    // A WAVE file whose data chunk is shorter than its header says is damaged:
    // refuse it rather than play part of it.
    SDL_SetHintWithPriority(SDL_HINT_WAVE_TRUNCATION, "strict", SDL_HINT_OVERRIDE);

    bool open = false;
    // A driver named in the environment is used as it is; a normal-priority hint
    // never overrides it.
    if (const char* driver = fw::sdlDriverForOutput(lib.output);
        driver && !SDL_getenv("SDL_AUDIODRIVER")) {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
        open = openMixer();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (!open) open = openMixer();
    if (!open) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        open = openMixer();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    return open;
}

// Makes sure the device runs, opening it for the first time or again after an idle
// close. Samples stay valid across a reopen: the mixer's format is asked for exactly,
// so it never changes. With libLock held.
bool ensureDevice() {
    if (lib.deviceOpen) return true;
    if (!lib.audioInit) {
        if (!openFirstDevice()) return false;
        lib.audioInit = true;
        int rate = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        lib.mix = {rate, channels, format};
    } else if (!openMixerDevice()) {
        // The driver that worked refuses now (a device unplugged meanwhile): start
        // again from the choice of driver, down to the silent one.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lib.audioInit = false;
        if (!openFirstDevice()) return false;
        lib.audioInit = true;
    }
    lib.deviceOpen = true;
    lib.lastUse = Clock::now();
    watcher.start();
    watcher.wake.notify_all();
    return true;
}

void closeDevice() {
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    lib.deviceOpen = false;
}

void IdleWatcher::run() {
    pthread_setname_np(pthread_self(), "fenwater-sound");
    std::unique_lock<std::mutex> hold(libLock);
    while (!stop) {
        if (!lib.deviceOpen) {
            wake.wait(hold);
            continue;
        }
        const Clock::time_point due = lib.lastUse + idleClose;
        if (Clock::now() < due) {
            wake.wait_until(hold, due);
        } else if (Mix_Playing(-1) > 0) {
            lib.lastUse = Clock::now();  // a long cue still sounds: look again later
        } else {
            closeDevice();
        }
    }
}

void freeSample(FSOUND_SAMPLE* sample) {
    std::erase(lib.samples, sample);
    // Halts any channel still playing it (with the device closed nothing plays), then
    // frees the chunk but not the sound, which the sample owns.
    Mix_FreeChunk(sample->chunk);
    delete sample;
}

}  // namespace

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
    std::lock_guard<std::mutex> hold(libLock);
    if (lib.started || mixrate < 4000 || mixrate > 65535 || maxsoftwarechannels < 1 ||
        maxsoftwarechannels > 1024) {
        return 0;
    }
    lib.started = true;
    lib.mixRate = mixrate;
    lib.channels = maxsoftwarechannels;
    return 1;
}

signed char FSOUND_SetOutput(int outputtype) {
    std::lock_guard<std::mutex> hold(libLock);
    if (lib.audioInit) return 0;
    if (outputtype != kOutputDefault && outputtype != FSOUND_OUTPUT_NOSOUND &&
        outputtype != FSOUND_OUTPUT_WINMM && outputtype != FSOUND_OUTPUT_DSOUND) {
        return 0;
    }
    lib.output = outputtype;
    return 1;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int /*mode*/,
                                  int memlength) {
    std::lock_guard<std::mutex> hold(libLock);
    if (!lib.started || !name || memlength != 0 || !ensureDevice()) return nullptr;
    lib.lastUse = Clock::now();
    auto* sample = new FSOUND_SAMPLE{fw::loadCue(name, lib.mix), nullptr};
    if (!sample->pcm.empty())
        sample->chunk = Mix_QuickLoad_RAW(sample->pcm.data(), Uint32(sample->pcm.size()));
    if (!sample->chunk) {
        delete sample;
        return nullptr;
    }
    lib.samples.push_back(sample);
    return sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    std::lock_guard<std::mutex> hold(libLock);
    if (!isLoaded(sample) || (channel != FSOUND_FREE && !isChannel(channel)) || !ensureDevice())
        return -1;
    lib.lastUse = Clock::now();
    return Mix_PlayChannel(channel, sample->chunk, 0);
}

signed char FSOUND_StopSound(int channel) {
    std::lock_guard<std::mutex> hold(libLock);
    if (!lib.started || (channel != FSOUND_ALL && !isChannel(channel))) return 0;
    if (lib.deviceOpen) Mix_HaltChannel(channel == FSOUND_ALL ? -1 : channel);
    return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    std::lock_guard<std::mutex> hold(libLock);
    if (isLoaded(sample)) freeSample(sample);
}

void FSOUND_Close() {
    watcher.join();
    std::lock_guard<std::mutex> hold(libLock);
    if (lib.deviceOpen) Mix_HaltChannel(-1);
    while (!lib.samples.empty())
        freeSample(lib.samples.back());
    if (lib.deviceOpen) Mix_CloseAudio();
    if (lib.audioInit) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    lib = Library{};
}

}  // extern "C"

namespace fw {

void setIdleCloseTime(std::chrono::milliseconds idle) {
    {
        std::lock_guard<std::mutex> hold(libLock);
        idleClose = idle;
    }
    watcher.wake.notify_all();
}

bool audioDeviceOpen() {
    std::lock_guard<std::mutex> hold(libLock);
    return lib.deviceOpen;
}

const char* sdlDriverForOutput(int outputtype) {
    switch (outputtype) {
        case FSOUND_OUTPUT_NOSOUND:
            return "dummy";
#ifdef _WIN32
        case FSOUND_OUTPUT_WINMM:
            return "winmm";
        case FSOUND_OUTPUT_DSOUND:
            return "directsound";
#endif
        default:  // on other systems both kinds, and autodetect, use the default device
            return nullptr;
    }
}

const FsoundLibrary& fsoundLibrary() {
    static const FsoundLibrary real{FSOUND_Init,      FSOUND_SetOutput, FSOUND_Sample_Load,
                                    FSOUND_PlaySound, FSOUND_StopSound, FSOUND_Sample_Free,
                                    FSOUND_Close};
    return real;
}

}  // namespace fw
