// The pictures of the game window, loaded and checked once.
//
// Full-colour pictures are JPEG files decoded with libjpeg. Two-colour pictures are
// 1-bit BMP files read with Qt's image reader; since Qt normalises every 1-bit palette,
// the file's own palette is checked from its bytes, and the decoded picture is turned
// into black (drawn) and transparent (see-through white) by pixel colour.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <stdexcept>

#include "layout.h"

namespace fw {

// A picture that is missing or not of the expected form.
class PictureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Empty when bytes are a 1-bit BMP of exactly width x height with palette entry 0
// black and entry 1 white and complete pixel data; otherwise what is wrong.
QString checkMonoBmp(const QByteArray& bytes, int width, int height);

struct MonoResult {
    QImage image;  // ARGB32 premultiplied: opaque black or fully transparent
    QString error;
    bool ok() const { return error.isEmpty(); }
};
// Checks and decodes a two-colour picture.
MonoResult decodeMonoBmp(const QByteArray& bytes, int width, int height);

// The file name of an element's picture, e.g. "Im_Man1.bmp" or "Im_Base.jpg";
// empty when the element has no picture of its own.
QString pictureFileName(Element e);

class Pictures {
  public:
    // Loads every picture of the panel from dir (":/pictures" for the built-in ones).
    // Each problem is added to errors, one line per picture; on any problem the
    // returned set must not be used.
    static Pictures load(const QString& dir, QStringList* errors);
    // The built-in pictures, loaded on first use. Throws PictureError naming every
    // bad picture.
    static const Pictures& builtIn();

    // The picture of e: RGB32 for a full-colour picture, black on transparent for a
    // two-colour one, null for an element without a picture.
    const QImage& of(Element e) const { return images_[e]; }

  private:
    std::array<QImage, ElementCount> images_;
};

// Reads a built-in full-colour picture outside the panel (":/pictures/about.jpg", ...).
// Throws PictureError when it is missing or does not decode.
QImage loadJpegResource(const QString& path);

// Makes the built-in pictures available under ":/" (done by every function here
// that reads them; the program calls it before using the icons).
void registerBuiltInPictures();

// Checks every built-in picture: the panel's and those of the launcher and about
// windows. Returns one line per problem; empty when all are fine.
QStringList checkBuiltInPictures();

}  // namespace fw
