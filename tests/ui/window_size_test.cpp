#include "window_size.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>

#include "program_facts.h"
#include "support.h"

namespace fw::test {
namespace {

TEST(WindowSize, KeysAndTheirModifiers) {
    const auto ctrl = Qt::ControlModifier, keypad = Qt::KeypadModifier, shift = Qt::ShiftModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        SizeKey want;
    } cases[] = {
        {Qt::Key_Plus, ctrl, SizeKey::Larger},
        {Qt::Key_Plus, ctrl | shift, SizeKey::Larger},
        {Qt::Key_Plus, ctrl | keypad, SizeKey::Larger},
        {Qt::Key_Equal, ctrl, SizeKey::Larger},
        {Qt::Key_Minus, ctrl, SizeKey::Smaller},
        {Qt::Key_Minus, ctrl | keypad, SizeKey::Smaller},
        {Qt::Key_0, ctrl, SizeKey::Reset},
        {Qt::Key_F11, Qt::NoModifier, SizeKey::FullScreen},
        {Qt::Key_Return, Qt::AltModifier, SizeKey::FullScreen},
        {Qt::Key_Enter, Qt::AltModifier | keypad, SizeKey::FullScreen},
        // Without Ctrl, or with another modifier too, nothing.
        {Qt::Key_Plus, Qt::NoModifier, SizeKey::None},
        {Qt::Key_Minus, Qt::NoModifier, SizeKey::None},
        {Qt::Key_0, ctrl | Qt::AltModifier, SizeKey::None},
        {Qt::Key_Return, Qt::NoModifier, SizeKey::None},
        {Qt::Key_F11, ctrl, SizeKey::None},
        {Qt::Key_Left, ctrl, SizeKey::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeKey(c.key, c.mods), c.want) << c.key << " " << c.mods.toInt();
}

TEST(WindowSize, StepsThatFitAndStoredValues) {
    const struct {
        QSize available;
        int step;
    } fits[] = {{{652, 443}, 1},   {{1303, 900}, 1},  {{1304, 886}, 2},
                {{3000, 1800}, 4}, {{3840, 2120}, 4}, {{400, 300}, 1}};
    for (const auto& f : fits)
        EXPECT_EQ(largestStep(f.available), f.step) << f.available.width();
    const int stored[][2] = {{1, 1}, {3, 3}, {0, 1}, {-2, 1}, {40, 40}};
    for (const auto& s : stored)
        EXPECT_EQ(storedStep(s[0]), s[1]) << s[0];
}

TEST(WindowSize, FullScreenIsTheLargestWholeScaleCentredOnDevicePixels) {
    const struct {
        QSize screen;
        qreal dpr;
        qreal zoom;
        QPointF origin;
    } cases[] = {
        {{1024, 768}, 1, 1, {186, 162}},                    // 652 x 443 in 1024 x 768
        {{3000, 1800}, 1, 4, {196, 14}},                    // 2608 x 1772
        {{3840, 2160}, 1, 4, {616, 194}},                   // a 4K screen: its height decides
        {{1920, 1080}, 2, 2, {308, 97}},                    // the same at desktop scale 2
        {{1280, 720}, 3, 4.0 / 3, {616 / 3.0, 194 / 3.0}},  // 3840 x 2160 device pixels
        {{500, 300}, 1, 1, {-76, -71}},                     // too small: centred all the same
    };
    for (const auto& c : cases) {
        const PanelPlacement p = fullScreenPlacement(c.screen, c.dpr);
        EXPECT_DOUBLE_EQ(p.zoom, c.zoom) << c.screen.width() << "@" << c.dpr;
        EXPECT_NEAR(p.origin.x(), c.origin.x(), 1e-9) << c.screen.width() << "@" << c.dpr;
        EXPECT_NEAR(p.origin.y(), c.origin.y(), 1e-9) << c.screen.width() << "@" << c.dpr;
        // Whole device pixels: the corner and every panel pixel's edge.
        const qreal dx = p.origin.x() * c.dpr, dy = p.origin.y() * c.dpr;
        EXPECT_DOUBLE_EQ(dx, qRound(dx));
        EXPECT_DOUBLE_EQ(dy, qRound(dy));
        EXPECT_DOUBLE_EQ(p.zoom * c.dpr, qRound(p.zoom * c.dpr));
    }
}

TEST(WindowSize, PanelAndWindowPointsMapBothWays) {
    for (const PanelPlacement& p :
         {stepPlacement(1), stepPlacement(3), PanelPlacement{4, QPointF(196, 14)}}) {
        for (const QPoint panel : {QPoint(0, 0), QPoint(500, 80), QPoint(651, 442)}) {
            const QRect w = p.toWindow(QRect(panel, QSize(1, 1)));
            EXPECT_EQ(w.size(), QSize(int(p.zoom), int(p.zoom)));
            // Every window pixel of a panel pixel maps back to it.
            EXPECT_EQ(p.toPanel(QPointF(w.topLeft())), panel);
            EXPECT_EQ(p.toPanel(QPointF(w.bottomRight()) + QPointF(0.5, 0.5)), panel);
            EXPECT_EQ(p.toPanel(w), QRect(panel, QSize(1, 1)));
        }
        // Left of and above the panel lies outside it, never on its first pixel.
        EXPECT_LT(p.toPanel(p.origin - QPointF(0.5, 0.5)).x(), 0);
    }
}

// The window at a step, through its real event handlers, on the offscreen platform.
struct SizedRig : Rig {
    SizedRig() {
        form->sizes().availableArea = [] { return QRect(0, 0, 3000, 1800); };
        form->setWindowLeft(100);
        form->setWindowTop(50);
    }
    void key(int k, Qt::KeyboardModifiers mods) {
        QKeyEvent press(QEvent::KeyPress, k, mods), release(QEvent::KeyRelease, k, mods);
        QCoreApplication::sendEvent(form.get(), &press);
        QCoreApplication::sendEvent(form.get(), &release);
    }
};

TEST(WindowSize, KeysStepWithinTheScreenAndOnlyChangesAreStored) {
    SizedRig rig;
    TForm1& f = *rig.form;
    const struct {
        int key;
        int step;
    } presses[] = {{Qt::Key_Plus, 2},  {Qt::Key_Equal, 3}, {Qt::Key_Plus, 4},  {Qt::Key_Plus, 4},
                   {Qt::Key_Minus, 3}, {Qt::Key_0, 1},     {Qt::Key_Minus, 1}, {Qt::Key_Equal, 2}};
    std::vector<std::string> writes;
    for (const auto& p : presses) {
        const int before = f.step();
        rig.key(p.key, Qt::ControlModifier);
        EXPECT_EQ(f.step(), p.step) << "after Ctrl+" << p.key << " from " << before;
        EXPECT_EQ(f.size(), QSize(652, 443) * p.step);
        if (p.step != before) writes.push_back("WindowScale=" + std::to_string(p.step));
    }
    EXPECT_EQ(rig.store.writes, writes);
    EXPECT_TRUE(rig.errors.empty());
    EXPECT_EQ(f.handheld().state().GameMode, Mode::PowerOn) << "a size key reached the game";
}

TEST(WindowSize, TheStoredStepIsReadAtStartAndAFailedWriteIsShown) {
    // Odd texts are the end-to-end test's (the real store's parsing); here the store's
    // failures and a step larger than the screen allows.
    const struct {
        const char* text;
        bool badType;
        int step;
    } cases[] = {{"2", false, 2}, {"2", true, 1}, {"9", false, 4}};
    for (const auto& c : cases) {
        SizedRig rig;
        rig.store.values["windowscale"] = c.text;
        if (c.badType) rig.store.badTypes.push_back("WindowScale");
        rig.form->restoreStep();
        EXPECT_EQ(rig.form->step(), c.step) << c.text;
        EXPECT_TRUE(rig.store.writes.empty()) << "reading the step wrote it: " << c.text;
    }
    SizedRig rig;
    rig.store.failWrites = 1;
    rig.form->chooseStep(2);
    EXPECT_EQ(rig.form->step(), 2) << "the window keeps its new size";
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.errors.size(), 1u);
    EXPECT_TRUE(rig.errors[0].contains("WindowScale")) << rig.errors[0].toStdString();
}

TEST(WindowSize, AtAStepTheMouseAndTheDragWorkInPanelPixels) {
    SizedRig rig;
    TForm1& f = *rig.form;
    f.chooseStep(3);
    const QPoint at = QPoint(f.windowLeft(), f.windowTop()) * 3;
    auto mouse = [&](QEvent::Type type, QPoint local, Qt::MouseButtons held) {
        QMouseEvent ev(type, local, local + at + QPoint(1, 2), Qt::LeftButton, held,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(&f, &ev);
    };
    // ACL held blanks the screen: (594, 113) is ACL at every step.
    mouse(QEvent::MouseButtonPress, QPoint(594, 113) * 3 + QPoint(2, 2), Qt::LeftButton);
    EXPECT_EQ(f.capture(), Puls_ACL);
    mouse(QEvent::MouseButtonRelease, QPoint(594, 113) * 3, Qt::NoButton);
    // A drag of the case by 30 x 12 screen pixels moves the window as far.
    const QPoint before = f.pos();
    mouse(QEvent::MouseButtonPress, QPoint(20, 20) * 3, Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(20, 20) * 3 + QPoint(30, 12), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPoint(20, 20) * 3 + QPoint(30, 12), Qt::NoButton);
    EXPECT_EQ(f.pos() - before, QPoint(30, 12));
}

TEST(WindowSize, CtrlAndTheWheelOverTheCaseStepOnceAWholeTurnStep) {
    SizedRig rig;
    TForm1& f = *rig.form;
    auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        const QPointF p(300, 200);
        QWheelEvent ev(p, p, QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase,
                       false);
        QCoreApplication::sendEvent(&f, &ev);
    };
    const struct {
        int delta;
        Qt::KeyboardModifiers mods;
        int step;
    } turns[] = {{120, Qt::ControlModifier, 2},  {60, Qt::ControlModifier, 2},
                 {60, Qt::ControlModifier, 3},   {240, Qt::NoModifier, 3},
                 {-240, Qt::ControlModifier, 1}, {-120, Qt::ControlModifier, 1}};
    for (const auto& t : turns) {
        wheel(t.delta, t.mods);
        EXPECT_EQ(f.step(), t.step) << t.delta;
    }
}

}  // namespace
}  // namespace fw::test
