#!/usr/bin/env python3
"""Writes the colour drawings of assets/src/: the case (case.svg), the box
picture of the launcher (piccina.svg), the about picture (about.svg) and the
program icon (icon.svg).

case.svg is the whole face of the handheld in window coordinates (652 x 443):
the faceplate, the bezel, the printed LCD scenery, the labels and the five
buttons. Each of the four working buttons is drawn twice, a raised look (class
"raised", hidden unless asked for) and a pressed look (class "pressed"):
build_assets.py renders the face as it is for Im_Base, and once more with the
raised buttons shown, cropped at the buttons' rectangles, for the button pictures.

Usage: draw_case.py [--out DIR]   (DIR defaults to assets/src)
"""

import argparse
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402
from strokefont import text_path, text_width  # noqa: E402

LCD = (174, 134, 265, 179)  # the LCD window: x 174..438, y 134..312


def f(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


class Rand:
    """A fixed pseudo-random sequence, so the drawings come out the same each time."""

    def __init__(self, seed):
        self.s = seed

    def next(self):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return self.s / 0x7FFFFFFF


def header(w, h):
    return ['<?xml version="1.0" encoding="UTF-8"?>',
            '<!-- Written by tools/draw_case.py: edit the script, not this file. -->',
            '<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" width="%d" height="%d" '
            'viewBox="0 0 %d %d">' % (w, h, w, h),
            "<!--STYLE-->"]


def rect(x, y, w, h, fill, rx=0, extra=""):
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"%s/>'
            % (f(x), f(y), f(w), f(h), f(rx), fill, extra))


def circle(cx, cy, r, fill, extra=""):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s"%s/>' % (f(cx), f(cy), f(r), fill, extra)


def path(d, fill="none", stroke=None, width=1.0, extra=""):
    s = '<path d="%s" fill="%s"' % (d, fill)
    if stroke:
        s += ' stroke="%s" stroke-width="%s" stroke-linecap="round" stroke-linejoin="round"' % (
            stroke, f(width))
    return s + extra + "/>"


def grad(gid, stops, x1=0, y1=0, x2=0, y2=1, radial=False, extra=""):
    stops_s = "".join('<stop offset="%s" stop-color="%s"%s/>'
                      % (f(o), c, (' stop-opacity="%s"' % f(a)) if a != 1 else "")
                      for o, c, a in stops)
    if radial:
        return '<radialGradient id="%s"%s>%s</radialGradient>' % (gid, extra, stops_s)
    return ('<linearGradient id="%s" x1="%s" y1="%s" x2="%s" y2="%s"%s>%s</linearGradient>'
            % (gid, f(x1), f(y1), f(x2), f(y2), extra, stops_s))


# ------------------------------------------------------------------ LCD scenery
def fish_outline(cx, cy, length, heading, color, flip=False):
    """A plain printed fish (no eye), for the scenery and the box art."""
    L = length
    W = L * 0.22
    a = math.radians(heading)
    ca, sa = math.cos(a), math.sin(a)
    s = -1 if flip else 1

    def tp(x, y):
        y *= s
        return "%s %s" % (f(cx + x * ca - y * sa), f(cy + x * sa + y * ca))
    d = ("M%s C%s %s %s C%s %s %s L%s L%s L%s L%s C%s %s %s C%s %s %s Z" % (
        tp(0.5 * L, 0), tp(0.45 * L, -W * 0.9), tp(0.1 * L, -W * 1.1), tp(-0.1 * L, -W * 0.8),
        tp(-0.2 * L, -W * 0.55), tp(-0.28 * L, -W * 0.3), tp(-0.3 * L, -W * 0.25),
        tp(-0.5 * L, -W * 1.05), tp(-0.43 * L, 0), tp(-0.5 * L, W * 1.05), tp(-0.3 * L, W * 0.25),
        tp(-0.28 * L, W * 0.3), tp(-0.2 * L, W * 0.55), tp(-0.1 * L, W * 0.8),
        tp(0.1 * L, W * 1.1), tp(0.45 * L, W * 0.9), tp(0.5 * L, 0)))
    return path(d, fill=color)


