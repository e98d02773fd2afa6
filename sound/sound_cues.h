// The three sound cues of the handheld (catch, move, game start) over the sound library.
#pragma once

#include "fsound.h"
#include "interfaces.h"
#include "program_facts.h"

namespace fw {

// The cue files, relative to the current directory.
inline constexpr const char* kGotFile = kCueFiles[int(Cue::Got)];
inline constexpr const char* kMoveFile = kCueFiles[int(Cue::Move)];
inline constexpr const char* kStartFile = kCueFiles[int(Cue::Start)];

class SoundCues final : public CuePlayer {
  public:
    // The library is bound for the whole run, whatever output is chosen later.
    explicit SoundCues(const FsoundLibrary& library = fsoundLibrary());
    ~SoundCues() override;  // closes, unless Close already ran

    SoundCues(const SoundCues&) = delete;
    SoundCues& operator=(const SoundCues&) = delete;

    // Play in the launcher: sets SoundOn (false for FSOUND_OUTPUT_NOSOUND) and, when
    // on, starts the library with that output kind and loads the three cues. Returns
    // false only when the catch cue did not load; the caller then shows
    // kSoundFolderMessage, stores "SoundMode" -1 and ends the program.
    // Only the first call acts: a later one returns what the first returned, so the
    // library is started and the cues are loaded at most once.
    bool Start(int output);

    // Start the cue on any free channel, over whatever is playing, while SoundOn.
    void Suona(Cue cue) override;
    // Stop every channel, while SoundOn.
    void Silenzio() override;

    // Closing the game window: frees the three cues and closes the library,
    // whatever SoundOn is.
    void Close();

  private:
    FSOUND_SAMPLE* handle(Cue cue) const;

    const FsoundLibrary& lib_;
    bool started_ = false;
    bool closed_ = false;
    bool SoundOn = false;
    FSOUND_SAMPLE* SampleGot = nullptr;
    FSOUND_SAMPLE* SampleMove = nullptr;
    FSOUND_SAMPLE* SampleStart = nullptr;
};

}  // namespace fw
