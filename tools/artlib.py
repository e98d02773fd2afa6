"""Shared helpers for the artwork scripts: the layout table, SVG rendering,
PNG decoding and encoding, 1-bit BMP and ICO writing, JPEG through ImageMagick.

Only the Python standard library is used; rsvg-convert renders the SVG sources
and /usr/bin/convert (ImageMagick) encodes and decodes JPEG files.
"""

import os
import re
import struct
import subprocess
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LAYOUT_TABLE = os.path.join(ROOT, "core", "elements.def")
RSVG = "rsvg-convert"
# /usr/local/bin may hold other programs called convert; ImageMagick's is this one.
MAGICK = "/usr/bin/convert"

# Luminance below this (0..255, over white) becomes a black pixel.
THRESHOLD = 128
# Pictures of at least this many pixels are decoded by ImageMagick.
BIG_PICTURE = 200000


class Element:
    def __init__(self, name, left, top, width, height, kind):
        self.name, self.left, self.top = name, left, top
        self.width, self.height, self.kind = width, height, kind

    @property
    def rect(self):
        return (self.left, self.top, self.width, self.height)


def read_layout(path=LAYOUT_TABLE):
    """Every element of the game window in layer order, read from the layout table."""
    row = re.compile(
        r'^FW_ELEMENT\((\w+),\s*(-?\d+),\s*(-?\d+),\s*(\d+),\s*(\d+),\s*(\w+)', re.M)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    elements = [Element(m[1], int(m[2]), int(m[3]), int(m[4]), int(m[5]), m[6])
                for m in row.finditer(text)]
    if len(elements) < 70:
        raise RuntimeError("could not read the layout table from " + path)
    return elements


def layout_by_name(path=LAYOUT_TABLE):
    return {e.name: e for e in read_layout(path)}


def mono_elements(path=LAYOUT_TABLE):
    """The elements that have a two-colour picture of their own."""
    return [e for e in read_layout(path) if e.kind == "Mono"]


# ---------------------------------------------------------------- images
class Image:
    """8-bit RGBA pixels, row-major."""

    def __init__(self, width, height, data=None):
        self.width, self.height = width, height
        self.data = bytearray(data) if data is not None else bytearray(width * height * 4)

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return tuple(self.data[i:i + 4])

    def crop(self, left, top, width, height):
        out = Image(width, height)
        for y in range(height):
            src = ((top + y) * self.width + left) * 4
            out.data[y * width * 4:(y + 1) * width * 4] = self.data[src:src + width * 4]
        return out

    def rgb_over(self, bg=(255, 255, 255)):
        """RGB bytes of the picture composited over a plain background."""
        n = self.width * self.height
        d = self.data
        out = bytearray(n * 3)
        for c in range(3):
            out[c::3] = d[c::4]
        alpha = d[3::4]
        if alpha.count(255) == n:  # opaque: the colours as they are
            return bytes(out)
        for i in range(n):
            a = alpha[i]
            if a == 255:
                continue
            for c in range(3):
                out[i * 3 + c] = (d[i * 4 + c] * a + bg[c] * (255 - a) + 127) // 255
        return bytes(out)

    def paste_rgb(self, rgb, width, height, left, top):
        for y in range(height):
            for x in range(width):
                i = ((top + y) * self.width + left + x) * 4
                j = (y * width + x) * 3
                self.data[i:i + 3] = rgb[j:j + 3]
                self.data[i + 3] = 255


