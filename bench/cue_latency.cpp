// How long a cue takes from Suona to the mixer: from the call to the moment the mixer
// hands out the first buffer that holds the cue (a post-mix hook notes it). Measured
// with the audio device running, and with the device closed for idleness, so that the
// cue first opens it again.
//
//   fenwater_cue_latency [PLAYS]   (default 200 each way; run with SDL_AUDIODRIVER set,
//                                   e.g. dummy or disk)
// The SOUND folder is read from the current directory, or from FENWATER_STAGE_DIR's.
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "sound_cues.h"

namespace {

using Clock = std::chrono::steady_clock;
std::atomic<bool> armed;
std::atomic<Clock::rep> heardAt;

void postMix(void*, Uint8* stream, int len) {
    if (armed && std::any_of(stream, stream + len, [](Uint8 b) { return b != 0; })) {
        heardAt = Clock::now().time_since_epoch().count();
        armed = false;
    }
}

// Latencies of `plays` catch cues in ms, each after the device closed when afterIdle.
std::vector<double> measure(fw::SoundCues& cues, int plays, bool afterIdle) {
    std::vector<double> ms;
    for (int i = 0; i < plays; ++i) {
        cues.Silenzio();
        while (afterIdle && fw::audioDeviceOpen())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::microseconds(7000 + i * 3917 % 23000));
        armed = true;
        const Clock::time_point t0 = Clock::now();
        cues.Suona(fw::Cue::Got);
        while (armed && Clock::now() < t0 + std::chrono::seconds(1))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (armed) continue;  // never heard: left out, and counted below
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::duration(heardAt.load()) -
                                                               t0.time_since_epoch())
                         .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

void report(const char* what, const std::vector<double>& ms, int plays) {
    if (ms.empty()) {
        std::printf("%s: no cue reached the mixer\n", what);
        return;
    }
    auto at = [&](double q) { return ms[std::size_t(q * double(ms.size() - 1))]; };
    std::printf(
        "%s: %zu of %d cues, median %.2f ms, p90 %.2f ms, max %.2f ms (target median <= 30 "
        "ms)\n",
        what, ms.size(), plays, at(0.5), at(0.9), ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int plays = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    if (access(fw::kGotFile, R_OK) != 0) {
        if (const char* stage = std::getenv("FENWATER_STAGE_DIR"); stage && chdir(stage) != 0)
            std::perror(stage);
    }
    fw::SoundCues cues;
    if (!cues.Start(FSOUND_OUTPUT_WINMM)) {
        std::fprintf(stderr, "the catch cue did not load (no SOUND folder here?)\n");
        return 1;
    }
    std::printf("audio driver %s, mixer buffer %d frames at 22050 Hz\n",
                SDL_GetCurrentAudioDriver(), fw::kMixBufferFrames);
    Mix_SetPostMix(postMix, nullptr);
    report("device running", measure(cues, plays, false), plays);
    fw::setIdleCloseTime(std::chrono::milliseconds(20));
    const int reopened = std::max(1, plays / 4);
    report("device reopened by the cue", measure(cues, reopened, true), reopened);
    Mix_SetPostMix(nullptr, nullptr);
    cues.Close();
    return 0;
}
