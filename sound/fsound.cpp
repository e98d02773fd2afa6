#include "fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>
#include <vector>

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk;
};

namespace {

// FMOD's "autodetect": the platform's default device.
constexpr int kOutputDefault = -1;

// The one library of the process.
struct Library {
    bool started = false;     // between FSOUND_Init and FSOUND_Close
    bool deviceOpen = false;  // the mixer runs; samples can be loaded
    int mixRate = 0;
    int channels = 0;
    int output = kOutputDefault;
    std::vector<FSOUND_SAMPLE*> samples;  // loaded and not yet freed
};

Library lib;

bool isLoaded(const FSOUND_SAMPLE* sample) {
    return sample && std::find(lib.samples.begin(), lib.samples.end(), sample) != lib.samples.end();
}

bool isChannel(int channel) {
    return channel >= 0 && channel < lib.channels;
}

// One attempt at the device with the driver SDL would pick now.
bool openMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // Exactly the mix rate asked for (SDL converts if the device differs), stereo
    // 16-bit, with the small buffer that keeps cues prompt.
    if (Mix_OpenAudioDevice(lib.mixRate, AUDIO_S16SYS, 2, fw::kMixBufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(lib.channels);
    return true;
}

// Opens the device for the chosen output. A machine without a usable device still
// gets a running mixer, on SDL's silent dummy driver: cues then load and "play"
// unheard instead of every load failing.
bool openDevice() {
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

// The file as a RIFF WAVE stream within the size limit, positioned at its start; else null.
SDL_RWops* openWave(const char* name) {
    SDL_RWops* rw = SDL_RWFromFile(name, "rb");
    if (!rw) return nullptr;
    const Sint64 size = SDL_RWsize(rw);
    char head[12];
    const bool wave = size >= 12 && size <= fw::kMaxSampleFileBytes &&
                      SDL_RWread(rw, head, 1, sizeof head) == sizeof head &&
                      std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0 &&
                      SDL_RWseek(rw, 0, RW_SEEK_SET) == 0;
    if (!wave) {
        SDL_RWclose(rw);
        return nullptr;
    }
    return rw;
}

}  // namespace

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
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
    if (lib.deviceOpen) return 0;
    if (outputtype != kOutputDefault && outputtype != FSOUND_OUTPUT_NOSOUND &&
        outputtype != FSOUND_OUTPUT_WINMM && outputtype != FSOUND_OUTPUT_DSOUND) {
        return 0;
    }
    lib.output = outputtype;
    return 1;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int /*mode*/,
                                  int memlength) {
    if (!lib.started || !name || memlength != 0) return nullptr;
    if (!lib.deviceOpen) {
        lib.deviceOpen = openDevice();
        if (!lib.deviceOpen) return nullptr;
    }
    SDL_RWops* rw = openWave(name);
    if (!rw) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (!chunk) return nullptr;
    auto* sample = new FSOUND_SAMPLE{chunk};
    lib.samples.push_back(sample);
    return sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    if (!isLoaded(sample) || (channel != FSOUND_FREE && !isChannel(channel))) return -1;
    return Mix_PlayChannel(channel, sample->chunk, 0);
}

signed char FSOUND_StopSound(int channel) {
    if (!lib.started || (channel != FSOUND_ALL && !isChannel(channel))) return 0;
    if (lib.deviceOpen) Mix_HaltChannel(channel == FSOUND_ALL ? -1 : channel);
    return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    if (!isLoaded(sample)) return;
    std::erase(lib.samples, sample);
    Mix_FreeChunk(sample->chunk);  // halts any channel still playing it
    delete sample;
}

void FSOUND_Close() {
    if (lib.deviceOpen) {
        Mix_HaltChannel(-1);
        while (!lib.samples.empty())
            FSOUND_Sample_Free(lib.samples.back());
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    lib = Library{};
}

}  // extern "C"

namespace fw {

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