def reed(x, y_base, height, lean, color, width=1.6, head=None):
    top = (x + lean, y_base - height)
    out = [path("M%s %s Q%s %s %s %s" % (f(x), f(y_base), f(x + lean * 0.2),
                                          f(y_base - height * 0.6), f(top[0]), f(top[1])),
                stroke=color, width=width)]
    if head:
        hx, hy = x + lean * 0.75, y_base - height * 0.78
        out.append('<ellipse cx="0" cy="0" rx="1.7" ry="4.2" fill="%s" '
                   'transform="translate(%s %s) rotate(%s)"/>'
                   % (head, f(hx), f(hy), f(math.degrees(math.atan2(lean, height)))))
    return "".join(out)


def scenery():
    x0, y0, w, h = LCD
    x1, y1 = x0 + w, y0 + h
    out = []
    # sky and water: pale, so that the black segments stand out on every part
    out.append(rect(x0, y0, w, h, "url(#sky)"))
    out.append(rect(x0, 194, w, y1 - 194, "url(#water)"))
    # distant shore: low hills and a line of trees behind the jetty
    out.append(path("M174 180 C200 168 225 171 246 176 C268 166 300 163 326 173 "
                    "C350 165 385 160 412 171 C424 168 432 169 439 171 L439 194 L174 194 Z",
                    fill="#d2ddbb"))
    out.append(path("M174 186 C190 180 205 183 220 184 C240 178 262 182 280 183 "
                    "C300 178 330 181 350 182 C372 176 398 179 439 180 L439 194 L174 194 Z",
                    fill="#c0d3a6"))
    # sun and clouds
    out.append(circle(420, 150, 8, "#f3ecc9"))
    for cx, cy, s in ((236, 146, 1.0), (300, 139, 0.8), (382, 150, 0.9)):
        out.append('<g fill="#f6f7ef" transform="translate(%s %s) scale(%s)">'
                   '<ellipse cx="0" cy="0" rx="11" ry="3.2"/><ellipse cx="-3" cy="-2.5" rx="5" '
                   'ry="3"/><ellipse cx="4" cy="-2" rx="4.5" ry="2.6"/></g>' % (f(cx), f(cy), f(s)))
    # wavelets
    r = Rand(7)
    for row in range(11):
        y = 202 + row * 10 + (row % 2) * 1.5
        xs = x0 + 6 + (row % 3) * 9
        while xs < x1 - 10:
            ww = 6 + r.next() * 6
            out.append(path("M%s %s q%s -2.4 %s 0 q%s -2.4 %s 0" % (
                f(xs), f(y), f(ww / 4), f(ww / 2), f(ww / 4), f(ww / 2)),
                stroke="#a9c9cb" if row > 2 else "#b9d4d4", width=0.9))
            xs += ww + 14 + r.next() * 16
    # the jetty the fisherman walks along: planks, edge beam, pilings
    deck = "M174 188.5 L326 188.5 C338 188.5 346 183 358 182.5 L439 182.5 L439 187.5 L358 187.5 C346 188 338 193.5 326 193.5 L174 193.5 Z"
    for px in (182, 228, 262, 306, 340, 386, 430):
        top = 190 if px < 340 else 185
        out.append(rect(px - 2, top, 4, 214 - top, "#c7b497"))
        out.append(rect(px - 2, 206, 4, 3, "#b6c9c2"))
    out.append(path(deck, fill="#e6cd9c"))
    out.append(path("M174 191.5 L326 191.5 C338 191.5 346 186 358 185.5 L439 185.5",
                    stroke="#c9b38a", width=0.8))
    for px in range(182, 439, 12):
        yy = 188.5 if px < 330 else 182.5
        out.append(path("M%d %s l0 5" % (px, f(yy)), stroke="#cdb892", width=0.7))
    # tall mooring posts where the crabs climb up
    for px, top in ((193.5, 161), (319.5, 159), (351, 158)):
        base = 189 if px < 330 else 184
        out.append(rect(px - 3, top, 6, base - top, "#d3bf9b", rx=1.5))
        out.append(rect(px - 3.5, top - 1, 7, 2.4, "#c2ab84", rx=1))
    # reeds and cattails of the fen at the two lower corners
    for i, (x, hgt, lean) in enumerate(((178, 46, -3), (183, 58, 2), (188, 40, 5),
                                        (194, 30, -2), (199, 22, 4))):
        out.append(reed(x, 313, hgt, lean, "#a9bb8c", 1.6, "#c9b490" if i % 2 else None))
    for i, (x, hgt, lean) in enumerate(((426, 26, -4), (431, 36, 2), (436, 28, 3))):
        out.append(reed(x, 313, hgt, lean, "#a9bb8c", 1.6, "#c9b490" if i == 1 else None))
    # lily pads and a faint printed fish below the surface
    for cx, cy, rx in ((250, 305, 7), (262, 309, 5), (330, 307, 6)):
        out.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#c3d8bf"/>'
                   % (cx, cy, rx, f(rx * 0.38)))
    out.append(fish_outline(258, 293, 14, 8, "#bcd3d2"))
    # printed frame of the number field
    out.append(rect(330.5, 279.5, 86, 24, "none", rx=3,
                    extra=' stroke="#b3cbcb" stroke-width="0.8"'))
    # a faint inner shadow at the top of the glass
    out.append(rect(x0, y0, w, 4, "url(#glassShade)"))
    return "".join(out)


