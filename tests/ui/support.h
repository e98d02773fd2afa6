// Stand-ins for the world outside the ui: store, cues, clock, and pictures written
// on the fly with known pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game_window.h"
#include "interfaces.h"
#include "pictures.h"

namespace fw::test {

class FakeStore : public SettingsStore {
  public:
    void Open() override {}
    int ReadInteger(const std::string&, const std::string& name, int def) override;
    void WriteInteger(const std::string&, const std::string& name, int value) override;
    std::map<std::string, int> values;    // by lower-case name
    std::vector<std::string> failWrites;  // names whose write throws
    std::vector<std::string> badTypes;    // names stored as another type than text
    std::vector<std::string> writes;
};

class FakeCues : public CuePlayer {
  public:
    void Suona(Cue) override { ++played; }
    void Silenzio() override { ++silenced; }
    int played = 0, silenced = 0;
};

class FakeTime : public TimeSource {
  public:
    LocalTime localTime() override {
        ++localReads;
        return local;
    }
    std::uint32_t utcMillisOfDay() override { return 12345; }
    LocalTime local{10, 30};
    int localReads = 0;
};

// A 1-bit BMP file. pixel(x, y) gives the palette index (0 or 1) of each pixel.
struct BmpSpec {
    int width = 8, height = 8;
    QRgb entry0 = qRgb(0, 0, 0), entry1 = qRgb(255, 255, 255);
    int bitsPerPixel = 1;
    bool topDown = false;
};
QByteArray bmpBytes(const BmpSpec& bmp, const std::function<int(int, int)>& index);
QByteArray jpegBytes(const QImage& image, int quality = 90);

// Writes a full set of panel pictures drawn for scale with varied pixels into dir; the
// pattern follows the device pixels, so a scaled picture is no enlargement of another.
void writeFakePictures(const QString& dir, int scale = 1);

// The pictures of writeFakePictures at scale 1, loaded once per test program; the same
// folder holds them at scale 2 too, but not at scale 3.
const Pictures& fakePictures();

// A game window with stand-ins, its handheld created (power-on pattern).
struct Rig {
    explicit Rig(bool created = true);
    FakeStore store;
    FakeCues cues;
    FakeTime time;
    std::int64_t clock = 100'000;  // the host's monotonic milliseconds
    std::vector<QString> errors;   // store errors shown
    std::unique_ptr<TForm1> form;
};

}  // namespace fw::test
