// The handheld's outside world in a browser: the settings in the page's local storage,
// the cues through the page's audio, the computer's clock, and the page standing in
// for the window. Each calls out to the page's scripts (js/sound.js, js/main.js), which own the
// browser's objects.
#pragma once

#include <functional>
#include <string>

#include "interfaces.h"

namespace fw::web {

// The three whole numbers in local storage, as decimal text, one item a value, the
// value's name matched without regard to case. Storage that cannot be reached at all
// reads defaults and fails each write with the store's key message; a write that the
// browser refuses (quota, a private window) fails with the store's set-data message.
class WebStore final : public SettingsStore {
  public:
    void Open() override {}
    int ReadInteger(const std::string& section, const std::string& name, int def) override;
    void WriteInteger(const std::string& section, const std::string& name, int value) override;
};

// The local storage item that holds a value: the same for every spelling of its name.
std::string storageKey(const std::string& section, const std::string& name);

// The cues, decoded by the page at Play; nothing sounds while sound is off.
class WebCues final : public CuePlayer {
  public:
    void setOn(bool on) { on_ = on; }
    bool on() const { return on_; }
    void Suona(Cue cue) override;
    void Silenzio() override;

  private:
    bool on_ = false;
};

class WebTime final : public TimeSource {
  public:
    LocalTime localTime() override;
    std::uint32_t utcMillisOfDay() override;
};

// The page has no window to move: the handheld's drag of the case keeps its numbers and
// the page stays where it is.
class WebWindow final : public WindowHost {
  public:
    int windowLeft() const override { return left_; }
    int windowTop() const override { return top_; }
    void setWindowLeft(int left) override { left_ = left; }
    void setWindowTop(int top) override { top_ = top; }
    void beep() override;
    // Queued by the page and shown once the handler has unwound.
    void reportStoreError(const std::string& message) override;
    // Told of each store error the handheld reports, first.
    std::function<void()> onStoreError;

  private:
    int left_ = -700;
    int top_ = -500;
};

}  // namespace fw::web
