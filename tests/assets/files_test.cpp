// The picture, icon and cue files checked from their bytes: every two-colour
// picture against its element in the layout table, at each of the three scales it is
// drawn for, the JPEG sizes, the cues.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "layout.h"

namespace fw {
namespace {

const std::string kAssets = FW_ASSETS_DIR;

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// "Im_Man1.bmp" drawn for scale 2 is "Im_Man1@2x.bmp".
std::string scaledFile(const std::string& stem, const char* ext, int scale) {
    return scale == 1 ? stem + ext : stem + "@" + std::to_string(scale) + "x" + ext;
}

struct MonoPixels {
    int width = 0, height = 0;
    std::vector<bool> black;  // row by row, top first
    bool at(int x, int y) const { return black[size_t(y) * size_t(width) + size_t(x)]; }
    int count() const { return int(std::count(black.begin(), black.end(), true)); }
};

// A two-colour picture file: a 1-bit BMP with palette entry 0 black and entry 1 white,
// whole. Its pixels; none when the file is not of that form (the failures say why).
MonoPixels readMono(const std::string& file) {
    const auto b = readFile(kAssets + "/pictures/" + file);
    MonoPixels m;
    if (b.size() < 62 || b[0] != 'B' || b[1] != 'M') {
        ADD_FAILURE() << "not a BMP file";
        return m;
    }
    EXPECT_EQ(le32(b, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(le16(b, 26), 1) << "planes";
    EXPECT_EQ(le16(b, 28), 1) << "bits per pixel";
    EXPECT_EQ(le32(b, 30), 0u) << "uncompressed";
    const std::uint32_t colours = le32(b, 46);
    EXPECT_TRUE(colours == 0 || colours == 2);
    // palette entry 0 black, entry 1 white (stored blue, green, red, 0)
    EXPECT_EQ((std::vector<int>{b[54], b[55], b[56]}), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ((std::vector<int>{b[58], b[59], b[60]}), (std::vector<int>{255, 255, 255}));
    const auto width = static_cast<std::int32_t>(le32(b, 18));
    const auto height = static_cast<std::int32_t>(le32(b, 22));
    const std::uint32_t offset = le32(b, 10);
    const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const int rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || b.size() < offset + stride * size_t(rows)) {
        ADD_FAILURE() << "pixel data truncated";
        return m;
    }
    m.width = width;
    m.height = rows;
    m.black.resize(size_t(width) * size_t(rows));
    for (int row = 0; row < rows; ++row)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t byte = b[offset + size_t(row) * stride + size_t(x) / 8];
            const int y = height < 0 ? row : rows - 1 - row;
            m.black[size_t(y) * size_t(width) + size_t(x)] = ((byte >> (7 - x % 8)) & 1) == 0;
        }
    return m;
}

TEST(AssetFiles, EveryTwoColourPictureFitsItsElementAtEveryScale) {
    int checked = 0, blockyScaled = 0, scaled = 0;
    for (const auto& e : layout()) {
        if (e.picture != PictureKind::Mono) continue;
        const MonoPixels plain = readMono(std::string(e.name) + ".bmp");
        for (int scale = 1; scale <= 3; ++scale) {
            const std::string name = scaledFile(std::string(e.name), ".bmp", scale);
            SCOPED_TRACE(name);
            const MonoPixels m = scale == 1 ? plain : readMono(name);
            ASSERT_EQ(m.width, e.rect.width * scale);
            ASSERT_EQ(m.height, e.rect.height * scale);
            const int black = m.count();
            EXPECT_GT(black, 0) << "a segment with nothing to show";
            EXPECT_LT(black, m.width * m.height) << "a segment that is all black";
            ++checked;
            if (scale == 1 || plain.black.empty()) continue;
            // The same drawing as the plain picture: nearly every black pixel lies on a
            // black plain pixel, and it covers about as much of the element.
            int onPlain = 0;
            for (int y = 0; y < m.height; ++y)
                for (int x = 0; x < m.width; ++x)
                    onPlain += m.at(x, y) && plain.at(x / scale, y / scale);
            EXPECT_GT(onPlain, black * 8 / 10) << "not the drawing of the plain picture";
            const double cover = double(black) / (scale * scale * plain.count());
            EXPECT_GT(cover, 0.7);
            EXPECT_LT(cover, 1.4);
            // Drawn at its own size, not the plain picture enlarged: some scale x scale
            // block is part black, part white.
            bool mixed = false;
            for (int y = 0; y < m.height && !mixed; y += scale)
                for (int x = 0; x < m.width && !mixed; x += scale)
                    for (int k = 1; k < scale * scale && !mixed; ++k)
                        mixed = m.at(x + k % scale, y + k / scale) != m.at(x, y);
            ++scaled;
            blockyScaled += !mixed;
        }
    }
    EXPECT_EQ(checked, 3 * 65);  // 55 segments with a picture of their own and ten digits
    // Only the shapes drawn on the pixel grid (AM, PM, GAME A, GAME B and the colon)
    // may be plain enlargements.
    EXPECT_LE(blockyScaled, 2 * 5) << "of " << scaled;
}

struct JpegSize {
    int width = 0, height = 0;
    bool baseline = false;
};

JpegSize jpegSize(const std::vector<std::uint8_t>& b) {
    JpegSize out;
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return out;
    size_t at = 2;
    while (at + 9 < b.size() && b[at] == 0xFF) {
        const int marker = b[at + 1];
        const size_t length = b[at + 2] << 8 | b[at + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            out.height = b[at + 5] << 8 | b[at + 6];
            out.width = b[at + 7] << 8 | b[at + 8];
            out.baseline = marker == 0xC0;
            return out;
        }
        at += 2 + length;
    }
    return out;
}

TEST(AssetFiles, JpegPicturesAreBaselineOfTheirSizeAtEveryScale) {
    struct Want {
        std::string stem;
        int width, height;
    };
    std::vector<Want> wants{{"Im_Piccina", 200, 137}, {"about", 259, 88}};
    for (const auto& e : layout())
        if (e.picture == PictureKind::Jpeg)
            wants.push_back({std::string(e.name), e.rect.width, e.rect.height});
    ASSERT_EQ(wants.size(), 7u);
    for (const auto& w : wants)
        for (int scale = 1; scale <= 3; ++scale) {
            const std::string file = scaledFile(w.stem, ".jpg", scale);
            SCOPED_TRACE(file);
            const JpegSize s = jpegSize(readFile(kAssets + "/pictures/" + file));
            EXPECT_EQ(s.width, w.width * scale);
            EXPECT_EQ(s.height, w.height * scale);
            EXPECT_TRUE(s.baseline) << "progressive or unreadable";
        }
}

TEST(AssetFiles, IconHoldsSixteenColourImagesOfBothSizes) {
    auto b = readFile(kAssets + "/icons/fenwater.ico");
    ASSERT_GE(b.size(), 38u);
    EXPECT_EQ(le16(b, 0), 0);
    EXPECT_EQ(le16(b, 2), 1);
    ASSERT_EQ(le16(b, 4), 2);
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * i;
        const int size = i == 0 ? 16 : 32;
        EXPECT_EQ(b[entry], size);
        EXPECT_EQ(b[entry + 1], size);
        const size_t at = le32(b, entry + 12);
        ASSERT_LT(at + 40, b.size());
        EXPECT_EQ(le32(b, at), 40u);
        EXPECT_EQ(static_cast<int>(le32(b, at + 4)), size);
        EXPECT_EQ(static_cast<int>(le32(b, at + 8)), size * 2);  // image and mask
        EXPECT_EQ(le16(b, at + 14), 4) << "16 colours";
    }
    auto png = readFile(kAssets + "/icons/fenwater.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png[1], 'P');
    const auto be32 = [&](size_t at) {
        return std::uint32_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    EXPECT_EQ(be32(16), 256u);
    EXPECT_EQ(be32(20), 256u);
}

TEST(AssetFiles, CuesAreShortMonoPcmWithoutClicks) {
    for (const char* name : {"Got.wav", "Move.wav", "Start.wav"}) {
        SCOPED_TRACE(name);
        auto b = readFile(kAssets + "/SOUND/" + name);
        ASSERT_GE(b.size(), 44u);
        ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
        EXPECT_EQ(le16(b, 20), 1) << "PCM";
        EXPECT_EQ(le16(b, 22), 1) << "mono";
        EXPECT_EQ(le32(b, 24), 22050u);
        EXPECT_EQ(le16(b, 34), 16);
        ASSERT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        const size_t count = le32(b, 40) / 2;
        ASSERT_EQ(b.size(), 44 + count * 2);
        EXPECT_LT(count, 22050u * 3 / 2) << "at most 1.5 s";
        std::vector<int> s(count);
        int peak = 0;
        for (size_t i = 0; i < count; ++i) {
            s[i] = static_cast<std::int16_t>(le16(b, 44 + 2 * i));
            peak = std::max(peak, std::abs(s[i]));
        }
        EXPECT_GT(peak, 26000) << "normalised";
        // no click: both ends start from silence and ramp, never jump
        EXPECT_LT(std::abs(s.front()), 300);
        EXPECT_LT(std::abs(s.back()), 300);
        for (size_t i = 0; i < 20 && i < count; ++i) {
            EXPECT_LT(std::abs(s[i]), 300 + static_cast<int>(i) * 2000);
            EXPECT_LT(std::abs(s[count - 1 - i]), 300 + static_cast<int>(i) * 2000);
        }
    }
}

}  // namespace
}  // namespace fw
