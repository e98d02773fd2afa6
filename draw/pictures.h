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
#include <memory>
#include <stdexcept>

#include "frame.h"
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

// Every picture is shipped drawn for three scales: 1 (the window's own pixels), 2 and 3
// for high-density screens, each the same drawing at that many device pixels a pixel.
inline constexpr int kMaxPictureScale = 3;
// Larger scales (a large window, full screen on a big screen), up to kMaxDrawnScale, are
// drawn at run time from the vector sources.

// The picture scale for a device pixel ratio: the ratio rounded to a whole number (at
// least 1, at most kMaxDrawnScale).
int pictureScale(qreal devicePixelRatio);

// The file name of an element's picture, e.g. "Im_Man1.bmp" or "Im_Base.jpg";
// empty when the element has no picture of its own.
QString pictureFileName(Element e);
// The name of a picture file drawn for a scale: "Im_Man1@2x.bmp" for scale 2; the name
// itself for scale 1.
QString scaledFileName(const QString& file, int scale);

class Pictures {
  public:
    // Loads every picture of the panel drawn for scale from dir (":/pictures" for the
    // built-in ones): each element's rectangle times scale, device pixel ratio scale.
    // Each problem is added to errors, one line per picture; on any problem the
    // returned set must not be used.
    static Pictures load(const QString& dir, QStringList* errors, int scale = 1);
    // The panel's pictures drawn for scale from the vector sources in dir (case.svg,
    // lcd.svg): the case and the raised buttons as they are, each two-colour picture
    // its own group of lcd.svg over its element's rectangle, thresholded at that size.
    // Each problem is added to errors.
    static Pictures draw(const QString& dir, QStringList* errors, int scale);
    // The built-in pictures at scale 1, loaded on first use; scales without shipped
    // files are drawn from the built-in sources. Throws PictureError naming every bad
    // picture.
    static const Pictures& builtIn();

    // The picture of e: RGB32 for a full-colour picture, black on transparent for a
    // two-colour one, null for an element without a picture.
    const QImage& of(Element e) const { return images_[e]; }
    // The faint shadow of e's two-colour picture, drawn for an unlit segment: its black
    // pixels at kFaintAlpha (frame.h), the rest see-through. Made on first use.
    const QImage& faint(Element e) const;
    int scale() const { return scale_; }

    // The pictures of the same folder drawn for scale, loaded on first use, or drawn
    // from the set's vector sources when it has them and the folder has no files for
    // that scale. When neither gives a good set, this set itself, which the painter
    // then enlarges.
    const Pictures& atScale(int scale) const;

  private:
    struct Scaled {
        std::array<std::unique_ptr<const Pictures>, kMaxDrawnScale + 1> sets;
        std::array<bool, kMaxDrawnScale + 1> tried{};
    };
    QString dir_;
    QString sources_;  // the folder of the vector sources, if the set has them
    int scale_ = 1;
    std::array<QImage, ElementCount> images_;
    std::shared_ptr<Scaled> scaled_ = std::make_shared<Scaled>();
    std::shared_ptr<std::array<QImage, ElementCount>> faint_ =
        std::make_shared<std::array<QImage, ElementCount>>();
};

// Reads a built-in full-colour picture outside the panel (":/pictures/about.jpg", ...).
// Throws PictureError when it is missing or does not decode.
QImage loadJpegResource(const QString& path);

// A built-in full-colour picture outside the panel at every scale, decoded on first
// use, with its device pixel ratio set. A scaled file that is missing or not exactly
// scale times the size of the plain one gives the plain one.
class ScaledJpeg {
  public:
    explicit ScaledJpeg(QString path) : path_(std::move(path)) {}
    const QImage& at(int scale) const;

  private:
    QString path_;
    mutable std::array<QImage, kMaxPictureScale + 1> images_;
};

// Makes the built-in pictures available under ":/" (done by every function here
// that reads them; the program calls it before using the icons).
void registerBuiltInPictures();

// Checks every built-in picture drawn for scale 1 and for scale: the panel's and those
// of the launcher and about windows; for a scale beyond the shipped ones, the largest
// shipped scale and the vector sources the pictures are drawn from. Returns one line per
// problem; empty when all are fine.
QStringList checkBuiltInPictures(int scale = 1);

}  // namespace fw
