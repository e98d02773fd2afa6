#include "pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>
#include <cstdint>

#include "jpeg_decoder.h"

namespace fw {

namespace {

std::uint32_t le32(const QByteArray& b, int at) {
    auto u = [&](int i) { return std::uint32_t(static_cast<unsigned char>(b[at + i])); };
    return u(0) | (u(1) << 8) | (u(2) << 16) | (u(3) << 24);
}

std::uint16_t le16(const QByteArray& b, int at) {
    return std::uint16_t(static_cast<unsigned char>(b[at]) |
                         (static_cast<unsigned char>(b[at + 1]) << 8));
}

bool readFile(const QString& path, QByteArray* out, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: missing").arg(path);
        return false;
    }
    *out = f.readAll();
    return true;
}

}  // namespace

QString checkMonoBmp(const QByteArray& b, int width, int height) {
    constexpr int kFileHeader = 14;
    if (b.size() < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M')
        return QStringLiteral("not a BMP file");
    const std::uint32_t headerSize = le32(b, kFileHeader);
    const std::uint32_t pixelOffset = le32(b, 10);
    int w = 0, h = 0, planes = 0, bits = 0, paletteEntry = 4;
    std::uint32_t compression = 0;
    if (headerSize == 12) {  // OS/2 core header: 16-bit sizes, 3-byte palette entries
        w = le16(b, kFileHeader + 4);
        h = std::int16_t(le16(b, kFileHeader + 6));
        planes = le16(b, kFileHeader + 8);
        bits = le16(b, kFileHeader + 10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && b.size() >= kFileHeader + 40) {
        w = std::int32_t(le32(b, kFileHeader + 4));
        h = std::int32_t(le32(b, kFileHeader + 8));
        planes = le16(b, kFileHeader + 12);
        bits = le16(b, kFileHeader + 14);
        compression = le32(b, kFileHeader + 16);
    } else {
        return QStringLiteral("unknown BMP header");
    }
    if (bits != 1 || planes != 1) return QStringLiteral("%1 bits per pixel, not 1").arg(bits);
    if (compression != 0) return QStringLiteral("compressed BMP");
    if (w != width || (h != height && h != -height))
        return QStringLiteral("size %1 x %2, not %3 x %4")
            .arg(w)
            .arg(h < 0 ? -h : h)
            .arg(width)
            .arg(height);
    const qint64 palette = kFileHeader + qint64(headerSize);
    if (b.size() < palette + 2 * paletteEntry) return QStringLiteral("palette missing");
    auto entry = [&](int i) {
        const qint64 at = palette + i * paletteEntry;
        return qRgb(static_cast<unsigned char>(b[at + 2]), static_cast<unsigned char>(b[at + 1]),
                    static_cast<unsigned char>(b[at]));
    };
    if (entry(0) != qRgb(0, 0, 0) || entry(1) != qRgb(255, 255, 255))
        return QStringLiteral("palette is not [black, white]");
    const qint64 rowBytes = ((qint64(width) + 31) / 32) * 4;
    if (pixelOffset < palette + 2 * paletteEntry || b.size() < pixelOffset + rowBytes * height)
        return QStringLiteral("pixel data truncated");
    return {};
}

MonoResult decodeMonoBmp(const QByteArray& bytes, int width, int height) {
    MonoResult r;
    r.error = checkMonoBmp(bytes, width, height);
    if (!r.ok()) return r;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    const QImage read = reader.read();
    if (read.isNull() || read.width() != width || read.height() != height) {
        r.error = QStringLiteral("unreadable BMP: %1").arg(reader.errorString());
        return r;
    }
    // By colour, never by index: Qt may reorder a 1-bit palette.
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = read.pixel(x, y) | 0xff000000u;
            if (c == qRgb(0, 0, 0)) {
                dst[x] = qRgba(0, 0, 0, 255);
            } else if (c == qRgb(255, 255, 255)) {
                dst[x] = qRgba(0, 0, 0, 0);
            } else {
                r.error = QStringLiteral("pixel neither black nor white");
                return r;
            }
        }
    }
    r.image = out;
    return r;
}

int pictureScale(qreal devicePixelRatio) {
    return qBound(1, qRound(devicePixelRatio), kMaxDrawnScale);
}

QString pictureFileName(Element e) {
    const ElementInfo& i = info(e);
    const QString name = QString::fromLatin1(i.name.data(), qsizetype(i.name.size()));
    switch (i.picture) {
        case PictureKind::Jpeg:
            return name + QStringLiteral(".jpg");
        case PictureKind::Mono:
            return name + QStringLiteral(".bmp");
        case PictureKind::None:
            break;
    }
    return {};
}

