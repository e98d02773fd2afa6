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


def fish(center, angle, length, bend=0.0, width=None, flip=False, fins=True):
    """A fish silhouette: body, forked tail, dorsal and belly fins, a white eye.

    The fish is drawn with its middle at center; flip mirrors it across its
    spine (the back on the other side)."""
    L = length
    W = width if width is not None else L * 0.2
    head, tail_base = 0.5 * L, -0.28 * L
    s = -1 if flip else 1

    def w(u):  # half-height of the body, u = 0 at the nose, 1 at the tail base
        return W * math.sqrt(max(u, 0)) * (1 - 0.82 * u) / 0.42

    n = 14
    top, bottom = [], []
    for i in range(n + 1):
        u = i / n
        x = head + (tail_base - head) * u
        top.append((x, -w(u) * s))
        bottom.append((x, w(u) * s))
    body = top + list(reversed(bottom))[:-1]
    wt = w(1.0)
    tail = [(tail_base + 0.04 * L, -wt * s), (-0.5 * L, -W * 1.25 * s),
            (-0.43 * L, 0), (-0.5 * L, W * 1.25 * s), (tail_base + 0.04 * L, wt * s)]
    parts = [poly(place(body, center, angle, bend, L)),
             poly(place(tail, center, angle, bend, L))]
    if fins:
        ud, ue = 0.3, 0.62
        xd, xe = head + (tail_base - head) * ud, head + (tail_base - head) * ue
        dorsal = [(xd, -w(ud) * s * 0.8), (xd - 0.1 * L, -(w(0.45) + W * 0.75) * s),
                  (xe, -w(ue) * s * 0.8)]
        ub = 0.5
        xb = head + (tail_base - head) * ub
        belly = [(xb + 0.03 * L, w(ub) * s * 0.8), (xb - 0.1 * L, (w(0.6) + W * 0.55) * s),
                 (xb - 0.12 * L, w(0.6) * s * 0.7)]
        parts.append(poly(place(dorsal, center, angle, bend, L)))
        parts.append(poly(place(belly, center, angle, bend, L)))
    eye = place([(head - 0.16 * L, -W * 0.28 * s)], center, angle, bend, L)[0]
    parts.append(circle(eye, max(0.95, W * 0.22), "#fff"))
    gill = place([(head - 0.27 * L, -W * 0.55 * s), (head - 0.3 * L, 0),
                  (head - 0.27 * L, W * 0.55 * s)], center, angle, bend, L)
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
    """The fisherman at one position, facing left (dir -1) or right (dir +1).

    hip is the point where the legs meet the body, foot_y the ground line."""

    def __init__(self, hip, foot_y, facing, rod_tip, scale=1.0):
        self.hx, self.hy = hip
        self.foot_y = foot_y
        self.d = facing
        self.tip = rod_tip
        self.s = scale

    def p(self, fx, fy):
        """A point given forward (fx) and up (fy) from the hip."""
        return (self.hx + self.d * fx * self.s, self.hy - fy * self.s)

    def body(self):
        p, s = self.p, self.s
        out = []
        # coat: a trapezoid from the hips to the shoulders
        out.append(poly([p(-4, 1), p(4.2, 1), p(3.6, 15), p(2.4, 17.5), p(-3.2, 17.5),
                         p(-4.6, 15)]))
        # head and neck
        out.append(circle(p(0.8, 22), 3.7 * s))
        # hat: brim and crown
        out.append(poly([p(-7.5, 24.6), p(7.8, 24.6), p(7.2, 26.4), p(-7, 26.4)]))
        out.append(poly([p(-4, 26), p(4.6, 26), p(3.6, 31.5), p(-3.2, 31.5)]))
        # eye under the brim
        out.append(circle(p(2.6, 22.4), 0.75 * s, "#fff"))
        # arms reaching forward to the rod
        out.append(line([p(0, 15.5), p(6, 11), p(9.5, 10.5)], 2.6 * s))
        out.append(line([p(-1, 14), p(3, 8), p(8, 8.5)], 2.2 * s))
        # the rod: butt at the belly, through the hands, out to the tip
        butt = p(1, 4)
        out.append(line([butt, p(9, 9.5)], 2.4 * s))
        out.append(line([p(9, 9.5), self.tip], 1.7 * s))
        # the standing leg with its boot
        out.append(line([p(0.8, 1.5), p(2.5, (self.hy - self.foot_y + 2.2) / s)], 3.2 * s))
        fy = (self.hy - self.foot_y + 1.2) / s
        out.append(line([p(1.5, fy), p(5.5, fy)], 2.4 * s))
        return "".join(out)

    def leg_standing(self):
        p, s = self.p, self.s
        fy = (self.hy - self.foot_y + 1.2) / s
        return (line([p(-1.8, 0.5), p(-5, fy + 1)], 3.2 * s)
                + line([p(-5.5, fy), p(-2, fy)], 2.4 * s))

    def leg_stride(self):
        p, s = self.p, self.s
        knee = p(-7.5, 2.5)
        return (line([p(-1.8, 1.5), knee, p(-13, 7.5)], 3 * s)
                + line([p(-13.5, 7.2), p(-14.5, 10.8)], 2.4 * s))


