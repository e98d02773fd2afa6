#!/usr/bin/env python3
"""Writes assets/src/lcd.svg, the drawing of every LCD segment and digit.

The canvas is the game window (652 x 443) and every segment is drawn at its
place, so the pieces line up exactly as they do on the panel: the rod of the
catch pose reaches the caught fish, the leg strokes meet the body, the jump
segments sit beside their lanes. One group per picture, id = element name,
class "seg". The ten digit pictures are drawn from one digit design, each
translated to its own element rectangle (the row at the window's bottom left).

Shapes are black; white details (eyes) are painted white over them. The
pictures are made from this file by build_assets.py, which renders each group
alone and thresholds it, so every stroke here is at least 1.6 px wide.

Usage: draw_lcd.py [--out FILE]   (FILE defaults to assets/src/lcd.svg)
"""

import argparse
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402


def f(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def poly(points, fill="#000"):
    d = "M" + " L".join("%s %s" % (f(x), f(y)) for x, y in points) + " Z"
    return '<path d="%s" fill="%s"/>' % (d, fill)


def line(points, width, color="#000", cap="round"):
    d = "M" + " L".join("%s %s" % (f(x), f(y)) for x, y in points)
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="%s" stroke-linejoin="round"/>' % (d, color, f(width), cap))


def curve(p0, c0, c1, p1, width, color="#000"):
    d = "M%s %s C%s %s %s %s %s %s" % tuple(f(v) for v in (*p0, *c0, *c1, *p1))
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="round"/>' % (d, color, f(width)))


def circle(c, r, color="#000"):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (f(c[0]), f(c[1]), f(r), color)


def ellipse(c, rx, ry, angle=0, color="#000"):
    return ('<ellipse cx="0" cy="0" rx="%s" ry="%s" fill="%s" '
            'transform="translate(%s %s) rotate(%s)"/>'
            % (f(rx), f(ry), color, f(c[0]), f(c[1]), f(angle)))


def pixels(x0, y0, rows):
    """Pixel-exact shapes: one 1x1 square per 'X' of rows."""
    out = []
    for j, row in enumerate(rows):
        i = 0
        while i < len(row):
            if row[i] == "X":
                k = i
                while k < len(row) and row[k] == "X":
                    k += 1
                out.append('<rect x="%d" y="%d" width="%d" height="1"/>' % (x0 + i, y0 + j,
                                                                         k - i))
                i = k
            else:
                i += 1
    return "".join(out)


# ------------------------------------------------------------------ fish
def place(points, center, angle, bend, length):
    """Bends a fish drawn along the x axis (head at +x) and puts it on the panel.

    bend is the turn of the spine over the fish's length in degrees (positive
    arches the back), angle the heading of the head in degrees, y down."""
    k = math.radians(bend) / length
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)
    out = []
    for x, y in points:
        if abs(k) > 1e-9:
            r = 1.0 / k
            bx = (r + y) * math.sin(x * k)
            by = (r + y) * math.cos(x * k) - r
        else:
            bx, by = x, y
        out.append((center[0] + bx * ca - by * sa, center[1] + bx * sa + by * ca))
    return out


