// Reads what the game window shows in a screenshot, in the replay tool's terms:
//   ui_read_screen SHOT.png LEFT TOP
// prints "digits=D1D2D3D4 hidden=... lit=..." for the window whose client area starts at
// (LEFT, TOP). A segment counts as lit when every one of its black pixels is black on
// screen; a digit place shows the digit with the most black pixels all black there
// ('_' for none); a button picture counts as hidden when the screen differs from it.
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <string>

#include "pictures.h"

namespace {

bool allBlack(const QImage& shot, const QImage& picture, int left, int top, int* count) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) == 0) continue;
            ++n;
            const QPoint at(left + x, top + y);
            if (!shot.rect().contains(at) || (shot.pixel(at) & 0xFFFFFF) != 0) return false;
        }
    if (count) *count = n;
    return n > 0;
}

bool samePixels(const QImage& shot, const QImage& picture, int left, int top) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((shot.pixel(left + x, top + y) & 0xFFFFFF) != (picture.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ui_read_screen SHOT.png LEFT TOP\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const QImage shot =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) return 2;
    const int wx = std::stoi(argv[2]), wy = std::stoi(argv[3]);
    const fw::Pictures& pics = fw::Pictures::builtIn();

    std::string digits;
    for (fw::Element place : {fw::Im_NumPos1, fw::Im_NumPos2, fw::Im_NumPos3, fw::Im_NumPos4}) {
        const fw::Rect& r = fw::info(place).rect;
        int best = -1, bestCount = 0;
        for (int d = 0; d <= 9; ++d) {
            int n = 0;
            if (allBlack(shot, pics.of(static_cast<fw::Element>(fw::Im_Num0 + d)), wx + r.left,
                         wy + r.top, &n) &&
                n > bestCount) {
                best = d;
                bestCount = n;
            }
        }
        digits += best < 0 ? '_' : static_cast<char>('0' + best);
    }
    std::string hidden, lit;
    for (fw::Element b : {fw::Puls_Time, fw::Puls_ACL, fw::Puls_Left, fw::Puls_Right}) {
        const fw::Rect& r = fw::info(b).rect;
        if (!samePixels(shot, pics.of(b), wx + r.left, wy + r.top))
            hidden += (hidden.empty() ? "" : ",") + std::string(fw::nameOf(b));
    }
    for (int i = 0; i < fw::ElementCount; ++i) {
        const auto e = static_cast<fw::Element>(i);
        if (!fw::isSegment(e)) continue;
        const fw::Element source = e == fw::Im_Miss3 ? fw::Im_Miss2 : e;
        const fw::Rect& r = fw::info(e).rect;
        if (allBlack(shot, pics.of(source), wx + r.left, wy + r.top, nullptr))
            lit += (lit.empty() ? "" : ",") + std::string(fw::nameOf(e));
    }
    std::printf("digits=%s hidden=%s lit=%s\n", digits.c_str(), hidden.c_str(), lit.c_str());
    return 0;
}