QString scaledFileName(const QString& file, int scale) {
    if (scale == 1) return file;
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QStringLiteral("@%1x").arg(scale);
    return dot < 0 ? file + suffix : file.left(dot) + suffix + file.mid(dot);
}

Pictures Pictures::load(const QString& dir, QStringList* errors, int scale) {
    Pictures p;
    p.dir_ = dir;
    p.scale_ = scale;
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const QString file = pictureFileName(e);
        if (file.isEmpty()) continue;
        const QString path = dir + QLatin1Char('/') + scaledFileName(file, scale);
        QByteArray bytes;
        QString error;
        if (!readFile(path, &bytes, &error)) {
            errors->append(error);
            continue;
        }
        const Rect& r = info(e).rect;
        const int width = r.width * scale, height = r.height * scale;
        QImage image;
        if (info(e).picture == PictureKind::Jpeg) {
            JpegResult j = decodeJpeg(bytes);
            if (!j.ok()) {
                errors->append(QStringLiteral("%1: %2").arg(path, j.error));
            } else if (j.image.width() != width || j.image.height() != height) {
                errors->append(QStringLiteral("%1: size %2 x %3, not %4 x %5")
                                   .arg(path)
                                   .arg(j.image.width())
                                   .arg(j.image.height())
                                   .arg(width)
                                   .arg(height));
            } else {
                image = j.image;
            }
        } else {
            MonoResult m = decodeMonoBmp(bytes, width, height);
            if (m.ok())
                image = m.image;
            else
                errors->append(QStringLiteral("%1: %2").arg(path, m.error));
        }
        image.setDevicePixelRatio(scale);
        p.images_[e] = image;
    }
    return p;
}

namespace {

// A two-colour picture as the shipped ones are made: black where the drawing over white
// is darker than half, see-through elsewhere.
constexpr int kThreshold = 128;

QImage thresholded(const QImage& drawn) {
    QImage out(drawn.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb c = src[x];
            const int lum = (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000;
            dst[x] = lum < kThreshold ? qRgba(0, 0, 0, 255) : qRgba(0, 0, 0, 0);
        }
    }
    return out;
}

// The part `part` of the whole document drawn at size, as an opaque image.
QImage drawDocument(QSvgRenderer& renderer, QSize size, const QRect& part) {
    QImage image(part.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(-part.topLeft(), size));
    return image;
}

QByteArray readSource(const QString& path, QStringList* errors) {
    QByteArray bytes;
    QString error;
    if (!readFile(path, &bytes, &error)) errors->append(error);
    return bytes;
}

}  // namespace

Pictures Pictures::draw(const QString& dir, QStringList* errors, int scale) {
    Pictures p;
    p.dir_ = dir;
    p.sources_ = dir;
    p.scale_ = scale;
    const QByteArray caseSvg = readSource(dir + QStringLiteral("/case.svg"), errors);
    const QByteArray lcdSvg = readSource(dir + QStringLiteral("/lcd.svg"), errors);
    if (caseSvg.isEmpty() || lcdSvg.isEmpty()) return p;
    const QSize window(kWindowWidth * scale, kWindowHeight * scale);

    // The case shows its buttons pressed in; the button pictures are the same case
    // with the buttons raised, cut out at their rectangles.
    QSvgRenderer pressed(caseSvg);
    QByteArray raisedSvg = caseSvg;
    raisedSvg.replace("class=\"pressed\"", "class=\"pressed\" display=\"none\"");
    raisedSvg.replace("class=\"raised\" display=\"none\"", "class=\"raised\"");
    QSvgRenderer raised(raisedSvg);
    if (!pressed.isValid() || !raised.isValid())
        errors->append(dir + QStringLiteral("/case.svg: not a drawing"));

    QSvgRenderer lcd(lcdSvg);
    if (!lcd.isValid()) errors->append(dir + QStringLiteral("/lcd.svg: not a drawing"));
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementInfo& el = info(e);
        const QRect r(el.rect.left * scale, el.rect.top * scale, el.rect.width * scale,
                      el.rect.height * scale);
        QImage image;
        if (e == Im_Base) {
            image = drawDocument(pressed, window, r);
        } else if (el.picture == PictureKind::Jpeg) {
            image = drawDocument(raised, window, r);
        } else if (el.picture == PictureKind::Mono) {
            const QString id = QString::fromLatin1(el.name.data(), qsizetype(el.name.size()));
            if (!lcd.elementExists(id)) {
                errors->append(QStringLiteral("%1/lcd.svg: no drawing of %2").arg(dir, id));
                continue;
            }
            // Only the element's own group, in window coordinates, over its rectangle.
            QImage drawn(r.size(), QImage::Format_RGB32);
            drawn.fill(Qt::white);
            QPainter painter(&drawn);
            const QRectF bounds = lcd.boundsOnElement(id);
            lcd.render(
                &painter, id,
                QRectF((bounds.left() - el.rect.left) * scale, (bounds.top() - el.rect.top) * scale,
                       bounds.width() * scale, bounds.height() * scale));
            painter.end();
            image = thresholded(drawn);
        } else {
            continue;
        }
        image.setDevicePixelRatio(scale);
        p.images_[e] = image;
    }
    return p;
}

