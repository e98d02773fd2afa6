// The program: the game window (created first, the main window), the about window and
// the launcher, then the event loop.
//
// Under a window manager the game window stays unmapped until Play instead of waiting
// off-screen, since a manager may pull an off-screen window into view; the launcher is
// raised at start in place of the game window's first activation.
//
// Qt picks the platform (X11 or Wayland) and the scale: every window keeps its size in
// logical pixels and is shown 2 or 3 times as large on a high-density screen, the
// desktop's scale rounded to a whole number.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include "about_window.h"
#include "game_window.h"
#include "launcher.h"
#include "pictures.h"
#include "platform.h"
#include "settings.h"
#include "sound_cues.h"
#include "time_sources.h"

int main() {
    // An installed copy started elsewhere reads its sounds and documents from its data
    // folder, as if started there.
    fw::enterInstalledDataFolder();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    fw::roundUserScaleFactor();
    // Qt's own command-line options never apply: the program takes none.
    int argc = 1;
    char name[] = "fenwater";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // The program ends when the game window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);

    const QStringList bad =
        fw::checkBuiltInPictures(fw::pictureScale(app.primaryScreen()->devicePixelRatio()));
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
    launcher.startSound = [&](int mode) { return cues.Start(static_cast<fw::SoundChoice>(mode)); };
    launcher.soundFailureText = QString::fromLatin1(fw::kSoundFolderMessage);
    launcher.FormCreate();
    launcher.showAtStart();
    return app.exec();
}