def rod_catch(start, end, sag):
    """The bent rod of the catch pose, from the rod's tip down to the fish."""
    (x0, y0), (x1, y1) = start, end
    c0 = (x0 + (x1 - x0) * 0.15 + sag[0], y0 + (y1 - y0) * 0.05 + sag[1])
    c1 = (x1 + sag[0] * 0.2, y1 - (y1 - y0) * 0.45)
    return (curve(start, c0, c1, end, 2.0)
            + line([end, (end[0] + 0.6, end[1] + 2.6)], 1.6))


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


def pincer(base, tip, open_deg=34):
    """An arm stroke from base to tip ending in an open pincer."""
    (x0, y0), (x1, y1) = base, tip
    a = math.atan2(y1 - y0, x1 - x0)
    out = [line([base, tip], 2.4)]
    for sgn in (-1, 1):
        b = a + sgn * math.radians(open_deg)
        out.append(poly([(x1 - 1.2 * math.cos(a + sgn * 1.4), y1 - 1.2 * math.sin(a + sgn * 1.4)),
                         (x1 + 5.2 * math.cos(b), y1 + 5.2 * math.sin(b)),
                         (x1 + 1.2 * math.cos(a - sgn * 0.5), y1 + 1.2 * math.sin(a - sgn * 0.5))]))
    return "".join(out)


