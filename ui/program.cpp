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
#include "program.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <thread>

#include "about_window.h"
#include "file_ops.h"
#include "game_window.h"
#include "gamepad.h"
#include "launcher.h"
#include "pictures.h"
#include "platform.h"
#include "settings.h"
#include "sound_cues.h"
#include "steady_time.h"
#include "time_sources.h"

// --- No display ---------------------------------------------------------------------
// Qt aborts (SIGABRT) when it can reach no display, after Qt and the window system's
// libraries have printed their reasons. While the application object is built, stderr
// is set aside; a fatal message then becomes one line naming the display that could not
// be reached, and exit status 1. Otherwise what was set aside is passed on.
namespace {

int keptStderr = -1;  // the real stderr while it is set aside
int heldStderr = -1;  // what was written meanwhile
QtMessageHandler qtHandler = nullptr;

void holdStderr() {
    heldStderr = memfd_create("fenwater-stderr", MFD_CLOEXEC);
    if (heldStderr < 0) return;
    std::fflush(stderr);
    keptStderr = fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (keptStderr < 0 || dup2(heldStderr, 2) < 0) {
        close(heldStderr);
        heldStderr = -1;
    }
}

// Puts stderr back; passes on what was held unless `pass` is false.
void releaseStderr(bool pass) {
    if (heldStderr < 0) return;
    std::fflush(stderr);
    dup2(keptStderr, 2);
    char buf[4096];
    lseek(heldStderr, 0, SEEK_SET);
    for (ssize_t n; pass && (n = read(heldStderr, buf, sizeof buf)) > 0;) {
        if (write(2, buf, size_t(n)) != n) break;
    }
    close(heldStderr);
    close(keptStderr);
    heldStderr = keptStderr = -1;
}

void noDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (qtHandler) qtHandler(type, context, text);
        return;
    }
    QStringList named;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            named << QString::fromLatin1(name) + '=' + qEnvironmentVariable(name);
    }
    const QString line =
        named.isEmpty()
            ? QStringLiteral("fenwater: no display: neither DISPLAY nor WAYLAND_DISPLAY is set")
            : QStringLiteral("fenwater: cannot open a window: no display could be reached (") +
                  named.join(QStringLiteral(", ")) + ')';
    releaseStderr(false);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    _exit(1);  // the half-built application must not be torn down
}

// --- Ending -------------------------------------------------------------------------
// Once the program's own objects are gone (the cues freed, the sound closed, every
// setting on disk), only the toolkit's teardown is left. Under Wayland it can wait
// forever for its event thread, which sits in a read of the display connection that
// never returns. Nothing of ours is left to save by then, so the teardown gets a bounded
// time: the normal end runs as before, and a process still there after it ends with the
// status it was going to return. Declared right after the application object, so that it
// is destroyed after everything of ours and before the toolkit.
struct TeardownLimit {
    static constexpr std::chrono::milliseconds kLimit{500};
    int status = 1;
    TeardownLimit() = default;
    TeardownLimit(const TeardownLimit&) = delete;
    TeardownLimit& operator=(const TeardownLimit&) = delete;
    ~TeardownLimit() {
        std::thread([s = status] {
            std::this_thread::sleep_for(kLimit);
            _exit(s);
        }).detach();
    }
};

}  // namespace

namespace fw {

namespace {

// A recorded game read from a file, or a box that says why it cannot be played.
std::optional<Recording> readGameFile(const std::filesystem::path& path, QWidget* parent) {
    const auto text = readSmallFile(path, kMaxRecordingBytes + 1);
    const RecordingRead read =
        text ? readRecording(*text) : RecordingRead{std::nullopt, "the file cannot be read"};
    if (!read.recording)
        QMessageBox::warning(
            parent, QString::fromLatin1(kApplicationTitle),
            QStringLiteral("The game in %1 cannot be played:\n\n%2")
                .arg(QString::fromStdString(path.string()), QString::fromStdString(read.error)));
    return read.recording;
}

}  // namespace

int runProgram(int argc, char** argv, const PadDriver& drivePad) {
    // One argument at most: a saved game to play after Play, named from where the program
    // was started.
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0')) {
        std::fprintf(stderr, "usage: fenwater [GAME%s]\n", kGameFileEnding);
        return 2;
    }
    std::optional<std::filesystem::path> gameFile;
    if (argc == 2) gameFile = std::filesystem::absolute(argv[1]);
    // An installed copy started elsewhere reads its sounds and documents from its data
    // folder, as if started there.
    enterInstalledDataFolder();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    roundUserScaleFactor();
    // Qt's own command-line options never apply.
    int qtArgc = 1;
    char name[] = "fenwater";
    char* qtArgv[] = {name, nullptr};
    holdStderr();
    qtHandler = qInstallMessageHandler(noDisplay);
    QApplication app(qtArgc, qtArgv);
    qInstallMessageHandler(qtHandler);
    releaseStderr(true);
    TeardownLimit ending;
    // The program ends when the game window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);

