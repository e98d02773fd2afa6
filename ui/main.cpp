// The program: the game window shown with its power-on pattern.
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include "game_window.h"
#include "pictures.h"
#include "time_sources.h"

#ifdef HAVE_FENWATER_SETTINGS
#include "settings.h"
#endif
#ifdef HAVE_FENWATER_SOUND
#include "sound_cues.h"
#endif

namespace {

#ifndef HAVE_FENWATER_SETTINGS
// Without the settings library the values live for one run only.
class MemoryStore final : public fw::SettingsStore {
  public:
    void Open() override {}
    int ReadInteger(const std::string&, const std::string&, int def) override { return def; }
    void WriteInteger(const std::string&, const std::string&, int) override {}
};
#endif

#ifndef HAVE_FENWATER_SOUND
class Silent final : public fw::CuePlayer {
  public:
    void Suona(fw::Cue) override {}
    void Silenzio() override {}
};
#endif

}  // namespace

int main() {
    // The window is 652 x 443 device pixels on every screen.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // Qt's own command-line options never apply: the program takes none.
    int argc = 1;
    char name[] = "fenwater";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    const QStringList bad = fw::checkBuiltInPictures();
    if (!bad.isEmpty()) {
        QMessageBox::critical(nullptr, QString::fromLatin1(fw::kApplicationTitle),
                              QStringLiteral("Bad built-in pictures:\n") + bad.join('\n'));
        return 1;
    }
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/fenwater.png"));
    app.setWindowIcon(icon);

#ifdef HAVE_FENWATER_SETTINGS
    fw::Settings store;
#else
    MemoryStore store;
#endif
#ifdef HAVE_FENWATER_SOUND
    fw::SoundCues cues;
#else
    Silent cues;
#endif
    fw::SystemTime time;
    fw::TForm1 form(store, cues, time, fw::Pictures::builtIn());
    form.create();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form.move(screen.center() - QPoint(fw::kWindowWidth / 2, fw::kWindowHeight / 2));
    form.show();
    return app.exec();
}