def decode_png(blob):
    """Decodes an 8-bit RGB or RGBA, non-interlaced PNG into an Image."""
    if blob[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, hdr = 8, [], None
    while pos < len(blob):
        (length,) = struct.unpack(">I", blob[pos:pos + 4])
        kind = blob[pos + 4:pos + 8]
        body = blob[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            hdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    width, height, depth, ctype, _, _, interlace = hdr
    if depth != 8 or ctype not in (2, 6) or interlace:
        raise ValueError("unsupported PNG form")
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(b"".join(idat))
    stride = width * bpp
    out = bytearray(height * stride)
    prev = bytearray(stride)
    p = 0
    for y in range(height):
        ftype = raw[p]
        line = bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        if ftype == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif ftype == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 255
        elif ftype == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 255
        elif ftype == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                pr = a if (pa <= pb and pa <= pc) else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        elif ftype != 0:
            raise ValueError("bad PNG filter")
        out[y * stride:(y + 1) * stride] = line
        prev = line
    if bpp == 4:
        return Image(width, height, out)
    img = Image(width, height)
    for i in range(width * height):
        img.data[i * 4:i * 4 + 3] = out[i * 3:i * 3 + 3]
        img.data[i * 4 + 3] = 255
    return img


def encode_png(img):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    stride = img.width * 4
    raw = b"".join(b"\x00" + bytes(img.data[y * stride:(y + 1) * stride])
                   for y in range(img.height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", img.width, img.height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def scale_nearest(img, factor):
    out = Image(img.width * factor, img.height * factor)
    for y in range(out.height):
        for x in range(out.width):
            i = ((y // factor) * img.width + x // factor) * 4
            j = (y * out.width + x) * 4
            out.data[j:j + 4] = img.data[i:i + 4]
    return out


def render_svg(svg_text, width, height, viewbox=None):
    """Renders SVG text at 1:1 into an Image of width x height.

    viewbox (left, top, width, height) picks the part of the canvas to render;
    with integer values the pixel grid stays that of the canvas."""
    if viewbox is not None:
        vb = "%d %d %d %d" % viewbox
        svg_text = re.sub(r'viewBox="[^"]*"', 'viewBox="%s"' % vb, svg_text, count=1)
        svg_text = re.sub(r'(<svg[^>]*?)\swidth="[^"]*"', r'\1 width="%d"' % width,
                          svg_text, count=1)
        svg_text = re.sub(r'(<svg[^>]*?)\sheight="[^"]*"', r'\1 height="%d"' % height,
                          svg_text, count=1)
    res = subprocess.run([RSVG, "--format=png", "-w", str(width), "-h", str(height)],
                         input=svg_text.encode("utf-8"), capture_output=True, check=True)
    if width * height >= BIG_PICTURE:
        # Decoded by ImageMagick: the same pixels, many times faster than decode_png.
        raw = subprocess.run([MAGICK, "png:-", "-depth", "8", "rgba:-"], input=res.stdout,
                             capture_output=True, check=True).stdout
        if len(raw) != width * height * 4:
            raise RuntimeError("ImageMagick decoded %d bytes of a %dx%d picture"
                               % (len(raw), width, height))
        return Image(width, height, raw)
    img = decode_png(res.stdout)
    if (img.width, img.height) != (width, height):
        raise RuntimeError("rsvg-convert gave %dx%d" % (img.width, img.height))
    return img


def only_group(svg_text, group_id, extra_css=""):
    """The SVG with every segment group hidden except group_id."""
    css = ("<style>.seg{display:none}#%s{display:inline}%s</style>"
           % (group_id, extra_css))
    return svg_text.replace("<!--STYLE-->", css, 1)


def threshold(img):
    """Rows of booleans: True where the picture is black."""
    rows = []
    d = img.data
    for y in range(img.height):
        row = []
        for x in range(img.width):
            i = (y * img.width + x) * 4
            a = d[i + 3]
            lum = (299 * d[i] + 587 * d[i + 1] + 114 * d[i + 2]) // 1000
            over_white = (lum * a + 255 * (255 - a)) // 255
            row.append(over_white < THRESHOLD)
        rows.append(row)
    return rows


# ---------------------------------------------------------------- BMP
def encode_bmp1(rows):
    """A 1-bit BMP, bottom-up, palette entry 0 black and entry 1 white."""
    height, width = len(rows), len(rows[0])
    stride = ((width + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, black in enumerate(row):
            if not black:
                line[x >> 3] |= 0x80 >> (x & 7)
        pixels += line
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(pixels),
                       2835, 2835, 2, 2)
    return header + info + palette + bytes(pixels)


def decode_bmp1(blob):
    """Rows of booleans (True = black) of a 1-bit BMP written by encode_bmp1."""
    offset = struct.unpack("<I", blob[10:14])[0]
    width, height = struct.unpack("<ii", blob[18:26])
    bpp = struct.unpack("<H", blob[28:30])[0]
    if bpp != 1:
        raise ValueError("not a 1-bit BMP")
    palette = [tuple(blob[54 + 4 * i:57 + 4 * i]) for i in range(2)]
    stride = ((width + 31) // 32) * 4
    rows = []
    for y in range(abs(height)):
        line = blob[offset + y * stride:offset + (y + 1) * stride]
        row = []
        for x in range(width):
            bit = (line[x >> 3] >> (7 - (x & 7))) & 1
            row.append(sum(palette[bit]) < 384)
        rows.append(row)
    if height > 0:
        rows.reverse()
    return rows


# ---------------------------------------------------------------- JPEG
def encode_jpeg(img, quality=92):
    """Baseline JPEG of the picture (composited over white), without metadata."""
    ppm = b"P6\n%d %d\n255\n" % (img.width, img.height) + img.rgb_over()
    res = subprocess.run([MAGICK, "ppm:-", "-strip", "-interlace", "none",
                          "-sampling-factor", "1x1", "-quality", str(quality),
                          "jpeg:-"], input=ppm, capture_output=True, check=True)
    return res.stdout


def decode_to_rgb(path):
    """(width, height, RGB bytes) of any picture file ImageMagick reads."""
    res = subprocess.run([MAGICK, path, "-depth", "8", "ppm:-"], capture_output=True,
                         check=True)
    blob = res.stdout
    parts = blob.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    return width, height, parts[4][-width * height * 3:]


# ---------------------------------------------------------------- ICO
def encode_ico(images, palette):
    """An icon with one 4-bit (16-colour) image per entry of images.

    images: list of (width, height, indices, mask) where indices are palette
    indices row-major (top first) and mask is True where transparent."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    pal = b"".join(bytes([b, g, r, 0]) for (r, g, b) in palette)
    pal += bytes(4 * (16 - len(palette)))
    for (w, h, idx, mask) in images:
        xor_stride = ((w * 4 + 31) // 32) * 4
        and_stride = ((w + 31) // 32) * 4
        xor = bytearray()
        andm = bytearray()
        for y in reversed(range(h)):
            line = bytearray(xor_stride)
            mline = bytearray(and_stride)
            for x in range(w):
                v = idx[y * w + x] & 15
                line[x >> 1] |= v << 4 if x % 2 == 0 else v
                if mask[y * w + x]:
                    mline[x >> 3] |= 0x80 >> (x & 7)
            xor += line
            andm += mline
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(andm),
                           0, 0, 16, 0)
        blob = info + pal + bytes(xor) + bytes(andm)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, 1, 4, len(blob),
                                   offset))
        offset += len(blob)
        blobs.append(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def write_bytes(path, blob):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(blob)
    os.replace(tmp, path)


def read_text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()

