#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include "keys.h"
#include "support.h"

namespace fw::test {
namespace {

void key(TForm1& f, QEvent::Type type, int k, bool autoRepeat = false,
         Qt::KeyboardModifiers mods = Qt::NoModifier, std::uint64_t timestamp = 0) {
    QKeyEvent ev(type, k, mods, QString(), autoRepeat);
    ev.setTimestamp(timestamp);
    QCoreApplication::sendEvent(&f, &ev);
}

// Lets a held-back key release through. qWait may end on a sleep, with the release's
// timer due but not yet run (the process stalled past the margin): one more pass runs it.
void settle() {
    QTest::qWait(TForm1::kRepeatPairWaitMs + 20);
    QCoreApplication::processEvents();
}

void mouse(TForm1& f, QEvent::Type type, QPoint local, Qt::MouseButton button,
           Qt::MouseButtons held) {
    const QPointF global = local + QPoint(f.windowLeft(), f.windowTop());
    QMouseEvent ev(type, local, global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &ev);
}
void press(TForm1& f, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    mouse(f, QEvent::MouseButtonPress, p, b, b);
}
void release(TForm1& f, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    mouse(f, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}
void moveTo(TForm1& f, QPoint p, Qt::MouseButtons held) {
    mouse(f, QEvent::MouseMove, p, Qt::NoButton, held);
}

const QPoint kTime(500, 80), kAcl(594, 113), kLeft(90, 360), kRight(540, 350), kAlarm(545, 95);

TEST(Keys, OnlyTheArrowsGiveTheArrowCodes) {
    const struct {
        int qt, vk;
    } cases[] = {
        {Qt::Key_Left, 37},           {Qt::Key_Right, 39},
        {Qt::Key_Percent, kKeyOther}, {Qt::Key_Apostrophe, kKeyOther},
        {Qt::Key_Up, kKeyOther},      {Qt::Key_4, kKeyOther},
        {Qt::Key_6, kKeyOther},       {Qt::Key_Escape, kKeyOther},
        {Qt::Key_F1, kKeyOther},      {Qt::Key_A, kKeyOther},
    };
    for (const auto& c : cases)
        EXPECT_EQ(virtualKey(c.qt), c.vk) << c.qt;
    EXPECT_NE(kKeyOther, kKeyLeft);
    EXPECT_NE(kKeyOther, kKeyRight);
}

TEST(Keys, AutoRepeatGivesRepeatedKeyDownsAndOneKeyUp) {
    Rig rig;
    Handheld& h = rig.form->handheld();
    key(*rig.form, QEvent::KeyPress, Qt::Key_Left);
    for (int i = 0; i < 3; ++i) {
        key(*rig.form, QEvent::KeyRelease, Qt::Key_Left, true);
        EXPECT_FALSE(h.panel().shown(Puls_Left)) << "an auto-repeat release reached the game";
        EXPECT_TRUE(h.state().KeyLatch);
        key(*rig.form, QEvent::KeyPress, Qt::Key_Left, true);
    }
    EXPECT_EQ(h.state().GameMode, Mode::GameA);
    key(*rig.form, QEvent::KeyRelease, Qt::Key_Left);
    settle();
    EXPECT_TRUE(h.panel().shown(Puls_Left));
    EXPECT_FALSE(h.state().KeyLatch);
    // Once the figure stands (150 ms on), a repeated key-down moves it like any other.
    rig.clock += 200;
    key(*rig.form, QEvent::KeyPress, Qt::Key_Right, true);
    EXPECT_EQ(h.state().ManPos, 3);
}

TEST(Keys, AnUnmarkedRepeatPairIsStillARepeat) {
    // Under load Qt may leave a repeat pair unmarked; its shared timestamp gives it away.
    Rig rig;
    Handheld& h = rig.form->handheld();
    key(*rig.form, QEvent::KeyPress, Qt::Key_Right, false, {}, 100);
    rig.clock += 200;  // the figure stands at the middle
    key(*rig.form, QEvent::KeyRelease, Qt::Key_Left, false, {}, 150);  // another key
    settle();
    EXPECT_FALSE(h.state().KeyLatch);
    key(*rig.form, QEvent::KeyPress, Qt::Key_Left, false, {}, 700);
    EXPECT_EQ(h.state().ManPos, 1);
    for (std::uint64_t t = 740; t < 1000; t += 40) {
        key(*rig.form, QEvent::KeyRelease, Qt::Key_Left, false, {}, t);
        key(*rig.form, QEvent::KeyPress, Qt::Key_Left, false, {}, t);
        settle();
        EXPECT_TRUE(h.state().KeyLatch) << "a repeat pair at " << t << " counted as a release";
        EXPECT_FALSE(h.panel().shown(Puls_Left));
    }
    // A real release and a quick new press: both count, in their order.
    key(*rig.form, QEvent::KeyRelease, Qt::Key_Left, false, {}, 1200);
    key(*rig.form, QEvent::KeyPress, Qt::Key_Right, false, {}, 1210);
    EXPECT_EQ(h.state().ManPos, 2);
    key(*rig.form, QEvent::KeyRelease, Qt::Key_Right, false, {}, 1300);
    EXPECT_FALSE(h.panel().shown(Puls_Right)) << "the release waits for a possible pair";
    settle();
    EXPECT_TRUE(h.panel().shown(Puls_Right));
    EXPECT_FALSE(h.state().KeyLatch);
}

TEST(Keys, OtherKeysNeverReachTheGameAsArrowsAndModifiersDoNotMatter) {
    {
        Rig rig;
        for (int k : {int(Qt::Key_Percent), int(Qt::Key_Apostrophe), int(Qt::Key_Up)}) {
            key(*rig.form, QEvent::KeyPress, k);
            key(*rig.form, QEvent::KeyRelease, k);
        }
        EXPECT_EQ(rig.form->handheld().state().GameMode, Mode::PowerOn);
        EXPECT_EQ(rig.cues.played(), 0);
    }
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        Mode mode;
    } cases[] = {{Qt::Key_Left, Qt::KeypadModifier, Mode::GameA},
                 {Qt::Key_Right, Qt::KeypadModifier | Qt::ShiftModifier, Mode::GameB},
                 {Qt::Key_Right, Qt::ControlModifier, Mode::GameB}};
    for (const auto& c : cases) {
        Rig rig;
        key(*rig.form, QEvent::KeyPress, c.key, false, c.mods);
        EXPECT_EQ(rig.form->handheld().state().GameMode, c.mode);
    }
}

TEST(Capture, TheReleaseReachesThePressedButtonWhereverItHappens) {
    const struct {
        const char* what;
        QPoint at;
        Element button;
        QPoint releaseAt;
    } cases[] = {
        {"TIME, released in place (the press hid it)", kTime, Puls_Time, kTime},
        {"TIME, released over the case", kTime, Puls_Time, {100, 100}},
        {"TIME, released outside the window", kTime, Puls_Time, {-40, 900}},
        {"ACL, released in place", kAcl, Puls_ACL, kAcl},
        {"ACL, released over the LCD", kAcl, Puls_ACL, {300, 200}},
    };
    for (bool placesItself : {true, false})
        for (const auto& c : cases) {
            SCOPED_TRACE(placesItself ? "the window places itself" : "the compositor places it");
            Rig rig;
            rig.form->place().setPlacesItself(placesItself);
            Handheld& h = rig.form->handheld();
            const QPoint start(rig.form->windowLeft(), rig.form->windowTop());
            press(*rig.form, c.at);
            EXPECT_FALSE(h.panel().shown(c.button)) << c.what;
            EXPECT_EQ(rig.form->capture(), c.button) << c.what;
            moveTo(*rig.form, c.releaseAt, Qt::LeftButton);
            release(*rig.form, c.releaseAt);
            EXPECT_TRUE(h.panel().shown(c.button)) << c.what;
            EXPECT_FALSE(rig.form->capture()) << c.what;
            EXPECT_EQ(h.state().GameMode, c.button == Puls_Time ? Mode::Clock : Mode::PowerOn)
                << c.what;
            EXPECT_EQ(QPoint(rig.form->windowLeft(), rig.form->windowTop()), start)
                << c.what << ": a button press dragged the window";
        }
}

TEST(Capture, OtherButtonsOnTimeChangeNothingAndHoldNoCapture) {
    Rig rig;
    Handheld& h = rig.form->handheld();
    for (auto b : {Qt::RightButton, Qt::MiddleButton}) {
        press(*rig.form, kTime, b);
        EXPECT_TRUE(h.panel().shown(Puls_Time));
        EXPECT_FALSE(rig.form->capture());
        release(*rig.form, kTime, b);
        EXPECT_EQ(h.state().GameMode, Mode::PowerOn);
    }
}

TEST(Capture, HiddenElementsReceiveNothing) {
    // A press records the drag point relative to the element that got it: over a
    // hidden element the case gets it, in window coordinates.
    Rig rig;
    Handheld& h = rig.form->handheld();
    press(*rig.form, kLeft, Qt::RightButton);
    EXPECT_EQ(h.state().DragX, 0) << "the shown GAME A button does not take the press for the case";
    release(*rig.form, kLeft, Qt::RightButton);
    key(*rig.form, QEvent::KeyPress, Qt::Key_Left);  // hides Puls_Left while held
    press(*rig.form, kLeft, Qt::RightButton);
    EXPECT_EQ(QPoint(h.state().DragX, h.state().DragY), kLeft);
    release(*rig.form, kLeft, Qt::RightButton);
    press(*rig.form, {5, 405}, Qt::RightButton);  // over the never shown Im_Num0
    EXPECT_EQ(QPoint(h.state().DragX, h.state().DragY), QPoint(5, 405));
    release(*rig.form, {5, 405}, Qt::RightButton);
    press(*rig.form, {230, 160}, Qt::RightButton);  // over a lit figure: the LCD window gets it
    EXPECT_EQ(QPoint(h.state().DragX, h.state().DragY), QPoint(230 - 174, 160 - 134));
}

// Where the window places itself the core drags it; where the compositor places
// windows, the same drag is handed to the compositor on the first movement.
TEST(Capture, DraggingMovesTheWindowOnlyFromTheCaseOrTheLcdWithTheLeftButton) {
    const struct {
        const char* what;
        QPoint from;
        Qt::MouseButton button;
        QPoint shift;  // how far the window must move for a pointer move of (15, 7)
    } cases[] = {
        {"case", {20, 20}, Qt::LeftButton, {15, 7}},
        {"LCD window", {300, 200}, Qt::LeftButton, {15, 7}},
        {"case, right button", {20, 20}, Qt::RightButton, {0, 0}},
        {"GAME B button", kRight, Qt::LeftButton, {0, 0}},
        {"ALARM area", kAlarm, Qt::LeftButton, {0, 0}},
        {"TIME button", kTime, Qt::LeftButton, {0, 0}},
    };
    for (bool placesItself : {true, false})
        for (const auto& c : cases) {
            SCOPED_TRACE(placesItself ? "the window places itself" : "the compositor places it");
            Rig rig;
            TForm1& f = *rig.form;
            f.place().setPlacesItself(placesItself);
            int systemMoves = 0;
            f.place().startSystemMove = [&] { return ++systemMoves, true; };
            const QPoint start(f.windowLeft(), f.windowTop());
            press(f, c.from, c.button);
            EXPECT_EQ(systemMoves, 0) << c.what << ": a press alone stays a click";
            // Screen coordinates stay put while the window moves under the pointer.
            const QPoint screen = start + c.from + QPoint(15, 7);
            for (int i = 0; i < 3; ++i)
                moveTo(f, screen - QPoint(f.windowLeft(), f.windowTop()), c.button);
            const bool drags = c.shift != QPoint(0, 0);
            EXPECT_EQ(QPoint(f.windowLeft(), f.windowTop()) - start,
                      placesItself ? c.shift : QPoint(0, 0))
                << c.what;
            EXPECT_EQ(systemMoves, !placesItself && drags ? 1 : 0) << c.what;
            if (!placesItself && drags) {
                EXPECT_FALSE(f.capture()) << c.what << ": still captured";
            }
            release(f, screen - QPoint(f.windowLeft(), f.windowTop()), c.button);
            EXPECT_EQ(f.handheld().state().GameMode, c.from == kTime ? Mode::Clock : Mode::PowerOn)
                << c.what;
        }
}

TEST(Capture, LosingTheWindowReleasesTheHeldButton) {
    Rig rig;
    press(*rig.form, kAcl);
    EXPECT_EQ(rig.form->handheld().panel().draws(Im_Man1), false);  // blank while held
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(rig.form.get(), &deactivate);
    EXPECT_TRUE(rig.form->handheld().panel().shown(Puls_ACL));
    EXPECT_TRUE(rig.form->handheld().panel().shown(Im_Man1));  // the release restored power-on
    release(*rig.form, kAcl);                                  // the real release: nothing more
    EXPECT_EQ(rig.form->handheld().state().GameMode, Mode::PowerOn);
}

}  // namespace
}  // namespace fw::test