# ------------------------------------------------------------------ buttons
# The two kinds of round button: recess and rim widths, rim colour, cap size, the
# gradients of each look and the highlight of the raised one.
BUTTON_KINDS = {
    "small": dict(recess=2.6, rim=1.2, rim_fill="#141b1c", cap=0.72, raised="btnRaised",
                  raised_cap="btnCap", pressed="btnPressed", pressed_cap="btnCapPressed",
                  shine="#ffffff", shine_opacity="0.55", shine_at=(0.3, 0.42),
                  shine_size=(0.36, 0.2)),
    "big": dict(recess=3.5, rim=1.6, rim_fill="#151a1b", cap=0.78, raised="bigRaised",
                raised_cap="bigCap", pressed="bigPressed", pressed_cap="bigCapPressed",
                shine="#fff6e8", shine_opacity="0.5", shine_at=(0.28, 0.45),
                shine_size=(0.38, 0.18)),
}


def round_button(kind, cx, cy, r, look):
    k = BUTTON_KINDS[kind]
    out = [circle(cx, cy, r + k["recess"], "url(#recess)"),
           circle(cx, cy, r + k["rim"], k["rim_fill"])]
    if look == "raised":
        out.append(circle(cx, cy, r, "url(#%s)" % k["raised"]))
        out.append(circle(cx, cy, r * k["cap"], "url(#%s)" % k["raised_cap"]))
        out.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" fill-opacity="%s"/>'
                   % (f(cx - r * k["shine_at"][0]), f(cy - r * k["shine_at"][1]),
                      f(r * k["shine_size"][0]), f(r * k["shine_size"][1]), k["shine"],
                      k["shine_opacity"]))
    else:
        out.append(circle(cx, cy, r, "url(#%s)" % k["pressed"]))
        out.append(circle(cx, cy, r * k["cap"], "url(#%s)" % k["pressed_cap"]))
    return "".join(out)


def small_button(cx, cy, r, look):
    return round_button("small", cx, cy, r, look)


def big_button(cx, cy, r, look):
    return round_button("big", cx, cy, r, look)


