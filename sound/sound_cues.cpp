#include "sound_cues.h"

namespace fw {

SoundCues::SoundCues(const FsoundLibrary& library) : lib_(library) {}

SoundCues::~SoundCues() {
    if (!closed_) Close();
}

bool SoundCues::Start(int output) {
    if (started_) return !SoundOn || SampleGot != nullptr;
    started_ = true;
    SoundOn = output != FSOUND_OUTPUT_NOSOUND;
    if (!SoundOn) return true;
    lib_.Init(22050, 64, 0);
    lib_.SetOutput(output);
    SampleGot = lib_.Sample_Load(FSOUND_FREE, kGotFile, FSOUND_2D, 0);
    SampleMove = lib_.Sample_Load(FSOUND_FREE, kMoveFile, FSOUND_2D, 0);
    SampleStart = lib_.Sample_Load(FSOUND_FREE, kStartFile, FSOUND_2D, 0);
    return SampleGot != nullptr;
}

void SoundCues::Suona(Cue cue) {
    if (SoundOn) lib_.PlaySound(FSOUND_FREE, handle(cue));
}

void SoundCues::Silenzio() {
    if (SoundOn) lib_.StopSound(FSOUND_ALL);
}

void SoundCues::Close() {
    closed_ = true;
    lib_.Sample_Free(SampleGot);
    lib_.Sample_Free(SampleMove);
    lib_.Sample_Free(SampleStart);
    SampleGot = SampleMove = SampleStart = nullptr;
    lib_.Close();
}

FSOUND_SAMPLE* SoundCues::handle(Cue cue) const {
    switch (cue) {
        case Cue::Got:
            return SampleGot;
        case Cue::Move:
            return SampleMove;
        case Cue::Start:
            break;
    }
    return SampleStart;
}

}  // namespace fw
