#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "about_window.h"
#include "launcher.h"
#include "support.h"
#include "test_seam.h"

namespace fw::test {
namespace {

// The three windows as the program builds them, with every way out recorded.
struct Shell {
    explicit Shell(std::optional<int> storedMode = std::nullopt, bool badType = false) {
        if (storedMode) game.store.set("SoundMode", *storedMode);
        if (badType) game.store.badTypes = {"SoundMode"};
        Rig& g = game;
        g.form->onClose = [this] { ++closed; };
        g.form->beeper = [this] { ++beeps; };
        launcher.startSound = [this](int mode) {
            started.push_back(mode);
            return soundLoads;
        };
        launcher.openUrl = [this](const QUrl& url) { opened.push_back(url.toString()); };
        launcher.errorBox = [this](const QString& caption, const QString& text) {
            boxes.push_back(caption + ": " + text);
        };
        launcher.terminate = [this] { ++terminated; };
        launcher.soundFailureText = QStringLiteral("no sound folder");
        launcher.FormCreate();
        launcher.showAtStart();
    }
    Rig game;
    TAboutForm about;
    TSplashForm launcher{game.store, *game.form, about};
    bool soundLoads = true;
    std::vector<int> started;
    std::vector<QString> opened, boxes;
    int closed = 0, beeps = 0, terminated = 0;
};

void pick(TSplashForm& l, int index) {
    l.CB_Sound->setCurrentIndex(index);
    emit l.CB_Sound->activated(index);
}

TEST(Launcher, TheStoredSoundModeSelectsTheListItem) {
    const struct {
        std::optional<int> stored;
        int index;
    } cases[] = {{std::nullopt, -1}, {0, 0}, {1, 1}, {2, 2}, {7, -1}, {-1, -1}, {3, -1}};
    for (const auto& c : cases) {
        Shell s(c.stored);
        EXPECT_EQ(s.launcher.CB_Sound->currentIndex(), c.index) << c.stored.value_or(-99);
        EXPECT_EQ(s.launcher.Puls_Play->isEnabled(), c.index >= 0) << c.stored.value_or(-99);
        EXPECT_EQ(s.launcher.CB_Sound->count(), 3);
    }
}

TEST(Launcher, FirstRunPlayIsDisabledUntilAnItemIsPicked) {
    Shell s;
    EXPECT_FALSE(s.launcher.Puls_Play->isEnabled());
    pick(s.launcher, 1);
    EXPECT_TRUE(s.launcher.Puls_Play->isEnabled());
}

TEST(Launcher, PlayStoresTheChoiceStartsSoundAndBringsUpTheGame) {
    const struct {
        const char* what;
        std::optional<int> stored;
        int pick;  // -1: keep the stored selection
        std::vector<int> started;
        std::vector<std::string> writes;
    } cases[] = {
        {"Windows MM", std::nullopt, 0, {0}, {"SoundMode=0"}},
        {"DirectSound", std::nullopt, 1, {1}, {"SoundMode=1"}},
        {"no sound: no library call", std::nullopt, 2, {}, {"SoundMode=2"}},
        {"stored DirectSound, Play at once", 1, -1, {1}, {"SoundMode=1"}},
    };
    for (const auto& c : cases) {
        Shell s(c.stored);
        if (c.pick >= 0) pick(s.launcher, c.pick);
        QTest::mouseClick(s.launcher.Puls_Play, Qt::LeftButton);
        EXPECT_EQ(s.started, c.started) << c.what;
        EXPECT_EQ(s.game.store.writes, c.writes) << c.what;
        EXPECT_TRUE(s.game.form->isVisible()) << c.what;
        EXPECT_GE(s.game.form->windowLeft(), 0) << c.what << ": still off-screen";
        EXPECT_FALSE(s.launcher.isVisible()) << c.what;
        EXPECT_TRUE(s.launcher.played()) << c.what;
        EXPECT_TRUE(s.boxes.empty()) << c.what;
        EXPECT_EQ(s.terminated, 0) << c.what;
    }
}

TEST(Launcher, AMissingCatchCueShowsItsErrorForgetsTheChoiceAndEnds) {
    Shell s;
    s.soundLoads = false;
    pick(s.launcher, 0);
    s.launcher.Puls_PlayClick();
    EXPECT_EQ(s.boxes, std::vector<QString>{"Error: no sound folder"});
    EXPECT_EQ(s.game.store.writes, (std::vector<std::string>{"SoundMode=0", "SoundMode=-1"}));
    EXPECT_EQ(s.terminated, 1);
    EXPECT_FALSE(s.game.form->isVisible());
    EXPECT_TRUE(s.launcher.isVisible());
}

TEST(Launcher, AnUnwritableSoundModeShowsTheStoreErrorAndPlayGoesOn) {
    Shell s;
    s.game.store.failWrites = 1;
    pick(s.launcher, 2);
    s.launcher.Puls_PlayClick();
    EXPECT_EQ(s.game.errors, std::vector<QString>{"Failed to set data for 'SoundMode'"});
    EXPECT_TRUE(s.game.form->isVisible());
    EXPECT_FALSE(s.launcher.isVisible());
}

TEST(Launcher, ASoundModeOfAnotherTypeEndsFormCreateAndPlayThenMatchesNothing) {
    Shell s(std::nullopt, true);
    QCoreApplication::processEvents();  // the error box is shown from the event loop
    EXPECT_EQ(s.game.errors, std::vector<QString>{"Invalid data type for 'SoundMode'"});
    EXPECT_EQ(s.launcher.CB_Sound->currentIndex(), -1);
    EXPECT_TRUE(s.launcher.Puls_Play->isEnabled()) << "the handler ended before disabling Play";
    s.launcher.Puls_PlayClick();
    EXPECT_TRUE(s.started.empty()) << "no text matched: sound stays off";
    EXPECT_TRUE(s.game.store.writes.empty());
    EXPECT_TRUE(s.game.form->isVisible());
    EXPECT_FALSE(s.launcher.isVisible());
}

TEST(Launcher, ClosingItBeforePlayIsExitAfterPlayNothingCloses) {
    {
        Shell s;
        s.launcher.close();
        QCoreApplication::processEvents();
        EXPECT_EQ(s.closed, 1);
    }
    Shell s(2);
    s.launcher.Puls_PlayClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(s.closed, 0);
}

TEST(Menu, ShortcutsOnTheGameWindow) {
    Shell s(2);
    s.launcher.Puls_PlayClick();
    TForm1& f = *s.game.form;
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));