const QImage& Pictures::faint(Element e) const {
    QImage& shadow = (*faint_)[e];
    const QImage& img = images_[e];
    if (!shadow.isNull() || img.isNull() || info(e).picture != PictureKind::Mono) return shadow;
    shadow = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < shadow.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < shadow.width(); ++x)
            px[x] = qAlpha(px[x]) ? qRgba(0, 0, 0, kFaintAlpha) : qRgba(0, 0, 0, 0);
    }
    return shadow;
}

const Pictures& Pictures::atScale(int scale) const {
    if (scale == scale_ || scale < 1 || scale > kMaxDrawnScale) return *this;
    Scaled& s = *scaled_;
    if (!s.tried[scale]) {
        s.tried[scale] = true;
        QStringList errors;
        Pictures p = load(dir_, &errors, scale);
        if (!errors.isEmpty() && !sources_.isEmpty()) {
            errors.clear();
            p = draw(sources_, &errors, scale);
        }
        if (errors.isEmpty()) s.sets[scale] = std::make_unique<const Pictures>(std::move(p));
    }
    return s.sets[scale] ? *s.sets[scale] : *this;
}

const Pictures& Pictures::builtIn() {
    static const Pictures pictures = [] {
        registerBuiltInPictures();
        QStringList errors;
        Pictures p = load(QStringLiteral(":/pictures"), &errors);
        p.sources_ = QStringLiteral(":/drawings");
        if (!errors.isEmpty())
            throw PictureError(("bad built-in pictures:\n" + errors.join('\n')).toStdString());
        return p;
    }();
    return pictures;
}

QImage loadJpegResource(const QString& path) {
    registerBuiltInPictures();
    QByteArray bytes;
    QString error;
    if (!readFile(path, &bytes, &error)) throw PictureError(error.toStdString());
    JpegResult j = decodeJpeg(bytes);
    if (!j.ok()) throw PictureError(QStringLiteral("%1: %2").arg(path, j.error).toStdString());
    return j.image;
}

const QImage& ScaledJpeg::at(int scale) const {
    scale = qBound(1, scale, kMaxPictureScale);
    QImage& image = images_[scale];
    if (!image.isNull()) return image;
    if (scale == 1) {
        image = loadJpegResource(path_);
        return image;
    }
    const QImage& plain = at(1);
    try {
        image = loadJpegResource(scaledFileName(path_, scale));
        image.setDevicePixelRatio(scale);
    } catch (const PictureError&) {
    }
    if (image.size() != plain.size() * scale) image = plain;
    return image;
}

QStringList checkBuiltInPictures(int scale) {
    registerBuiltInPictures();
    // Beyond the shipped scales the pictures are drawn from the sources when needed:
    // those must be good drawings; the largest shipped scale stands for the files.
    const int shipped = qBound(1, scale, kMaxPictureScale);
    const QList<int> scales = shipped == 1 ? QList<int>{1} : QList<int>{1, shipped};
    QStringList errors;
    if (scale > kMaxPictureScale)
        for (const char* name : {"case.svg", "lcd.svg"}) {
            const QString path = QStringLiteral(":/drawings/") + QLatin1String(name);
            if (!QSvgRenderer(path).isValid())
                errors.append(path + QStringLiteral(": not a drawing"));
        }
    for (int s : scales)
        Pictures::load(QStringLiteral(":/pictures"), &errors, s);
    const struct {
        const char* path;
        int width, height;
    } others[] = {{":/pictures/Im_Piccina.jpg", 200, 137}, {":/pictures/about.jpg", 259, 88}};
    for (const auto& o : others)
        for (int s : scales) {
            const QString path = scaledFileName(QString::fromLatin1(o.path), s);
            try {
                const QImage img = loadJpegResource(path);
                if (img.width() != o.width * s || img.height() != o.height * s)
                    errors.append(QStringLiteral("%1: size %2 x %3, not %4 x %5")
                                      .arg(path)
                                      .arg(img.width())
                                      .arg(img.height())
                                      .arg(o.width * s)
                                      .arg(o.height * s));
            } catch (const PictureError& e) {
                errors.append(QString::fromStdString(e.what()));
            }
        }
    if (!QFile::exists(QStringLiteral(":/icons/fenwater.png")))
        errors.append(QStringLiteral(":/icons/fenwater.png: missing"));
    return errors;
}

}  // namespace fw
