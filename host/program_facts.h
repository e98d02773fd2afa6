// What the program is called, what it keeps in its store, what its launcher offers and
// what it says, the same in every host: the desktop program, the page and the replay
// tool each take these from here.
#pragma once

#include <iterator>

#include "interfaces.h"

namespace fw {

inline constexpr const char* kApplicationTitle = "Fenwater (Ostrel) Simulator";

// The values the handheld keeps its best scores of game A and game B in.
inline constexpr const char* kBestScoreValues[] = {"HiScoreA", "HiScoreB"};

// The values the program keeps under its own key, besides the two best scores.
inline constexpr const char* kSoundModeValue = "SoundMode";
inline constexpr const char* kWindowScaleValue = "WindowScale";
// 1 when unlit segments are shown faintly; absent or 0, the handheld's own look.
inline constexpr const char* kUnlitSegmentsValue = "UnlitSegments";

// The menu's items for recorded games and the look of the face, after "Reset Hiscores".
inline constexpr const char* kWatchItem = "Watch the last game again";
inline constexpr const char* kSaveItem = "Save this game...";
inline constexpr const char* kShareItem = "Share this game";
inline constexpr const char* kUnlitItem = "Show unlit segments";
// What a replay says of itself, and where: on the case above the LCD (panel pixels:
// left, top, width, height). It shows the end of the game this long before it stops.
inline constexpr const char* kReplaySign = "REPLAY";
inline constexpr const char* kReplayHint = "any key or click stops it";
inline constexpr int kReplaySignRect[4] = {250, 46, 152, 40};
inline constexpr int kReplayEndShownMs = 3000;
// The last game played on the desktop, in the program's data folder, and the ending of
// a saved game's file name.
inline constexpr const char* kLastGameFile = "last-game.fenwater";
inline constexpr const char* kGameFileEnding = ".fenwater";

// The launcher's sound list, in its order: the index of a choice is the number stored
// as "SoundMode", and output is the sound library's output kind Play starts it with
// (FSOUND_OUTPUT_WINMM, FSOUND_OUTPUT_DSOUND; 0 for no sound).
struct SoundChoice {
    const char* text;
    int output;
};
inline constexpr SoundChoice kSoundChoices[] = {
    {"Windows MM", 1}, {"DirectSound", 2}, {"(no sound)", 0}};
inline constexpr int kSoundChoiceCount = int(std::size(kSoundChoices));
// What a stored "SoundMode" of -1 (and a missing one) means: no choice made yet.
inline constexpr int kNoSoundChoice = -1;

// The choice a stored "SoundMode" stands for: the number itself when it names a
// choice, else kNoSoundChoice.
constexpr int soundChoiceOf(int stored) {
    return stored >= 0 && stored < kSoundChoiceCount ? stored : kNoSoundChoice;
}
// The stored choice; throws StoreError as the store's read does.
inline int readSoundChoice(SettingsStore& store) {
    return soundChoiceOf(store.ReadInteger("", kSoundModeValue, kNoSoundChoice));
}
// Stores a choice, or kNoSoundChoice; throws StoreError as the store's write does.
inline void writeSoundChoice(SettingsStore& store, int choice) {
    store.WriteInteger("", kSoundModeValue, choice);
}

// The window's size step a stored "WindowScale" stands for: itself when it is a whole
// number from 1 up, else 1 (a missing, negative or zero value).
constexpr int storedStep(int value) {
    return value >= 1 ? value : 1;
}

// The cue files, relative to the current folder, in the order of the Cue names.
inline constexpr const char* kCueFiles[] = {"SOUND/Got.wav", "SOUND/Move.wav", "SOUND/Start.wav"};
// The text of the error box shown when the catch cue cannot be loaded at Play.
inline constexpr const char* kSoundFolderMessage =
    "Sound folder unproperly installed. Read instructions then reinstall.";

}  // namespace fw