def fish(center, angle, length, bend=0.0, width=None, flip=False):
    """A fish silhouette: body, forked tail, dorsal and belly fins, a white eye.

    The fish is drawn with its middle at center, heading at angle (degrees,
    y down); bend arches its spine; flip puts its back on the other side."""
    L = length
    W = width if width is not None else L * 0.185
    head, tail_base = 0.5 * L, -0.26 * L
    s = -1 if flip else 1

    def w(u):  # half-height of the body, u = 0 at the nose, 1 at the tail base
        if u < 0.34:
            return W * math.sqrt(max(0.0, 1 - ((u - 0.34) / 0.34) ** 2)) * 0.96 + W * 0.04
        return W * (1 - 0.76 * ((u - 0.34) / 0.66) ** 1.25)

    def x_of(u):
        return head + (tail_base - head) * u

    n = 18
    top = [(x_of(i / n), -w(i / n) * s) for i in range(n + 1)]
    bottom = [(x, -y) for x, y in reversed(top)]
    wt = w(1.0)
    tail = [(tail_base + 0.05 * L, -wt * s), (-0.5 * L, -W * 1.3 * s), (-0.455 * L, -W * 0.5 * s),
            (-0.4 * L, 0), (-0.455 * L, W * 0.5 * s), (-0.5 * L, W * 1.3 * s),
            (tail_base + 0.05 * L, wt * s)]
    dorsal = [(x_of(0.3), -w(0.3) * s * 0.7), (x_of(0.5), -(w(0.5) + W * 0.72) * s),
              (x_of(0.66), -w(0.66) * s * 0.7)]
    belly = [(x_of(0.55), w(0.55) * s * 0.7), (x_of(0.7), (w(0.7) + W * 0.5) * s),
             (x_of(0.76), w(0.76) * s * 0.6)]
    parts = [poly(place(pts, center, angle, bend, L))
             for pts in (top + bottom[1:-1], tail, dorsal, belly)]
    eye = place([(x_of(0.14), -W * 0.24 * s)], center, angle, bend, L)[0]
    parts.append(circle(eye, max(0.95, W * 0.21), "#fff"))
    gill = place([(x_of(0.3), -W * 0.6 * s), (x_of(0.34), 0), (x_of(0.3), W * 0.6 * s)],
                 center, angle, bend, L)
    parts.append(line(gill, 0.7, "#fff"))
    return "".join(parts)


def heart(cx, top, w, h):
    x0, x1 = cx - w / 2, cx + w / 2
    ym = top + h * 0.3
    d = ("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s "
         "C%s %s %s %s %s %s C%s %s %s %s %s %s Z") % tuple(f(v) for v in (
             cx, top + h,
             cx - w * 0.1, top + h * 0.8, x0, top + h * 0.62, x0, ym,
             x0, top - h * 0.05, cx - w * 0.05, top - h * 0.02, cx, top + h * 0.25,
             cx + w * 0.05, top - h * 0.02, x1, top - h * 0.05, x1, ym,
             x1, top + h * 0.62, cx + w * 0.1, top + h * 0.8, cx, top + h))
    return '<path d="%s" fill="#000"/>' % d


# ------------------------------------------------------------------ figure
class Figure:
    """The fisherman at one position: hat, head, coat, arms and rod.

    hip is the middle of the coat's hem, facing -1 for left and +1 for right,
    rod_tip the end of the rod; the body is drawn from the hips up, the legs are
    the separate leg segments."""

    def __init__(self, hip, facing, rod_tip, scale=1.0):
        self.hx, self.hy = hip
        self.d = facing
        self.tip = rod_tip
        self.s = scale

    def p(self, fx, fy):
        """A point given forward (fx) and up (fy) from the hip, in body units."""
        return (self.hx + self.d * fx * self.s, self.hy - fy * self.s)

    def body(self):
        p, s = self.p, self.s
        out = []
        # coat, a little flared at the hem, with rounded shoulders
        out.append(poly([p(-5.6, -0.6), p(5.2, -0.6), p(5.4, 3), p(4.8, 13), p(3.4, 15.6),
                         p(-3.4, 15.6), p(-5.2, 13.4), p(-6.2, 3)]))
        # head, a nose, the eye under the brim
        out.append(circle(p(0.6, 20.6), 4.5 * s))
        out.append(circle(p(4.6, 20), 1.2 * s))
        out.append(circle(p(2.7, 21.4), 0.85 * s, "#fff"))
        # hat: a wide brim and a rounded crown
        out.append(line([p(-7.6, 24.6), p(8.6, 24.6)], 2.2 * s))
        out.append(poly([p(-4.4, 24.6), p(5, 24.6), p(4.4, 30), p(3.2, 31.4), p(-2.8, 31.4),
                         p(-4, 30)]))
        # belt: a white line across the coat
        out.append(line([p(-6, 3.6), p(5.4, 3.6)], 0.9 * s, "#fff", cap="butt"))
        # the rod, held low in both hands, and the arms reaching to it
        butt = p(-2, 1.8)
        (bx, by), (tx, ty) = butt, self.tip

        def on_rod(t):
            return (bx + (tx - bx) * t, by + (ty - by) * t)
        out.append(line([butt, on_rod(0.42)], 2.6 * s))
        out.append(line([on_rod(0.42), self.tip], 1.8 * s))
        hand1, hand2 = on_rod(0.22), on_rod(0.36)
        out.append(line([p(1.2, 14), p(4.6, 9), hand2], 3.0 * s))
        out.append(line([p(-2.4, 13), p(-0.4, 6.6), hand1], 2.6 * s))
        out.append(circle(hand2, 1.7 * s))
        return "".join(out)


