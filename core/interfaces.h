// The narrow interfaces through which the handheld reaches the outside world.
// The core declares them; the real program implements them (settings/, sound/, ui/),
// and so do the stand-ins that the tests, the benchmarks and the replay tool use
// (stand_ins/).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace fw {

// A failure of the settings store. The message is the text shown to the user,
// e.g. "Failed to set data for 'HiScoreA'". It ends the handler that made the call.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The per-user store of whole numbers (best scores, sound output).
// Value names are matched without regard to case; an empty section is the key itself.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Opens (creating when missing) the store's key. Never reports a failure:
    // a store that cannot be opened reads defaults and fails on each write.
    virtual void Open() = 0;
    // The stored whole number, or def when the value is missing or not a number.
    // Throws StoreError for a value of another type or unreadable data.
    virtual int ReadInteger(const std::string& section, const std::string& name, int def) = 0;
    // Stores value as decimal text under name. Throws StoreError on failure.
    virtual void WriteInteger(const std::string& section, const std::string& name, int value) = 0;
    // Stores value as WriteInteger does, unless the value stored now is a greater whole
    // number no greater than highest: that one stays. Used for best scores, so that a lower
    // score never replaces a higher one another copy of the program stored meanwhile,
    // while a stored number no game can reach (highest is the greatest that one can) never
    // stands in a real score's way. A store shared between programs reads and writes under
    // one lock; this default suits a store of one program.
    virtual void RaiseInteger(const std::string& section, const std::string& name, int value,
                              int highest) {
        if (keepsStored(ReadInteger(section, name, value), value, highest)) return;
        WriteInteger(section, name, value);
    }

    // Whether RaiseInteger leaves a stored number as it is.
    static bool keepsStored(int stored, int value, int highest) {
        return stored > value && stored <= highest;
    }
};

// The three sound cues.
enum class Cue { Got, Move, Start };

// Plays and stops cues. The real implementation does nothing while sound is off.
class CuePlayer {
  public:
    virtual ~CuePlayer() = default;
    virtual void Suona(Cue cue) = 0;  // start the cue on a free channel
    virtual void Silenzio() = 0;      // stop every playing cue
};

struct LocalTime {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
};

// The computer's clock: local time for the clock display, UTC for the random seed.
class TimeSource {
  public:
    virtual ~TimeSource() = default;
    virtual LocalTime localTime() = 0;
    // Milliseconds elapsed since midnight UTC, 0..86'399'999.
    virtual std::uint32_t utcMillisOfDay() = 0;
};

// What the handheld asks of the window that shows it.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual int windowLeft() const = 0;
    virtual int windowTop() const = 0;
    virtual void setWindowLeft(int left) = 0;
    virtual void setWindowTop(int top) = 0;
    virtual void beep() = 0;
    // A handler was ended by a store error; the host shows it once the handler has unwound.
    virtual void reportStoreError(const std::string& message) = 0;
};

}  // namespace fw
