// Decoding of the full-colour pictures (case, buttons, launcher and about pictures).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace fw {

struct JpegResult {
    QImage image;   // RGB32, null when decoding failed
    QString error;  // why decoding failed; empty on success
    bool ok() const { return !image.isNull(); }
};

// Decodes a JPEG held in memory with libjpeg. A truncated, corrupt or non-JPEG input
// gives an error result; it never ends the program.
JpegResult decodeJpeg(const QByteArray& data);

}  // namespace fw
