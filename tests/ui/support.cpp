#include "support.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

namespace fw::test {

namespace {
void put16(QByteArray& b, int v) {
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}
void put32(QByteArray& b, qint64 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
}  // namespace

QByteArray bmpBytes(const BmpSpec& s, const std::function<int(int, int)>& index) {
    const int bpp = s.bitsPerPixel;
    const int rowBytes = ((s.width * bpp + 31) / 32) * 4;
    const int colours = 1 << bpp;
    const int offset = 14 + 40 + 4 * colours;
    QByteArray pixels(rowBytes * s.height, '\0');
    for (int row = 0; row < s.height; ++row) {
        const int y = s.topDown ? row : s.height - 1 - row;
        for (int x = 0; x < s.width; ++x) {
            const int v = index(x, y);
            const int bit = x * bpp;
            pixels[row * rowBytes + bit / 8] =
                char(pixels[row * rowBytes + bit / 8] | (v << (8 - bpp - bit % 8)));
        }
    }
    QByteArray b("BM");
    put32(b, offset + pixels.size());
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, s.width);
    put32(b, s.topDown ? -s.height : s.height);
    put16(b, 1);
    put16(b, bpp);
    put32(b, 0);
    put32(b, pixels.size());
    put32(b, 2835);
    put32(b, 2835);
    put32(b, colours);
    put32(b, colours);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = i == 0 ? s.entry0 : i == 1 ? s.entry1 : qRgb(128, 128, 128);
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    return b + pixels;
}

QByteArray jpegBytes(const QImage& image, int quality) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return out;
}

void writeFakePictures(const QString& dir, int scale) {
    QDir().mkpath(dir);
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const QString file = pictureFileName(e);
        if (file.isEmpty()) continue;
        const Rect& r = info(e).rect;
        const int width = r.width * scale, height = r.height * scale;
        QByteArray bytes;
        if (info(e).picture == PictureKind::Jpeg) {
            QImage img(width, height, QImage::Format_RGB32);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    img.setPixel(x, y, qRgb((x * 3 + i * 50) % 256, (y * 2 + i * 30) % 256, 160));
            bytes = jpegBytes(img);
        } else {
            // Stripes and a dotted border: black and white pixels in every row.
            bytes = bmpBytes({width, height}, [i](int x, int y) {
                return ((x + 2 * y + i) % 5 == 0 || (x * y + i) % 7 == 1) ? 0 : 1;
            });
        }
        QFile f(dir + '/' + scaledFileName(file, scale));
        if (!f.open(QIODevice::WriteOnly)) ADD_FAILURE() << "cannot write " << file.toStdString();
        f.write(bytes);
    }
}

const Pictures& fakePictures() {
    static QTemporaryDir dir;
    static const Pictures pictures = [] {
        writeFakePictures(dir.path(), 1);
        writeFakePictures(dir.path(), 2);
        QStringList errors;
        Pictures p = Pictures::load(dir.path(), &errors);
        if (!errors.isEmpty()) ADD_FAILURE() << errors.join('\n').toStdString();
        return p;
    }();
    return pictures;
}

Rig::Rig(bool created) {
    time.local = {10, 30};
    time.utcAtStart = 12345;
    time.utcStill = true;
    form = std::make_unique<TForm1>(store, cues, time, fakePictures(), [this] { return clock; });
    form->showStoreError = [this](const QString& m) { errors.push_back(m); };
    if (created) form->create();
}

}  // namespace fw::test
