// The program: the game window (created first, the main window), the about window and
// the launcher, then the event loop.
//
// Under a window manager the game window stays unmapped until Play instead of waiting
// off-screen, since a manager may pull an off-screen window into view; the launcher is
// raised at start in place of the game window's first activation.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "about_window.h"
#include "game_window.h"
#include "launcher.h"
#include "pictures.h"
#include "settings.h"
#include "sound_cues.h"
#include "time_sources.h"

int main() {
    // The windows are measured in device pixels on every screen.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // Qt's own command-line options never apply: the program takes none.
    int argc = 1;
    char name[] = "fenwater";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // The program ends when the game window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);

    const QStringList bad = fw::checkBuiltInPictures();
    if (!bad.isEmpty()) {
        QMessageBox::critical(nullptr, QString::fromLatin1(fw::kApplicationTitle),
                              QStringLiteral("Bad built-in pictures:\n") + bad.join('\n'));
        return 1;
    }
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/fenwater.ico"));
    icon.addFile(QStringLiteral(":/icons/fenwater.png"));
    app.setWindowIcon(icon);

    fw::Settings store;
    fw::SoundCues cues;
    fw::SystemTime time;

    fw::TForm1 form(store, cues, time, fw::Pictures::builtIn());
    form.setWindowIcon(icon);
    form.onClose = [&] {  // FormClose
        cues.Close();
        QCoreApplication::exit(0);
    };
    form.create();

    fw::TAboutForm about;
    about.setWindowIcon(icon);

    fw::TSplashForm launcher(store, form, about);
    launcher.setWindowIcon(icon);
    static_assert(fw::kSoundItems[0].output == FSOUND_OUTPUT_WINMM &&
                  fw::kSoundItems[1].output == FSOUND_OUTPUT_DSOUND &&
                  fw::kSoundItems[2].output == FSOUND_OUTPUT_NOSOUND);
    launcher.startSound = [&](int mode) { return cues.Start(fw::kSoundItems[mode].output); };
    launcher.soundFailureText = QString::fromLatin1(fw::kSoundFolderMessage);
    launcher.FormCreate();
    launcher.showAtStart();
    return app.exec();
}