def collar(cx, cy, radius):
    """A smooth recessed dish around a button. It covers the whole rectangle of
    the button's picture, so that picture and case meet on an even surface."""
    return (circle(cx, cy, radius, "url(#collar)")
            + circle(cx, cy, radius - 0.5, "none",
                     ' stroke="#b9e6da" stroke-opacity="0.7" stroke-width="1"')
            + circle(cx, cy, radius - 1.4, "none",
                     ' stroke="#173936" stroke-opacity="0.35" stroke-width="1"'))


def button_pair(name, drawer, cx, cy, r):
    return ('<g id="%s_pressed" class="pressed">%s</g>'
            '<g id="%s_raised" class="raised" display="none">%s</g>'
            % (name, drawer(cx, cy, r, "pressed"), name, drawer(cx, cy, r, "raised")))


CASE_DEFS = [
    grad("plate", [(0, "#6fb0a4", 1), (0.45, "#4f9488", 1), (1, "#3b7a70", 1)]),
    grad("panel", [(0, "#3f8479", 1), (1, "#2f675f", 1)]),
    grad("body", [(0, "#454d50", 1), (1, "#1f2427", 1)]),
    grad("bezel", [(0, "#263335", 1), (1, "#172022", 1)]),
    grad("bezelEdge", [(0, "#9cc8c0", 1), (0.5, "#4b6f6b", 1), (1, "#0e1516", 1)]),
    grad("sky", [(0, "#dbeaea", 1), (1, "#f1f0dc", 1)]),
    grad("water", [(0, "#cbe6e3", 1), (1, "#b8dcdc", 1)]),
    grad("glassShade", [(0, "#000", 0.2), (1, "#000", 0)]),
    grad("glare", [(0, "#fff", 0.16), (1, "#fff", 0)], x2=1, y2=1),
    grad("recess", [(0, "#22302f", 1), (1, "#9fd0c6", 1)]),
    grad("collar", [(0, "#2f675f", 1), (1, "#58a093", 1)]),
    grad("btnRaised", [(0, "#f2f4f1", 1), (1, "#8d9895", 1)]),
    grad("btnCap", [(0, "#b9c2bf", 1), (1, "#e3e8e5", 1)]),
    grad("btnPressed", [(0, "#646e6c", 1), (1, "#8e9895", 1)]),
    grad("btnCapPressed", [(0, "#5f6866", 1), (1, "#7b8481", 1)]),
    grad("bigRaised", [(0, "#ffb780", 1), (1, "#b8481f", 1)]),
    grad("bigCap", [(0, "#d9653a", 1), (1, "#f7955f", 1)]),
    grad("bigPressed", [(0, "#7f2d12", 1), (1, "#a24826", 1)]),
    grad("bigCapPressed", [(0, "#7c3014", 1), (1, "#94401f", 1)]),
]
CREAM = "#f4ecd0"
ORANGE = "#f08a4b"
YELLOW = "#f2c14e"


def emblem(cx, cy, scale, color, eye):
    """The maker's mark: a fish leaping over two waves."""
    return ('<g transform="translate(%s %s) scale(%s)">%s%s%s</g>'
            % (f(cx), f(cy), f(scale), fish_outline(0, -2, 26, -24, color),
               circle(8.6, -7.6, 1.3, eye),
               path("M-14 9 q3.5 -3.5 7 0 t7 0 t7 0 t7 0", stroke=color, width=1.8)))


