// Loading a cue file into the mixer's format.
//
// The SOUND folder is the user's to replace, so a cue file is checked from its header
// alone, before anything the size of the sound is allocated: only a regular file (a
// FIFO or a device would block or never end), only a RIFF WAVE in an encoding the
// decoder knows, and only within bounds that keep loading quick and memory small. Then
// SDL decodes the format and data chunks alone, and an SDL audio stream converts them
// piece by piece into a buffer whose size the header already bounded. (The mixer's own
// loader is not used: it converts in one buffer of up to eight times the decoded size,
// sized with int arithmetic that overflows on a low sample rate.)
#pragma once

#include <vector>

namespace fw {

// The format every cue is converted to: the mixer's.
struct MixFormat {
    int rate = 0;               // frames per second
    int channels = 0;           // samples per frame
    unsigned short format = 0;  // an SDL_AudioFormat
};

// The largest cue file read, and the largest sound decoded from it (in the file's own
// sample format, ADPCM and A-law widened to 16 bits), in bytes: 47 s of 44.1 kHz
// 16-bit stereo.
inline constexpr long long kMaxCueFileBytes = 8LL * 1024 * 1024;
inline constexpr long long kMaxDecodedBytes = 8LL * 1024 * 1024;
// The sample rates and channel counts accepted.
inline constexpr int kMinCueRate = 4000;
inline constexpr int kMaxCueRate = 192000;
inline constexpr int kMaxCueChannels = 8;
// The largest cue once converted to the mixer's format: 47 s at 22050 Hz 16-bit stereo.
inline constexpr long long kMaxCueBytes = 4LL * 1024 * 1024;

// The sound of the cue file `name` in the mixer's format, whole frames. Empty when the
// file is missing, not a regular file, not a RIFF WAVE, truncated, in an unknown
// encoding, outside the bounds above, or holds no sound.
std::vector<unsigned char> loadCue(const char* name, const MixFormat& mix);

}  // namespace fw