def legs(strokes, boots, width=3.0):
    """Leg strokes (polylines) ending in boots (short strokes along the ground)."""
    return ("".join(line(pts, width) for pts in strokes)
            + "".join(line(pts, 2.4) for pts in boots))


def rod_catch(start, end, sag):
    """The bent rod of the catch pose, from the rod's tip down to the fish."""
    (x0, y0), (x1, y1) = start, end
    c0 = (x0 + (x1 - x0) * 0.15 + sag[0], y0 + (y1 - y0) * 0.05 + sag[1])
    c1 = (x1 + sag[0] * 0.2, y1 - (y1 - y0) * 0.45)
    return curve(start, c0, c1, end, 2.0)


# ------------------------------------------------------------------ crab
def crab_body(cx, cy, facing):
    """Crab seen from the front: shell, eyes on stalks, legs, small claws held up."""
    out = []
    out.append(ellipse((cx, cy + 2), 7.6, 5.2))
    out.append(poly([(cx - 7.4, cy + 1), (cx - 4, cy - 2.6), (cx + 4, cy - 2.6),
                     (cx + 7.4, cy + 1)]))
    for sx in (-1, 1):
        out.append(line([(cx + sx * 2.6, cy - 2), (cx + sx * 3.4, cy - 6.4)], 1.6))
        out.append(circle((cx + sx * 3.5, cy - 7), 1.5))
        for i, (dx, dy) in enumerate(((9.8, 3.8), (10.2, 7.4), (8.8, 10.6))):
            out.append(line([(cx + sx * 5.5, cy + 2.2 + i * 1.6),
                             (cx + sx * (dx - 1.5), cy + dy - 2.4),
                             (cx + sx * dx, cy + dy)], 1.6))
        # small claws raised beside the eyes
        out.append(line([(cx + sx * 6.5, cy - 1), (cx + sx * 9.2, cy - 4.2)], 1.8))
        out.append(poly([(cx + sx * 8, cy - 5), (cx + sx * 9.6, cy - 9.4),
                         (cx + sx * 10.6, cy - 6.2), (cx + sx * 10.2, cy - 3.4)]))
    out.append(line([(cx - 3.4, cy + 3.2), (cx + 3.4, cy + 3.2)], 0.8, "#fff"))
    return "".join(out)


def claw(base, tip):
    """A crab's arm from base reaching to tip, ending in an open pincer."""
    (x0, y0), (x1, y1) = base, tip
    a = math.atan2(y1 - y0, x1 - x0)
    ca, sa = math.cos(a), math.sin(a)

    def at(u, v):  # u along the reach from the pincer's palm, v across it
        return (x1 + u * ca - v * sa, y1 + u * sa + v * ca)
    palm = at(-4.6, 0)
    out = [line([base, palm], 2.3),
           ellipse(at(-4.2, 0), 3.4, 3.0, math.degrees(a)),
           poly([at(-4.6, -2.8), at(-1.4, -3.6), at(1.4, -2.6), at(2.8, -0.6), at(0.4, -0.9),
                 at(-2.4, -0.4)]),
           poly([at(-4.6, 2.8), at(-1.6, 3.2), at(0.8, 2.4), at(1.6, 1.0), at(-0.6, 1.1),
                 at(-2.4, 0.5)])]
    return "".join(out)


# ------------------------------------------------------------------ sticks
def stick(p0, p1, sag=0.0):
    """A pole from p0 (the thick end) to p1, bowed down by sag pixels."""
    (x0, y0), (x1, y1) = p0, p1
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2 + sag * 2
    pts = []
    for i in range(17):
        t = i / 16
        x = (1 - t) ** 2 * x0 + 2 * (1 - t) * t * mx + t * t * x1
        y = (1 - t) ** 2 * y0 + 2 * (1 - t) * t * my + t * t * y1
        pts.append((x, y))
    out = [line(pts[i:i + 2], 3.4 - 1.2 * (i / 15)) for i in range(16)]
    out.append(circle(pts[0], 1.9))
    return "".join(out)


