#!/usr/bin/env python3
"""Rebuilds the artwork and the cues from their sources into a temporary folder
and compares the result with the committed files: the SVG drawings as text,
the two-colour pictures pixel for pixel, the JPEG pictures by their decoded
pixels within a small tolerance, the icons by pixels, the cues sample for sample.

Exits non-zero on any difference and when a needed tool is missing."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TOOLS = os.path.join(ROOT, "tools")
ASSETS = os.path.join(ROOT, "assets")
sys.path.insert(0, TOOLS)
import artlib  # noqa: E402

JPEG_MAX_DIFF = 12     # largest difference of one channel of one pixel
JPEG_MEAN_DIFF = 0.6   # mean difference over all channels
failures = []


def fail(msg):
    failures.append(msg)
    print("FAIL:", msg)


def run(script, *args):
    subprocess.run([sys.executable, os.path.join(TOOLS, script), *args], check=True)


def compare_text(a, b, label):
    if artlib.read_text(a) != artlib.read_text(b):
        fail("%s differs from what its script writes" % label)


def compare_bmp(a, b, label):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        ra, rb = artlib.decode_bmp1(fa.read()), artlib.decode_bmp1(fb.read())
    if ra != rb:
        diff = sum(x != y for la, lb in zip(ra, rb) for x, y in zip(la, lb)) if (
            len(ra) == len(rb)) else -1
        fail("%s: %s pixels differ from the rendering" % (label, diff))


def compare_jpeg(a, b, label):
    wa, ha, pa = artlib.decode_to_rgb(a)
    wb, hb, pb = artlib.decode_to_rgb(b)
    if (wa, ha) != (wb, hb):
        fail("%s: %dx%d, rendered %dx%d" % (label, wa, ha, wb, hb))
        return
    diffs = [abs(x - y) for x, y in zip(pa, pb)]
    worst, mean = max(diffs), sum(diffs) / len(diffs)
    if worst > JPEG_MAX_DIFF or mean > JPEG_MEAN_DIFF:
        fail("%s: decoded pixels differ (max %d, mean %.2f)" % (label, worst, mean))


def compare_ico(a, b, label):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        if fa.read() != fb.read():  # the ICO writer is ours: its bytes are its pixels
            fail("%s differs from the rendering" % label)


def compare_png(a, b, label):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        ia, ib = artlib.decode_png(fa.read()), artlib.decode_png(fb.read())
    if (ia.width, ia.height, ia.data) != (ib.width, ib.height, ib.data):
        fail("%s differs from the rendering" % label)


def wav_samples(path):
    with open(path, "rb") as f:
        blob = f.read()
    n = struct.unpack("<I", blob[40:44])[0] // 2
    return struct.unpack("<%dh" % n, blob[44:44 + 2 * n])


def main():
    for tool in (artlib.RSVG, artlib.MAGICK):
        if shutil.which(tool) is None:
            print("FAIL: %s is not installed" % tool)
            return 1
    tmp = tempfile.mkdtemp(prefix="fenwater-rebuild-")
    try:
        src = os.path.join(tmp, "src")
        run("draw_lcd.py", "--out", os.path.join(src, "lcd.svg"))
        run("draw_case.py", "--out", src)
        for name in sorted(os.listdir(src)):
            compare_text(os.path.join(ASSETS, "src", name), os.path.join(src, name),
                         "assets/src/" + name)
        run("build_assets.py", "--out", tmp)
        made = sorted(os.listdir(os.path.join(tmp, "pictures")))
        committed = sorted(os.listdir(os.path.join(ASSETS, "pictures")))
        if made != committed:
            fail("assets/pictures holds %s, the build makes %s"
                 % (sorted(set(committed) - set(made)), sorted(set(made) - set(committed))))
        for name in made:
            a, b = os.path.join(ASSETS, "pictures", name), os.path.join(tmp, "pictures", name)
            if not os.path.exists(a):
                continue
            (compare_bmp if name.endswith(".bmp") else compare_jpeg)(a, b, name)
        icons = os.path.join(tmp, "icons")
        compare_ico(os.path.join(ASSETS, "icons", "fenwater.ico"),
                    os.path.join(icons, "fenwater.ico"), "fenwater.ico")
        compare_png(os.path.join(ASSETS, "icons", "fenwater.png"),
                    os.path.join(icons, "fenwater.png"), "fenwater.png")
        compare_text(os.path.join(ASSETS, "icons", "fenwater.svg"),
                     os.path.join(icons, "fenwater.svg"), "fenwater.svg")
        sound = os.path.join(tmp, "SOUND")
        run("make_sounds.py", "--out", sound)
        for name in ("Got.wav", "Move.wav", "Start.wav"):
            if wav_samples(os.path.join(ASSETS, "SOUND", name)) != wav_samples(
                    os.path.join(sound, name)):
                fail("SOUND/%s differs from what make_sounds.py makes" % name)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    checked = "pictures, icons and cues"
    if failures:
        print("%d difference(s) in the %s" % (len(failures), checked))
        return 1
    print("all %s match their sources" % checked)
    return 0


if __name__ == "__main__":
    sys.exit(main())