# ------------------------------------------------------------------ sticks
def stick(p0, p1, sag=0.0, knots=()):
    """A tapering pole from p0 (thick end) to p1, bowed down by sag pixels."""
    (x0, y0), (x1, y1) = p0, p1
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2 + sag * 2
    pts = []
    for i in range(17):
        t = i / 16
        x = (1 - t) ** 2 * x0 + 2 * (1 - t) * t * mx + t * t * x1
        y = (1 - t) ** 2 * y0 + 2 * (1 - t) * t * my + t * t * y1
        pts.append((x, y))
    out = []
    for i in range(16):
        wdt = 3.0 - 1.2 * (i / 15)
        out.append(line([pts[i], pts[i + 1]], wdt))
    for t in knots:
        i = int(t * 16)
        x, y = pts[i]
        out.append(line([(x, y), (x + (1 if x1 > x0 else -1) * 1.5, y - 2.2)], 1.5))
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
    F1 = Figure(hip=(246.5, 178.5), foot_y=187.5, facing=-1, rod_tip=(214, 171.5))
    F2 = Figure(hip=(270.5, 173.5), foot_y=186.5, facing=1, rod_tip=(298.5, 170))
    F3 = Figure(hip=(393, 166), foot_y=181, facing=-1, rod_tip=(370.5, 166.5), scale=0.95)
    for i, fig in ((1, F1), (2, F2), (3, F3)):
        g["Im_Man%d" % i] = fig.body()
        g["Im_Man%dA" % i] = fig.leg_standing()
        g["Im_Man%dB" % i] = fig.leg_stride()
    g["Im_Man1C"] = rod_catch((214, 172.5), (200.5, 195), (-4, 3))
    g["Im_Man2C"] = rod_catch((298, 171), (310.5, 192.5), (4, 3))
    g["Im_Man3C"] = rod_catch((370.5, 168), (359.5, 190), (-3, 3))
    # caught fish hanging from the line, head up, wriggling
    g["Im_Fish1Got"] = fish((196, 212), -78, 24, bend=-35, width=4.4)
    g["Im_Fish2Got"] = fish((318, 206.5), -102, 27, bend=38, width=4.8)
    g["Im_Fish3Got"] = fish((348, 198), -48, 28, bend=30, width=4.8)
    # crabs at the top of the lanes
    g["Im_Crab1"] = crab_body(193.5, 155.5, 1)
    g["Im_Crab1A"] = pincer((199, 169), (207, 185))
    g["Im_Crab1B"] = pincer((196, 170), (190.5, 186)) + pincer((204, 170), (213.5, 186))
    g["Im_Crab2"] = crab_body(319.5, 153, -1)
    g["Im_Crab2A"] = pincer((314, 167.5), (304, 184))
    g["Im_Crab2B"] = pincer((314, 168), (297, 184)) + pincer((321, 168), (319, 185))
    g["Im_Crab3"] = crab_body(351, 151.5, 1)
    g["Im_Crab3A"] = pincer((356, 166), (365, 181))
    g["Im_Crab3B"] = pincer((352, 167), (350, 182)) + pincer((358, 167), (372, 181))
    # sticks below the three positions: at rest and bent down by a fish
    g["Im_Stick1"] = stick((243, 193.5), (208.5, 195.5), knots=(0.4,))
    g["Im_Stick1A"] = stick((250, 200), (216.5, 200), sag=2.2, knots=(0.4,))
    g["Im_Stick2"] = stick((267.5, 193), (301.5, 195), knots=(0.4,))
    g["Im_Stick2A"] = stick((271.5, 200.5), (306.5, 200.5), sag=2.2, knots=(0.4,))
    g["Im_Stick3"] = stick((402, 188.5), (367.5, 190.5), knots=(0.4,))
    g["Im_Stick3A"] = stick((406.5, 197), (372.5, 197), sag=2.2, knots=(0.4,))
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
    g["Im_Fish31"] = fish((305.5, 289), -48, 19, bend=-12, width=3.8)
    g["Im_Fish32"] = fish((343.5, 266), -55, 24, bend=-16)
    g["Im_Fish33"] = fish((367, 251), -80, 23, bend=-14, width=4.4)
    g["Im_Fish34"] = fish((348, 228.5), -40, 27, bend=26)
    g["Im_Fish35"] = fish((380, 212.5), -100, 23, bend=14, width=4.4)
    g["Im_Fish32A"] = fish((322.5, 250.5), -112, 26, bend=34)
    g["Im_Fish32B"] = fish((318.5, 276), 92, 26, bend=-24)
    # clock and game marks
    g["Im_TimeAM"] = pixels(333, 284, text_rows("AM", FONT4))
    g["Im_TimePM"] = pixels(333, 297, text_rows("PM", FONT4))
    g["Im_TimePP"] = ('<rect x="375" y="288" width="3" height="3"/>'
                      '<rect x="375" y="294" width="3" height="3"/>')
    g["Im_Note"] = note(354, 264)
    g["Im_GameA"] = pixels(378, 250, text_rows("GAME A", FONT5))
    g["Im_GameB"] = pixels(378, 263, text_rows("GAME B", FONT5))
    g["Im_Miss1"] = skeleton(408, 251) + pixels(411, 273, text_rows("MISS", FONT5))
    g["Im_Miss2"] = skeleton(408, 234)
    return g


def build_svg():
    layout = artlib.read_layout()
    g = groups()
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!-- Written by tools/draw_lcd.py: edit the script, not this file. -->',
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