# ------------------------------------------------------------------ small marks
def skeleton(x, y):
    """The miss mark: a fish skeleton, 23 x 12, head to the left."""
    out = [poly([(x, y + 6), (x + 3.5, y + 1), (x + 7.5, y + 1.5), (x + 8.5, y + 6),
                 (x + 7.5, y + 10.5), (x + 3.5, y + 11)]),
           circle((x + 4.6, y + 4.6), 1.1, "#fff"),
           line([(x + 8, y + 6), (x + 19, y + 6)], 2),
           poly([(x + 18, y + 6), (x + 23, y + 0.8), (x + 22, y + 6), (x + 23, y + 11.2)])]
    for i in range(3):
        bx = x + 11 + i * 2.8
        out.append(line([(bx, y + 6), (bx + 1.2, y + 1.6)], 1.6))
        out.append(line([(bx, y + 6), (bx + 1.2, y + 10.4)], 1.6))
    return "".join(out)


FONT5 = {
    "G": [".XXX", "X...", "X.XX", "X..X", ".XXX"],
    "A": [".XX.", "X..X", "XXXX", "X..X", "X..X"],
    "M": ["X...X", "XX.XX", "X.X.X", "X...X", "X...X"],
    "E": ["XXX", "X..", "XX.", "X..", "XXX"],
    "B": ["XXX.", "X..X", "XXX.", "X..X", "XXX."],
    "I": ["XXX", ".X.", ".X.", ".X.", "XXX"],
    "S": [".XXX", "X...", ".XX.", "...X", "XXX."],
    " ": [".", ".", ".", ".", "."],
}
FONT4 = {
    "A": [".XX.", "X..X", "XXXX", "X..X"],
    "M": ["X...X", "XX.XX", "X.X.X", "X...X"],
    "P": ["XXX.", "X..X", "XXX.", "X..."],
}


def text_rows(text, font):
    rows = [""] * len(next(iter(font.values())))
    for i, ch in enumerate(text):
        glyph = font[ch]
        for j in range(len(rows)):
            rows[j] += glyph[j] + ("." if i < len(text) - 1 else "")
    return rows


def note(x, y):
    """Two beamed eighth notes in a 19 x 16 box."""
    out = [ellipse((x + 4.6, y + 12.6), 3.4, 2.3, -22), ellipse((x + 14.4, y + 10.6), 3.4, 2.3, -22),
           line([(x + 7.3, y + 12), (x + 7.3, y + 3.4)], 1.7, cap="butt"),
           line([(x + 17.1, y + 10), (x + 17.1, y + 1.4)], 1.7, cap="butt"),
           poly([(x + 6.5, y + 2.6), (x + 17.9, y + 0.4), (x + 17.9, y + 3.2),
                 (x + 6.5, y + 5.4)])]
    return "".join(out)


# seven segments of a 16 x 19 digit: a top, b upper right, c lower right,
# d bottom, e lower left, f upper left, g middle
DIGIT_SEGMENTS = {0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc", 5: "afgcd",
                  6: "afgedc", 7: "abc", 8: "abcdefg", 9: "abcdfg"}


def digit(n, x, y):
    t, g = 2.6, 0.55  # segment thickness and the gap between segments
    left, right, top, mid, bot = 2.6, 13.0, 1.0, 9.5, 18.0
    h = t / 2
    bars = {
        "a": ("h", left, right, top + h), "g": ("h", left, right, mid), "d": ("h", left, right, bot - h),
        "f": ("v", top, mid, left + h), "b": ("v", top, mid, right - h),
        "e": ("v", mid, bot, left + h), "c": ("v", mid, bot, right - h),
    }
    out = []
    for name in DIGIT_SEGMENTS[n]:
        kind, a0, a1, c = bars[name]
        if kind == "h":
            x0, x1 = a0 + h + g, a1 - h - g
            pts = [(x0 - h, c), (x0, c - h), (x1, c - h), (x1 + h, c), (x1, c + h), (x0, c + h)]
        else:
            y0, y1 = a0 + h + g, a1 - h - g
            if name in "fb":
                y0 = max(y0, top + t + g - h)
            pts = [(c, y0 - h), (c + h, y0), (c + h, y1), (c, y1 + h), (c - h, y1), (c - h, y0)]
        # lean the digit forward a little, as LCD digits do
        pts = [(px + (mid - py) * 0.09 + x, py + y) for px, py in pts]
        out.append(poly(pts))
    return "".join(out)