    QTest::keyClick(&f, Qt::Key_F4);  // disabled item
    EXPECT_TRUE(s.opened.empty());
    QTest::keyClick(&f, Qt::Key_F2);
    QTest::keyClick(&f, Qt::Key_F3);
    ASSERT_EQ(s.opened.size(), 2u);
    EXPECT_TRUE(s.opened[0].endsWith("/readme.txt"));
    EXPECT_TRUE(s.opened[1].endsWith("/whatsnew.txt"));

    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_TRUE(s.about.isVisible());
    EXPECT_EQ(s.about.pos(), QPoint(0, 0));
    EXPECT_EQ(s.about.size(), QSize(275, 224));
    s.about.close();
    EXPECT_FALSE(s.about.isVisible());
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_TRUE(s.about.isVisible()) << "the about window shows again";
    s.about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.about));
    QTest::keyClick(&s.about, Qt::Key_Escape);
    EXPECT_EQ(s.closed, 0) << "Esc in the about window ends nothing";
    EXPECT_TRUE(s.about.isVisible());

    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_EQ(s.closed, 0);
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_EQ(s.closed, 1) << "Esc closes the game window at once";
    EXPECT_EQ(s.game.form->handheld().state().GameMode, Mode::PowerOn)
        << "Esc never reached the game";
}

TEST(Menu, ResetHiscoresWritesBothBeepsOnceAndLeavesAGameRunning) {
    Shell s(2);
    s.launcher.Puls_PlayClick();
    Handheld& h = s.game.form->handheld();
    HandheldTestSeam(h).setBestScores(40, 12);
    h.keyDown(kKeyRight);  // game B under way
    s.game.store.writes.clear();
    s.launcher.PM_8Hiscore->trigger();
    EXPECT_EQ(s.game.store.writes, (std::vector<std::string>{"HiScoreA=0", "HiScoreB=0"}));
    EXPECT_EQ(s.beeps, 1);
    EXPECT_EQ(h.state().HiScoreA, 0);
    EXPECT_EQ(h.state().HiScoreB, 0);
    EXPECT_TRUE(h.state().Playing);
    EXPECT_EQ(h.state().GameMode, Mode::GameB);
}