    const QStringList bad =
        checkBuiltInPictures(pictureScale(app.primaryScreen()->devicePixelRatio()));
    if (!bad.isEmpty()) {
        QMessageBox::critical(nullptr, QString::fromLatin1(kApplicationTitle),
                              QStringLiteral("Bad built-in pictures:\n") + bad.join('\n'));
        return ending.status = 1;
    }
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/fenwater.ico"));
    icon.addFile(QStringLiteral(":/icons/fenwater.png"));
    app.setWindowIcon(icon);

    Settings store;
    SoundCues cues;
    SystemTime systemTime;
    SteadyTime time(systemTime);

    TForm1 form(store, cues, time, Pictures::builtIn());
    time.follow(form.handheld());
    form.setWindowIcon(icon);
    // A settings file that could not be read is set aside when the store opens (or, if
    // one turns up later, at the next write): the player is told once where it went, in a
    // box shown from the event loop, over whatever is on screen then.
    store.onSetAside = [&form](const std::filesystem::path& keptAs) {
        const QString text = QStringLiteral(
                                 "The settings file could not be read, so a new one was started. "
                                 "The old file is kept as:\n\n") +
                             QString::fromStdString(keptAs.string());
        QMetaObject::invokeMethod(
            &form,
            [&form, text] {
                QMessageBox::warning(form.isVisible() ? &form : nullptr,
                                     QString::fromLatin1(kApplicationTitle), text);
            },
            Qt::QueuedConnection);
    };
    form.onClose = [&] {  // FormClose
        cues.Close();
        QCoreApplication::exit(0);
    };
    form.create();
    form.restoreStep();

    TAboutForm about;
    about.setWindowIcon(icon);

    TSplashForm launcher(store, form, about);
    launcher.setWindowIcon(icon);
    static_assert(kSoundChoices[0].output == FSOUND_OUTPUT_WINMM &&
                  kSoundChoices[1].output == FSOUND_OUTPUT_DSOUND &&
                  kSoundChoices[2].output == FSOUND_OUTPUT_NOSOUND);
    launcher.startSound = [&](int mode) { return cues.Start(kSoundChoices[mode].output); };
    launcher.soundFailureText = QString::fromLatin1(kSoundFolderMessage);
    launcher.FormCreate();

    // Every game ends as the last game, kept for the next run too.
    const std::filesystem::path lastGame =
        dataFolder().empty() ? std::filesystem::path() : dataFolder() / kLastGameFile;
    if (const auto text =
            lastGame.empty() ? std::nullopt : readSmallFile(lastGame, kMaxRecordingBytes)) {
        if (RecordingRead read = readRecording(*text); read.recording)
            launcher.setLastGame(*read.recording);
    }
    form.onGameRecorded = [&](const Recording& game) {
        launcher.setLastGame(game);
        if (!lastGame.empty()) writeDataFile(lastGame, recordingText(game));
    };
    // A game named on the command line plays once the game window is up.
    launcher.onPlay = [&] {
        if (!gameFile) return;
        if (const auto game = readGameFile(*gameFile, &form)) form.watch(*game);
    };
    launcher.showAtStart();

    // Game controllers, once the launcher is up: looking for them does not delay it.
    Gamepad pad([&](Control control, bool down) { form.padControl(control, down); });
    std::unique_ptr<QObject> padDriver;  // gone before the pad
    QTimer::singleShot(0, &pad, [&] {
        if (pad.start() && drivePad) padDriver = drivePad(pad);
    });
    return ending.status = app.exec();
}

}  // namespace fw