# ------------------------------------------------------------------ the panel
def groups():
    g = {}
    F1 = Figure(hip=(249, 180), facing=-1, rod_tip=(214, 172.6))
    F2 = Figure(hip=(268.5, 177), facing=1, rod_tip=(298.6, 170.8))
    F3 = Figure(hip=(395.4, 168.4), facing=-1, rod_tip=(370.4, 167.8), scale=0.9)
    for i, fig in ((1, F1), (2, F2), (3, F3)):
        g["Im_Man%d" % i] = fig.body()
    # leg strokes: A standing, B in mid-stride
    g["Im_Man1A"] = legs([[(247, 180.5), (245.2, 187.4)], [(251, 180.5), (253.6, 187.4)]],
                         [[(243, 187.6), (246.4, 187.6)], [(251.4, 187.6), (254.8, 187.6)]])
    g["Im_Man1B"] = legs([[(247, 180.5), (242.5, 183.5), (239.6, 185.2)],
                          [(251, 180.5), (255.6, 184.6), (258.4, 179.4)]],
                         [[(237.4, 185.4), (240.6, 185.4)], [(258.4, 177.4), (258.8, 180.6)]])
    g["Im_Man2A"] = legs([[(266.4, 177.5), (265.6, 187.4)], [(270, 177.5), (269.6, 187.4)]],
                         [[(264.8, 187.6), (267.6, 187.6)], [(269, 187.6), (271, 187.6)]],
                         width=2.6)
    g["Im_Man2B"] = legs([[(266.6, 175.6), (265.6, 184.6)],
                          [(270.4, 175.6), (277.2, 178.8), (281.4, 184.6)]],
                         [[(265, 184.6), (267.8, 184.6)], [(281.2, 184.8), (284.6, 184.8)]])
    g["Im_Man3A"] = legs([[(398.4, 168.4), (400.2, 181.4)], [(401.6, 168.4), (406.8, 181.4)]],
                         [[(398.2, 181.6), (401.2, 181.6)], [(404.8, 181.6), (408.6, 181.6)]],
                         width=2.8)
    g["Im_Man3B"] = legs([[(394.6, 166), (390.6, 172.6), (387, 178.6)],
                          [(398.4, 166), (403.4, 173), (405.6, 167.8)]],
                         [[(385.4, 179.4), (388.6, 179.4)], [(405.8, 166.2), (406, 169.4)]],
                         width=2.8)
    g["Im_Man1C"] = rod_catch((214, 172.5), (200.5, 195), (-4, 3))
    g["Im_Man2C"] = rod_catch((298, 171), (310.5, 192.5), (4, 3))
    g["Im_Man3C"] = rod_catch((370.5, 168), (359.5, 190), (-3, 3))
    # caught fish hanging from the line, head up, wriggling
    g["Im_Fish1Got"] = (fish((196, 212.5), -78, 23, bend=-35, width=4.4)
                        + line([(200.2, 199.5), (199.4, 203)], 1.7))
    g["Im_Fish2Got"] = fish((318, 206.5), -102, 27, bend=38, width=4.8)
    g["Im_Fish3Got"] = fish((348, 198), -48, 28, bend=30, width=4.8)
    # crabs at the top of the lanes
    g["Im_Crab1"] = crab_body(193.5, 155.5, 1)
    g["Im_Crab1A"] = claw((198.6, 170.2), (210.6, 190.2))
    g["Im_Crab1B"] = claw((193.4, 170.2), (189.6, 190.4)) + claw((200.6, 170.2), (216.8, 189.6))
    g["Im_Crab2"] = crab_body(319.5, 153, -1)
    g["Im_Crab2A"] = claw((315.4, 168.2), (299.6, 188.2))
    g["Im_Crab2B"] = claw((313.6, 168.2), (294, 187.6)) + claw((321.4, 168.2), (321.6, 188.4))
    g["Im_Crab3"] = crab_body(351, 151.5, 1)
    g["Im_Crab3A"] = claw((355.4, 167.2), (369.6, 185.6))
    g["Im_Crab3B"] = claw((349.6, 167.2), (348.4, 185.6)) + claw((356.6, 167.2), (375.4, 185))
    # sticks below the three positions: at rest and bent down by a fish
    g["Im_Stick1"] = stick((242.2, 193.6), (209.2, 195.2))
    g["Im_Stick1A"] = stick((249.2, 200.4), (217, 200.4), sag=2.0)
    g["Im_Stick2"] = stick((268.2, 193.2), (301, 195))
    g["Im_Stick2A"] = stick((272.2, 201), (305.8, 201.6), sag=2.0)
    g["Im_Stick3"] = stick((401.2, 188.8), (368.2, 190.6))
    g["Im_Stick3A"] = stick((406, 197.6), (373.4, 197.6), sag=2.0)
    # lane 1 and its jump
    g["Im_Fish11"] = fish((246, 250.5), -142, 25, bend=18)
    g["Im_Fish12"] = fish((219, 238.5), -100, 27, bend=30)
    g["Im_Fish13"] = fish((229, 211), -84, 21, bend=-12, width=4.2)
    g["Im_Fish11A"] = fish((198.5, 268.5), 118, 26, bend=-30)
    g["Im_Fish11B"] = fish((228, 285), 8, 28, bend=-24)
    g["Im_Fish0"] = heart(285.5, 261.5, 9.6, 10.5)
    # lane 2
    g["Im_Fish21"] = fish((302, 265), -112, 21, bend=14, width=4.0)
    g["Im_Fish22"] = fish((290, 243.5), -150, 25, bend=16)
    g["Im_Fish23"] = fish((266.5, 229), -75, 28, bend=-34)
    g["Im_Fish24"] = fish((293.5, 210.5), -96, 22, bend=10, width=4.3)
    # lane 3 and its jump
    g["Im_Fish31"] = fish((303.8, 290), -40, 18, bend=-12, width=3.6)
    g["Im_Fish32"] = fish((343.5, 266), -55, 24, bend=-16)
    g["Im_Fish33"] = fish((366.5, 250.5), -104, 23, bend=16, width=4.3)
    g["Im_Fish34"] = fish((348, 228.5), -40, 27, bend=26)
    g["Im_Fish35"] = fish((380, 212.5), -100, 23, bend=14, width=4.4)
    g["Im_Fish32A"] = fish((322.5, 250.5), -112, 26, bend=34)
    g["Im_Fish32B"] = fish((321.5, 275), 80, 25, bend=-28)
    # clock and game marks
    g["Im_TimeAM"] = pixels(333, 284, text_rows("AM", FONT4))
    g["Im_TimePM"] = pixels(333, 297, text_rows("PM", FONT4))
    g["Im_TimePP"] = ('<rect x="375" y="288" width="3" height="3"/>'
                      '<rect x="375" y="294" width="3" height="3"/>')
    g["Im_Note"] = note(354, 264)
    g["Im_GameA"] = pixels(377, 250, text_rows("GAME A", FONT5))
    g["Im_GameB"] = pixels(377, 263, text_rows("GAME B", FONT5))
    g["Im_Miss1"] = skeleton(408, 251) + pixels(411, 273, text_rows("MISS", FONT5))
    g["Im_Miss2"] = skeleton(408, 234)
    return g


def build_svg():
    layout = artlib.read_layout()
    g = groups()
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!-- Written by tools/draw_lcd.py: edit the script, not this file.\n'
           '     One group per picture, id = element name, drawn at the element\'s place in\n'
           '     the window. The digits Im_Num0..9 are drawn at their own element\n'
           '     rectangles, the row at the bottom left (x 0..232, y 400..419). -->',
           '<svg xmlns="http://www.w3.org/2000/svg" width="652" height="443" '
           'viewBox="0 0 652 443" shape-rendering="geometricPrecision">',
           "<!--STYLE-->"]
    for e in layout:
        if e.kind != "Mono":
            continue
        if e.name.startswith("Im_Num"):
            n = int(e.name[6:])
            out.append('<g id="%s" class="seg" transform="translate(%d %d)">%s</g>'
                       % (e.name, e.left, e.top, digit(n, 0, 0)))
            continue
        if e.name not in g:
            raise KeyError("no drawing for " + e.name)
        out.append('<g id="%s" class="seg">%s</g>' % (e.name, g[e.name]))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(artlib.ROOT, "assets", "src", "lcd.svg"))
    args = parser.parse_args()
    artlib.write_bytes(args.out, build_svg().encode("utf-8"))


if __name__ == "__main__":
    main()
