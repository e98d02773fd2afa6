#!/usr/bin/env python3
"""Renders the pictures of assets/ from the SVG sources in assets/src/.

  assets/src/lcd.svg      -> assets/pictures/<segment>.bmp and Im_Num0..9.bmp
  assets/src/case.svg     -> Im_Base.jpg and the four button pictures
  assets/src/piccina.svg  -> Im_Piccina.jpg      assets/src/about.svg -> about.jpg
  assets/src/icon.svg     -> assets/icons/fenwater.{png,ico,svg}

Each two-colour picture is the element's own group of lcd.svg rendered alone
over exactly the element's rectangle of the window, and thresholded.
The button pictures are case.svg rendered with its raised buttons, cropped at
the buttons' rectangles, so that they match Im_Base everywhere else.

Every picture but the icons is made for three scales: 1:1, and 2 and 3 device
pixels a window pixel for high-density screens ("Im_Man1@2x.bmp",
"Im_Base@3x.jpg"). A scaled picture is rendered from the drawing at its own
size, and a two-colour one thresholded there, so its edges fall on device
pixels instead of being the 1:1 picture enlarged.

Usage: build_assets.py [--out DIR]   (DIR defaults to assets/)
"""

import argparse
import os
import shutil
import sys
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402

SRC = os.path.join(artlib.ROOT, "assets", "src")
SCALES = (1, 2, 3)
BUTTONS = ["Puls_Time", "Puls_ACL", "Puls_Left", "Puls_Right"]
JPEGS = [("piccina.svg", "Im_Piccina.jpg", 200, 137), ("about.svg", "about.jpg", 259, 88)]
RAISED_CSS = "<style>.pressed{display:none}.raised{display:inline}</style>"

# The 16 colours of the small icons: black, white, greys, and the case's and fish's tones.
ICON_PALETTE = [
    (0, 0, 0), (255, 255, 255), (96, 96, 96), (176, 176, 176),
    (20, 62, 74), (38, 110, 124), (86, 164, 170), (170, 214, 208),
    (212, 226, 200), (140, 96, 48), (214, 168, 96), (196, 64, 40),
    (240, 200, 60), (30, 40, 110), (60, 100, 190), (130, 170, 230),
]


def scaled_name(name, scale):
    """The file name of a picture drawn for a scale: Im_Man1@2x.bmp for 2."""
    if scale == 1:
        return name
    stem, ext = os.path.splitext(name)
    return "%s@%dx%s" % (stem, scale, ext)


def mono_picture(svg, element, scale):
    img = artlib.render_svg(artlib.only_group(svg, element.name), element.width * scale,
                            element.height * scale, viewbox=element.rect)
    return artlib.threshold(img)


def build_mono(out):
    svg = artlib.read_text(os.path.join(SRC, "lcd.svg"))
    jobs = [(e, scale) for scale in SCALES for e in artlib.mono_elements()]
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(lambda job: (job, mono_picture(svg, *job)), jobs))
    for (element, scale), rows in results:
        artlib.write_bytes(os.path.join(out, "pictures", scaled_name(element.name + ".bmp", scale)),
                           artlib.encode_bmp1(rows))


def build_case(out, scale):
    layout = artlib.layout_by_name()
    svg = artlib.read_text(os.path.join(SRC, "case.svg"))
    w, h = 652 * scale, 443 * scale
    base = artlib.render_svg(svg.replace("<!--STYLE-->", "", 1), w, h)
    artlib.write_bytes(os.path.join(out, "pictures", scaled_name("Im_Base.jpg", scale)),
                       artlib.encode_jpeg(base))
    raised = artlib.render_svg(svg.replace("<!--STYLE-->", RAISED_CSS, 1), w, h)
    for name in BUTTONS:
        left, top, width, height = layout[name].rect
        crop = raised.crop(left * scale, top * scale, width * scale, height * scale)
        artlib.write_bytes(os.path.join(out, "pictures", scaled_name(name + ".jpg", scale)),
                           artlib.encode_jpeg(crop))


def build_pictures(out, scale):
    for src, name, w, h in JPEGS:
        svg = artlib.read_text(os.path.join(SRC, src)).replace("<!--STYLE-->", "", 1)
        artlib.write_bytes(os.path.join(out, "pictures", scaled_name(name, scale)),
                           artlib.encode_jpeg(artlib.render_svg(svg, w * scale, h * scale)))


def nearest(rgb):
    best, best_d = 0, None
    for i, (r, g, b) in enumerate(ICON_PALETTE):
        d = (r - rgb[0]) ** 2 + (g - rgb[1]) ** 2 + (b - rgb[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def icon_image(svg, size):
    img = artlib.render_svg(svg, size, size)
    idx, mask = [], []
    for i in range(size * size):
        r, g, b, a = img.data[i * 4:i * 4 + 4]
        transparent = a < 128
        mask.append(transparent)
        idx.append(0 if transparent else nearest((r, g, b)))
    return (size, size, idx, mask)


def build_icons(out):
    path = os.path.join(SRC, "icon.svg")
    svg = artlib.read_text(path).replace("<!--STYLE-->", "", 1)
    icons = os.path.join(out, "icons")
    artlib.write_bytes(os.path.join(icons, "fenwater.png"),
                       artlib.encode_png(artlib.render_svg(svg, 256, 256)))
    artlib.write_bytes(os.path.join(icons, "fenwater.ico"),
                       artlib.encode_ico([icon_image(svg, 16), icon_image(svg, 32)],
                                         ICON_PALETTE))
    os.makedirs(icons, exist_ok=True)
    shutil.copyfile(path, os.path.join(icons, "fenwater.svg"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(artlib.ROOT, "assets"))
    args = parser.parse_args()
    build_mono(args.out)
    for scale in SCALES:
        build_case(args.out, scale)
        build_pictures(args.out, scale)
    build_icons(args.out)


if __name__ == "__main__":
    main()