def case_body():
    """Everything of the face but its gradients, in window coordinates."""
    layout = artlib.layout_by_name()

    def centre(name):
        e = layout[name]
        return e.left + e.width / 2, e.top + e.height / 2, min(e.width, e.height) / 2

    out = []
    # the case: dark plastic body with a bevelled edge, a brushed metal faceplate
    out.append(rect(0, 0, 652, 443, "#121516"))
    out.append(rect(1, 1, 650, 441, "url(#body)", rx=26))
    out.append(rect(1.5, 1.5, 649, 440, "none", rx=25.5,
                    extra=' stroke="#6b7579" stroke-width="1"'))
    out.append(rect(11, 11, 630, 421, "#0d1112", rx=18))
    out.append(rect(12, 12, 628, 419, "url(#plate)", rx=17))
    r = Rand(3)
    for i in range(0, 419, 2):
        a = 0.04 + 0.07 * r.next()
        col = "#ffffff" if r.next() > 0.5 else "#0b2a27"
        out.append('<rect x="12" y="%d" width="628" height="1" fill="%s" fill-opacity="%s"/>'
                   % (12 + i, col, f(a)))
    out.append(rect(12.5, 12.5, 627, 418, "none", rx=16.5,
                    extra=' stroke="#b4e0d6" stroke-opacity="0.7" stroke-width="1"'))
    # printed lines framing the face
    out.append(rect(24.5, 24.5, 603, 394, "none", rx=10,
                    extra=' stroke="%s" stroke-width="1.2" stroke-opacity="0.85"' % CREAM))
    out.append(rect(28.5, 28.5, 595, 386, "none", rx=8,
                    extra=' stroke="%s" stroke-width="0.6" stroke-opacity="0.6"' % CREAM))
    # printed waves along the bottom of the face
    for row, (y, op) in enumerate(((396, 0.22), (404, 0.16))):
        d = "M34 %d" % y + "".join(" q6 -4 12 0" for _ in range(48))
        out.append(path(d, stroke="#d8f0ea", width=1.2,
                        extra=' stroke-opacity="%s" transform="translate(%d 0)"'
                        % (f(op), row * 6)))
    # three-colour stripes left and right of the bezel
    for i, col in enumerate((ORANGE, YELLOW, CREAM)):
        y = 130 + i * 6
        out.append(rect(40, y + 98, 100, 3.4, col, rx=1.7))
        out.append(rect(474, y + 98, 140, 3.4, col, rx=1.7))
    # darker printed panel behind the control buttons
    out.append(rect(476.5, 46.5, 140, 84, "url(#panel)", rx=9,
                    extra=' stroke="%s" stroke-width="1" stroke-opacity="0.8"' % CREAM))
    # the bezel around the LCD window
    out.append(rect(150, 110, 313, 227, "url(#bezelEdge)", rx=16))
    out.append(rect(152, 112, 309, 223, "url(#bezel)", rx=14))
    out.append(rect(160.5, 120.5, 292, 206, "none", rx=8,
                    extra=' stroke="#d9b86a" stroke-width="1"'))
    out.append(text_path("WIDE SCREEN", 306.5, 325.5, 5, 0.9, "#d9b86a", spacing=1.8,
                         anchor="middle"))
    out.append(rect(171, 131, 271, 185, "#0b1011", rx=3))
    out.append(scenery())
    out.append(path("M174 134 L300 134 L174 230 Z", fill="url(#glare)"))
    # brand and name
    out.append(text_path("OSTREL", 46, 42, 13, 2.6, CREAM, spacing=2.2))
    out.append(rect(44, 61, text_width("OSTREL", 13, 2.2) + 4, 2, CREAM, rx=1))
    out.append(emblem(152, 47, 1.25, CREAM, "#4f9488"))
    out.append(text_path("FENWATER", 307, 348, 22, 5.0, "#173936", spacing=2.0, slant=0.18,
                         anchor="middle", extra=' transform="translate(1.6 1.6)"'))
    out.append(text_path("FENWATER", 307, 348, 22, 3.8, CREAM, spacing=2.0, slant=0.18,
                         anchor="middle"))
    out.append(path("M226 377 q10 -5 20 0 t20 0 t20 0 t20 0 t20 0 t20 0 t20 0 t20 0",
                    stroke=ORANGE, width=1.6))
    out.append(text_path("LCD FISHING GAME & CLOCK", 307, 384, 7, 1.2, CREAM,
                         spacing=1.8, anchor="middle"))
    out.append(text_path("MODEL FW-52", 598, 402, 5, 0.9, CREAM, spacing=1.6,
                         anchor="middle", extra=' stroke-opacity="0.8"'))
    # the labels and the three small buttons, each in its dish
    def dish(name):
        e = layout[name]
        cx, cy, rr = centre(name)
        return cx, cy, rr, math.hypot(e.width / 2, e.height / 2) + 1
    for name, label in (("Puls_Time", "TIME"), ("Puls_Alarm", "ALARM"), ("Puls_ACL", "ACL")):
        cx, cy, rr, R = dish(name)
        out.append(collar(cx, cy, R))
        out.append(text_path(label, cx, cy - R - 9, 7, 1.35, CREAM, spacing=1.8,
                             anchor="middle"))
    cx, cy, rr, R = dish("Puls_Time")
    out.append(button_pair("Puls_Time", small_button, cx, cy, rr - 1))
    cx, cy, rr, R = dish("Puls_Alarm")
    out.append(small_button(cx, cy, rr - 1, "raised"))
    cx, cy, rr, R = dish("Puls_ACL")
    out.append(button_pair("Puls_ACL", small_button, cx, cy, rr - 0.6))
    # the two game buttons with their labels and arrows
    for name, label, arrow in (("Puls_Left", "GAME A", -1), ("Puls_Right", "GAME B", 1)):
        cx, cy, rr, R = dish(name)
        out.append(collar(cx, cy, R))
        out.append(text_path(label, cx, cy - R - 12, 8, 1.5, CREAM, spacing=1.8,
                             anchor="middle"))
        ax = cx + arrow * (R + 9)
        out.append(path("M%s %s L%s %s L%s %s Z" % (
            f(ax + arrow * 5), f(cy), f(ax - arrow * 3), f(cy - 5.5), f(ax - arrow * 3),
            f(cy + 5.5)), fill=CREAM))
        out.append(button_pair(name, big_button, cx, cy, rr - 1))
    return "".join(out)


