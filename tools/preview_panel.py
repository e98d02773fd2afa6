#!/usr/bin/env python3
"""Composites the panel from the built pictures into a PNG, as the window draws it:
Im_Base, the button pictures, then the black pixels of every lit segment and digit.

  preview_panel.py poweron OUT.png [--scale 2] [--pressed]
  preview_panel.py play OUT.png          a game B in play, score 037, one miss
  preview_panel.py catch OUT.png         a catch at the left position in game B
  preview_panel.py all OUT.png           every segment and 88:88 (overlap check)
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402

PICTURES = os.path.join(artlib.ROOT, "assets", "pictures")
UNLIT_AT_POWER_ON = {"Im_TimePM", "Im_GameA", "Im_GameB", "Im_Fish32", "Im_Fish32A",
                     "Im_Fish1Got", "Im_Fish2Got", "Im_Fish3Got"}
CATCH = ["Im_Man1", "Im_Man1B", "Im_Man1C", "Im_Fish1Got", "Im_Fish12", "Im_Fish23",
         "Im_Fish33", "Im_Fish11B", "Im_Stick2", "Im_Stick3", "Im_Crab2", "Im_Crab2A",
         "Im_Note", "Im_TimePP", "Im_GameB", "Im_Miss1", "Im_Miss2"]
PLAY = ["Im_Man2", "Im_Man2A", "Im_Fish11", "Im_Fish13", "Im_Fish22", "Im_Fish32B",
        "Im_Fish34", "Im_Crab3", "Im_Crab3A", "Im_Stick1A", "Im_Stick2", "Im_Stick3",
        "Im_Note", "Im_TimePP", "Im_GameB", "Im_Miss1", "Im_Fish0"]


def segments_of(pattern, layout):
    names = [e.name for e in layout if e.kind == "Mono" and not e.name.startswith("Im_Num")]
    if pattern == "poweron":
        return ([n for n in names if n not in UNLIT_AT_POWER_ON] + ["Im_Miss3"],
                [1, 2, 0, 0], True)
    if pattern == "play":
        return PLAY, [None, 0, 3, 7], False
    if pattern == "catch":
        return CATCH, [None, 1, 2, 8], False
    return names + ["Im_Miss3"], [8, 8, 8, 8], True


def composite(pattern, pictures=PICTURES, pressed=()):
    layout = artlib.read_layout()
    by = {e.name: e for e in layout}
    w, h, rgb = artlib.decode_to_rgb(os.path.join(pictures, "Im_Base.jpg"))
    img = artlib.Image(w, h)
    img.paste_rgb(rgb, w, h, 0, 0)
    for b in ("Puls_Time", "Puls_ACL", "Puls_Left", "Puls_Right"):
        if b in pressed:
            continue
        e = by[b]
        bw, bh, brgb = artlib.decode_to_rgb(os.path.join(pictures, b + ".jpg"))
        img.paste_rgb(brgb, bw, bh, e.left, e.top)
    segs, digits, _ = segments_of(pattern, layout)
    stamps = []
    for name in segs:
        src = "Im_Miss2" if name == "Im_Miss3" else name
        stamps.append((by[name], os.path.join(pictures, src + ".bmp")))
    for place, d in enumerate(digits, start=1):
        if d is not None:
            stamps.append((by["Im_NumPos%d" % place],
                           os.path.join(pictures, "Im_Num%d.bmp" % d)))
    for e, path in stamps:
        with open(path, "rb") as fh:
            rows = artlib.decode_bmp1(fh.read())
        for y, row in enumerate(rows):
            for x, black in enumerate(row):
                if black:
                    i = ((e.top + y) * w + e.left + x) * 4
                    img.data[i:i + 4] = b"\x00\x00\x00\xff"
    return img


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("pattern", choices=["poweron", "play", "catch", "all"])
    parser.add_argument("out")
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("--crop", help="left,top,width,height of the part to keep")
    parser.add_argument("--pressed", action="store_true", help="all four buttons pressed")
    args = parser.parse_args()
    pressed = ("Puls_Time", "Puls_ACL", "Puls_Left", "Puls_Right") if args.pressed else ()
    img = composite(args.pattern, pressed=pressed)
    if args.crop:
        img = img.crop(*[int(v) for v in args.crop.split(",")])
    if args.scale > 1:
        img = artlib.scale_nearest(img, args.scale)
    artlib.write_bytes(args.out, artlib.encode_png(img))


if __name__ == "__main__":
    main()
