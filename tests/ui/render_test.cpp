#include "render.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "support.h"
#include "test_seam.h"

namespace fw::test {
namespace {

// What a device pixel must be: black where some drawn segment or digit place has a
// black pixel, otherwise the pixel of the topmost drawn full-colour picture beneath;
// with the pictures drawn for the device's scale, one picture pixel a device pixel.
QRgb expectedPixel(const Panel& panel, const Pictures& pics, int x, int y) {
    const int s = pics.scale();
    QRgb under = qRgb(255, 255, 255);
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const Rect& r = info(e).rect;
        if (!panel.draws(e) || !r.contains(x / s, y / s)) continue;
        const int px = x - r.left * s, py = y - r.top * s;
        if (info(e).picture == PictureKind::Jpeg) {
            under = pics.of(e).pixel(px, py);
            continue;
        }
        Element source = panel.pictureSource(e);
        if (const int k = Panel::placeOf(e))
            source = static_cast<Element>(Im_Num0 + panel.digit(k));
        if (qAlpha(pics.of(source).pixel(px, py)) == 255) return qRgb(0, 0, 0);
    }
    return under;
}

void expectRendered(const Panel& panel, const Pictures& pics, const QImage& img, const char* what) {
    const int s = pics.scale();
    ASSERT_EQ(img.size(), QSize(kWindowWidth * s, kWindowHeight * s)) << what;
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb want = expectedPixel(panel, pics, x, y), got = img.pixel(x, y) | 0xff000000u;
            if (got != want && wrong++ < 5)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << got
                              << ", want " << want;
        }
    EXPECT_EQ(wrong, 0) << what;
}

Panel randomPanel(std::mt19937& rng) {
    Panel p;
    p.copyPicture(Im_Miss2, Im_Miss3);
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementRole role = info(e).role;
        if (role == ElementRole::Segment || role == ElementRole::Button) p.setShown(e, rng() % 2);
    }
    for (int k = 1; k <= 4; ++k) {
        const int d = int(rng() % 11) - 1;
        if (d < 0)
            p.blank(k);
        else
            p.putDigit(k, d);
        p.setPlaceShown(k, rng() % 4 != 0);
    }
    return p;
}

TEST(Render, EveryPixelIsBlackWhereSomethingLitIsBlackElseThePictureBeneath) {
    Rig rig;
    Handheld& h = rig.form->handheld();
    for (int scale : {1, 2}) {
        const Pictures& pics = fakePictures().atScale(scale);
        ASSERT_EQ(pics.scale(), scale);
        expectRendered(h.panel(), pics, renderPanel(h.panel(), fakePictures(), scale), "power-on");
        std::mt19937 rng(7);
        for (int n = 0; n < (scale == 1 ? 6 : 2); ++n) {
            const Panel p = randomPanel(rng);
            expectRendered(p, pics, renderPanel(p, fakePictures(), scale), "random");
        }
    }
    HandheldTestSeam seam(h);
    seam.PreparaSchermo();
    seam.TrasformaScore(&HandheldState::HiScoreA);
    expectRendered(h.panel(), fakePictures(), renderPanel(h.panel(), fakePictures()), "game-ready");
}

TEST(Render, AScaleWithoutPicturesOfItsOwnEnlargesThePlainOnesPixelForPixel) {
    Rig rig;
    const Panel& p = rig.form->handheld().panel();
    EXPECT_EQ(&fakePictures().atScale(3), &fakePictures()) << "no pictures drawn for scale 3";
    const QImage plain = renderPanel(p, fakePictures());
    EXPECT_EQ(renderPanel(p, fakePictures(), 3),
              plain.scaled(plain.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

TEST(Render, BuiltInPicturesRenderTheSameWay) {
    const Pictures* pics = nullptr;
    try {
        pics = &Pictures::builtIn();
    } catch (const PictureError&) {
        GTEST_SKIP() << "built without pictures";
    }
    Rig rig;
    const Panel& p = rig.form->handheld().panel();
    expectRendered(p, *pics, renderPanel(p), "power-on, built-in");
    expectRendered(p, pics->atScale(2), renderPanel(p, 2), "power-on, built-in, scale 2");
    EXPECT_EQ(pics->atScale(3).scale(), 3) << "the built-in pictures for scale 3 do not load";
}

TEST(Render, RepaintingOnlyTheChangedRegionGivesTheFullPicture) {
    // A game played through key presses and time; after each step the old image with
    // just the changed region repainted must equal a full render, at both scales.
    for (int scale : {1, 2}) {
        const Pictures& pics = fakePictures().atScale(scale);
        Rig rig;
        Handheld& h = rig.form->handheld();
        std::mt19937 rng(3);
        QImage shown = renderPanel(h.panel(), pics, scale);
        for (int step = 0; step < 400; ++step) {
            const Panel before = h.panel();
            if (step == 0) h.keyDown(kKeyRight);
            if (step % 17 == 5) h.keyDown(rng() % 2 ? kKeyLeft : kKeyRight);
            if (step % 17 == 6) h.keyUp(kKeyLeft), h.keyUp(kKeyRight);
            if (step == 390) h.mouseDown(Puls_ACL, MouseButton::Left, 1, 1);
            h.advanceTo(h.now() + 37);
            const QRegion changed = changedRegion(before, h.panel());
            {
                QPainter painter(&shown);
                painter.setClipRegion(changed);
                for (const QRect& r : changed)
                    paintPanel(painter, h.panel(), pics, r);
            }
            ASSERT_EQ(shown, renderPanel(h.panel(), pics, scale))
                << "step " << step << ", scale " << scale;
        }
    }
}

TEST(Render, TheWindowPaintsWhatTheOffscreenRenderShows) {
    const Pictures& pics = fakePictures();
    Rig rig;
    const QImage grabbed = rig.form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(grabbed, renderPanel(rig.form->handheld().panel(), pics));
}

}  // namespace
}  // namespace fw::test
