// The sound library the cues are played through: the seven calls of FMOD 3 that
// the program uses, with their constants, implemented over SDL2_mixer.
//
// One library per process, as with the original DLL. Every call is harmless
// before FSOUND_Init, after FSOUND_Close and on a null sample: it does nothing
// and reports failure.
#pragma once

#include <chrono>

extern "C" {

// A loaded sample; opaque to its users.
struct FSOUND_SAMPLE;

// Channel and sample indices.
inline constexpr int FSOUND_FREE = -1;  // any free channel / a new sample slot
inline constexpr int FSOUND_ALL = -3;   // every channel

// Sample modes.
inline constexpr unsigned int FSOUND_2D = 0x2000;  // no 3-D positioning

// Output kinds for FSOUND_SetOutput.
inline constexpr int FSOUND_OUTPUT_NOSOUND = 0;
inline constexpr int FSOUND_OUTPUT_WINMM = 1;
inline constexpr int FSOUND_OUTPUT_DSOUND = 2;

// Starts the library: mixing at mixrate Hz over maxsoftwarechannels channels.
// The audio device is opened later, by the first sample load, so an output kind
// set after this call still chooses the device. Returns 1 on success, 0 otherwise.
// The device is closed again while no cue has played for a while (see
// fw::kIdleClose) and reopened by the next cue.
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);

// Chooses the output for the device still to be opened. Returns 1 if the kind is
// known and the device not yet open, 0 otherwise (an open device is kept).
signed char FSOUND_SetOutput(int outputtype);

// Loads a RIFF WAVE file into memory, converted to the mixer's format. index is
// FSOUND_FREE (any other value also takes a new slot); mode FSOUND_2D; memlength must
// be 0 (name is a file name). Returns null unless the file is a regular file holding a
// whole WAVE sound within the bounds of cue_file.h.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int memlength);

// Starts sample on channel (FSOUND_FREE: the first free one), over whatever else
// plays. Returns the channel used, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);

// Stops channel, or every channel for FSOUND_ALL. Returns 1 on success, 0 otherwise.
signed char FSOUND_StopSound(int channel);

// Stops and frees a sample. Null, unknown and already freed samples are ignored.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);

// Stops everything, frees every sample still loaded, closes the device.
void FSOUND_Close();

}  // extern "C"

namespace fw {

// The mixer's buffer in frames: 512 frames at 22050 Hz keep a cue within 23.3 ms
// of its FSOUND_PlaySound.
inline constexpr int kMixBufferFrames = 512;

// The audio device is closed once no cue has played for this long, and opened again
// by the next cue: an open device keeps the mixer's thread waking 43 times a second
// even in silence. The reopening cue still reaches the mixer within a few milliseconds.
inline constexpr std::chrono::milliseconds kIdleClose{3000};

// Changes that time for the rest of the run (tests use a short one).
void setIdleCloseTime(std::chrono::milliseconds idle);

// True while the audio device is open.
bool audioDeviceOpen();

// The SDL audio driver for an output kind on this platform, or null for SDL's
// default device. SDL_AUDIODRIVER in the environment always wins over it.
const char* sdlDriverForOutput(int outputtype);

// The seven calls, bound together so the cue code can be pointed at a stand-in.
struct FsoundLibrary {
    signed char (*Init)(int mixrate, int maxsoftwarechannels, unsigned int flags);
    signed char (*SetOutput)(int outputtype);
    FSOUND_SAMPLE* (*Sample_Load)(int index, const char* name, unsigned int mode, int memlength);
    int (*PlaySound)(int channel, FSOUND_SAMPLE* sample);
    signed char (*StopSound)(int channel);
    void (*Sample_Free)(FSOUND_SAMPLE* sample);
    void (*Close)();
};

// The real library above.
const FsoundLibrary& fsoundLibrary();

}  // namespace fw
