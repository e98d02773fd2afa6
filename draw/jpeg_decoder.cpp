#include "jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace fw {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. Ours jumps
// back to decodeRaw with the message; warnings (e.g. premature end of data) are
// promoted to errors so a truncated file never decodes to a half-grey picture.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0) onError(cinfo);  // a warning: corrupt or truncated data
}

extern "C" void onOutput(j_common_ptr) {}

struct Raw {
    int width = 0;
    int height = 0;
    unsigned char* pixels = nullptr;  // width * height * 3 bytes, RGB; malloc'ed
};

// Everything between setjmp and the last libjpeg call is plain C data: a longjmp
// out of it skips no destructor. Returns false and fills message on failure.
bool decodeRaw(const unsigned char* data, unsigned long size, Raw* out, char* message) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    unsigned char* volatile pixels = nullptr;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.pub.output_message = onOutput;
    err.message[0] = '\0';

    if (setjmp(err.jump)) {
        std::strncpy(message, err.message, JMSG_LENGTH_MAX);
        message[JMSG_LENGTH_MAX - 1] = '\0';
        jpeg_destroy_decompress(&cinfo);
        std::free(pixels);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width == 0 || cinfo.output_height == 0 ||
        cinfo.output_width > 16384 || cinfo.output_height > 16384) {
        std::strcpy(message, "unsupported picture format");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t stride = std::size_t(cinfo.output_width) * 3;
    pixels = static_cast<unsigned char*>(std::malloc(stride * cinfo.output_height));
    if (!pixels) {
        std::strcpy(message, "out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    out->pixels = pixels;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

JpegResult decodeJpeg(const QByteArray& data) {
    JpegResult result;
    if (data.isEmpty()) {
        result.error = QStringLiteral("empty file");
        return result;
    }
    Raw raw;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeRaw(reinterpret_cast<const unsigned char*>(data.constData()),
                   static_cast<unsigned long>(data.size()), &raw, message)) {
        result.error = QString::fromLocal8Bit(message);
        if (result.error.isEmpty()) result.error = QStringLiteral("not a JPEG picture");
        return result;
    }
    QImage image(raw.width, raw.height, QImage::Format_RGB32);
    for (int y = 0; y < raw.height; ++y) {
        const unsigned char* src = raw.pixels + std::size_t(y) * raw.width * 3;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < raw.width; ++x)
            dst[x] = qRgb(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
    }
    std::free(raw.pixels);
    result.image = image;
    return result;
}

}  // namespace fw
