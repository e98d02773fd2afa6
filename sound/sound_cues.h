// The three sound cues of the handheld (catch, move, game start) over the sound library.
#pragma once

#include "fsound.h"
#include "interfaces.h"

namespace fw {

// The text of the error box shown when the catch cue cannot be loaded at Play
// (caption kSoundErrorCaption, error icon, one OK button).
inline constexpr const char* kSoundFolderMessage =
    "Sound folder unproperly installed. Read instructions then reinstall.";
inline constexpr const char* kSoundErrorCaption = "Error";

// The launcher's sound choices, in the order of its list; the number is the one
// stored as "SoundMode".
enum class SoundChoice { WindowsMM = 0, DirectSound = 1, NoSound = 2 };

// The cue files, relative to the current directory.
inline constexpr const char* kGotFile = "SOUND/Got.wav";
inline constexpr const char* kMoveFile = "SOUND/Move.wav";
inline constexpr const char* kStartFile = "SOUND/Start.wav";

class SoundCues final : public CuePlayer {
  public:
    // The library is bound for the whole run, whatever output is chosen later.
    explicit SoundCues(const FsoundLibrary& library = fsoundLibrary());
    ~SoundCues() override;  // closes, unless Close already ran

    SoundCues(const SoundCues&) = delete;
    SoundCues& operator=(const SoundCues&) = delete;

    // Play in the launcher: sets SoundOn from the choice and, when on, starts the
    // library with the matching output and loads the three cues. Returns false
    // only when the catch cue did not load; the caller then shows
    // kSoundFolderMessage, stores "SoundMode" -1 and ends the program.
    // Call it at most once per run.
    bool Start(SoundChoice choice);

    // Start the cue on any free channel, over whatever is playing, while SoundOn.
    void Suona(Cue cue) override;
    // Stop every channel, while SoundOn.
    void Silenzio() override;

    // Closing the game window: frees the three cues and closes the library,
    // whatever SoundOn is.
    void Close();

    bool soundOn() const { return SoundOn; }
    // The loaded cue, or null.
    const FSOUND_SAMPLE* sample(Cue cue) const;

  private:
    FSOUND_SAMPLE* handle(Cue cue) const;

    const FsoundLibrary& lib_;
    bool closed_ = false;
    bool SoundOn = false;
    FSOUND_SAMPLE* SampleGot = nullptr;
    FSOUND_SAMPLE* SampleMove = nullptr;
    FSOUND_SAMPLE* SampleStart = nullptr;
};

}  // namespace fw