def case_svg():
    out = header(652, 443)
    out.append("<defs>" + "".join(CASE_DEFS) + "</defs>")
    out.append(case_body())
    out.append("</svg>")
    return "\n".join(out) + "\n"


# ------------------------------------------------------------------ box and about
def lit_segments(names):
    """The drawings of the named LCD segments, from the panel's own artwork."""
    import draw_lcd
    g = draw_lcd.groups()
    return "".join(g[n] for n in names)


BOX_SEGMENTS = ["Im_Man2", "Im_Man2A", "Im_Fish11", "Im_Fish22", "Im_Fish34", "Im_Fish24",
                "Im_Crab3", "Im_Crab3A", "Im_Stick1", "Im_Stick2A", "Im_Stick3", "Im_Fish0",
                "Im_GameA", "Im_Miss1", "Im_TimePP", "Im_Note"]


def piccina_svg():
    """The box of the game, seen a little from the side, with the handheld on its front."""
    out = header(200, 137)
    out.append("<style>.pressed{display:none}.raised{display:inline}</style>")
    out.append("<defs>" + "".join(CASE_DEFS))
    out.append(grad("bg", [(0, "#1b2430", 1), (1, "#05080b", 1)]))
    out.append(grad("front", [(0, "#f3ecd6", 1), (1, "#d9d0b4", 1)]))
    out.append(grad("side", [(0, "#b8ae90", 1), (1, "#8e856b", 1)]))
    out.append(grad("band", [(0, "#f59a5a", 1), (1, "#c9532a", 1)], x2=1, y2=0))
    out.append("</defs>")
    out.append(rect(0, 0, 200, 137, "url(#bg)"))
    out.append('<ellipse cx="98" cy="129" rx="90" ry="6" fill="#000" fill-opacity="0.6"/>')
    # box faces: top, right side, front
    out.append(path("M12 16 L22 8 L186 8 L176 16 Z", fill="#fbf6e6"))
    out.append(path("M176 16 L186 8 L186 118 L176 127 Z", fill="url(#side)"))
    out.append(rect(12, 16, 164, 111, "url(#front)"))
    out.append(rect(12.5, 16.5, 163, 110, "none", extra=' stroke="#5b5440" stroke-width="0.8"'))
    # title band
    out.append(rect(12, 20, 164, 19, "url(#band)"))
    out.append(text_path("FENWATER", 86, 24, 11, 2.2, "#fff4dc", spacing=1.8, slant=0.18,
                         anchor="middle"))
    out.append(text_path("OSTREL", 159, 27.5, 4.5, 0.9, "#fff4dc", spacing=1.8,
                         anchor="middle"))
    # the handheld itself, as on the real face, with some segments lit
    out.append('<g transform="translate(17 45) scale(0.168)">%s%s</g>'
               % (case_body(), lit_segments(BOX_SEGMENTS)))
    # side texts
    out.append(text_path("WIDE SCREEN", 72, 120, 4.2, 0.9, "#5b5440", spacing=1.8,
                         anchor="middle"))
    for i, word in enumerate(("LCD", "GAME", "&", "CLOCK")):
        out.append(text_path(word, 153, 50 + i * 9, 4.6, 0.9, "#5b5440", spacing=1.6,
                             anchor="middle"))
    out.append(emblem(153, 100, 0.6, "#c9532a", "#f3ecd6"))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def about_svg():
    out = header(259, 88)
    out.append("<defs>")
    out.append(grad("sea", [(0, "#27564f", 1), (1, "#0a1d1b", 1)]))
    out.append(grad("sun", [(0, CREAM, 1), (1, CREAM, 0)], radial=True))
    out.append("</defs>")
    out.append(rect(0, 0, 259, 88, "url(#sea)"))
    out.append(circle(226, 30, 28, "url(#sun)"))
    r = Rand(11)
    for row in range(5):
        y = 58 + row * 7
        x = -10 + r.next() * 20
        while x < 259:
            w = 12 + r.next() * 14
            out.append(path("M%s %s q%s -3 %s 0" % (f(x), f(y), f(w / 2), f(w)),
                            stroke="#6fb0a4", width=1.0, extra=' stroke-opacity="%s"'
                            % f(0.35 + row * 0.1)))
            x += w + 8 + r.next() * 20
    out.append(fish_outline(226, 36, 30, -35, ORANGE))
    out.append(circle(235, 27.5, 1.5, "#27564f"))
    out.append(text_path("FENWATER", 16, 16, 22, 4.0, CREAM, spacing=2.0, slant=0.18))
    out.append(text_path("OSTREL LCD GAME SIMULATOR", 17, 48, 7, 1.3, "#9fd0c6", spacing=1.8))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def icon_svg():
    """A black leaping fish on a patch of LCD, in a teal frame."""
    out = header(256, 256)
    out.append("<defs>")
    out.append(grad("tile", [(0, "#56a4aa", 1), (1, "#143e4a", 1)]))
    out.append("</defs>")
    out.append(rect(4, 4, 248, 248, "url(#tile)", rx=40))
    out.append(rect(30, 30, 196, 196, "#d4e2c8", rx=14))
    out.append(path("M30 190 Q55 172 80 190 T130 190 T180 190 T226 186 L226 212 "
                    "Q226 226 212 226 L44 226 Q30 226 30 212 Z", fill="#aad6d0"))
    out.append(fish_outline(126, 118, 196, -38, "#000000"))
    out.append(circle(172, 68, 11, "#ffffff"))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(artlib.ROOT, "assets", "src"))
    args = parser.parse_args()
    for name, fn in (("case.svg", case_svg), ("piccina.svg", piccina_svg),
                     ("about.svg", about_svg), ("icon.svg", icon_svg)):
        artlib.write_bytes(os.path.join(args.out, name), fn().encode("utf-8"))


if __name__ == "__main__":
    main()