TEST(Menu, TheRightReleaseOpensItAfterAHeldLeftButtonIsReleased) {
    Shell s(2);
    s.launcher.Puls_PlayClick();
    TForm1& f = *s.game.form;
    const QPoint time(500, 80), origin(f.windowLeft(), f.windowTop());
    auto send = [&](QEvent::Type type, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent ev(type, time, time + origin, b, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&f, &ev);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(f.handheld().panel().shown(Puls_Time));
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_FALSE(s.launcher.PM_Menu->isVisible()) << "the press does not open it";
    send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton);
    EXPECT_TRUE(s.launcher.PM_Menu->isVisible());
    ASSERT_TRUE(s.launcher.PM_Menu->windowHandle());
    EXPECT_EQ(s.launcher.PM_Menu->windowHandle()->transientParent(), f.windowHandle())
        << "a popup of the hidden launcher, not of the game window";
    EXPECT_TRUE(f.handheld().panel().shown(Puls_Time)) << "TIME got its release first";
    EXPECT_FALSE(f.capture());
    EXPECT_EQ(f.handheld().state().GameMode, Mode::Clock);
    s.launcher.PM_Menu->hide();
}

// The menu's items for the last game and the look: Watch and Save appear once a game has
// ended; Watch is refused while a game is under way and plays the game in the window
// otherwise; Save writes the recording where the player says; the look is stored.
TEST(Menu, TheLastGameIsWatchedAndSavedAndTheLookIsStored) {
    Shell s(2);
    s.launcher.Puls_PlayClick();
    TForm1& f = *s.game.form;
    EXPECT_FALSE(s.launcher.PM_Watch->isVisible());
    EXPECT_FALSE(s.launcher.PM_Save->isVisible());
    f.handle([&] { f.handheld().keyDown(kKeyLeft); });
    f.handle([&] { f.handheld().mouseDown(Puls_ACL, MouseButton::Left, 5, 5); });
    f.handle([&] { f.handheld().mouseUp(Puls_ACL, MouseButton::Left, 5, 5); });
    std::optional<Recording> game;
    f.onGameRecorded = [&](const Recording& r) { game = r; };
    f.handle([&] { f.handheld().keyDown(kKeyRight); });
    emit s.launcher.PM_Menu->aboutToShow();
    EXPECT_FALSE(s.launcher.PM_Watch->isEnabled()) << "a game is under way";
    f.handle([&] { f.handheld().mouseDown(Puls_ACL, MouseButton::Left, 5, 5); });
    ASSERT_TRUE(game) << "ACL ends the game and its recording";
    s.launcher.setLastGame(*game);
    f.handle([&] { f.handheld().mouseUp(Puls_ACL, MouseButton::Left, 5, 5); });
    emit s.launcher.PM_Menu->aboutToShow();
    EXPECT_TRUE(s.launcher.PM_Watch->isVisible() && s.launcher.PM_Watch->isEnabled());
    s.launcher.PM_Watch->trigger();
    EXPECT_TRUE(f.watching());
    f.stopWatching();

    QTemporaryDir dir;
    s.launcher.chooseSaveFile = [&] { return dir.filePath(QStringLiteral("mine")); };
    s.launcher.PM_Save->trigger();
    QFile saved(dir.filePath(QStringLiteral("mine.fenwater")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << "saved with its ending";
    EXPECT_EQ(readRecording(saved.readAll().toStdString()).recording, game);
    s.launcher.chooseSaveFile = [] { return QStringLiteral("/no/such/folder/x"); };
    s.launcher.PM_Save->trigger();
    ASSERT_EQ(s.boxes.size(), 1u) << "a game that cannot be saved says so";

    s.game.store.writes.clear();
    for (const Look look : {Look::UnlitFaint, Look::LitOnly}) {
        s.launcher.PM_Unlit->trigger();
        EXPECT_EQ(f.look(), look);
    }
    EXPECT_EQ(s.game.store.writes,
              (std::vector<std::string>{"UnlitSegments=1", "UnlitSegments=0"}));
}

}  // namespace
}  // namespace fw::test