namespace fw::test {
namespace {

TEST(Hints, PointerShapesAndHintsFollowTheElementUnderThePointer) {
    Rig rig;
    TForm1& f = *rig.form;
    const struct {
        QPoint at;
        Qt::CursorShape shape;
        const char* hint;  // nullptr: none
    } cases[] = {
        {kTime, Qt::PointingHandCursor, "Click to view current time (hold to view alarm time)"},
        {kAcl, Qt::PointingHandCursor, "Click to reset game"},
        {kLeft, Qt::WhatsThisCursor, "Use left arrow key to start/move left"},
        {kRight, Qt::WhatsThisCursor, "Use right arrow key to start/move right"},
        {kAlarm, Qt::WhatsThisCursor, "Button disabled"},
        {{20, 20}, Qt::ArrowCursor, nullptr},
        {{300, 200}, Qt::ArrowCursor, nullptr},
    };
    f.show();
    for (const auto& c : cases) {
        moveTo(f, c.at, Qt::NoButton);
        EXPECT_EQ(f.cursor().shape(), c.shape) << c.at.x() << "," << c.at.y();
        QHelpEvent help(QEvent::ToolTip, c.at, c.at + QPoint(f.windowLeft(), f.windowTop()));
        QCoreApplication::sendEvent(&f, &help);
        EXPECT_EQ(help.isAccepted(), c.hint != nullptr) << c.at.x() << "," << c.at.y();
        if (c.hint) {
            EXPECT_EQ(QToolTip::text(), QString::fromLatin1(c.hint));
        }
        QToolTip::hideText();
    }
}

}  // namespace
}  // namespace fw::test
