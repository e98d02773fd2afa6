"""A small stroke font for the lettering printed on the case and the box.

Letters are polylines on a grid 6 units high (y down); text() turns a string
into one SVG path, so the pictures never depend on the fonts installed.
"""



# width, strokes
GLYPHS = {
    "A": (4, [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]]),
    "B": (4, [[(0, 3), (0, 0), (2.6, 0), (3.6, 0.7), (3.6, 2.2), (2.7, 3), (0, 3)],
              [(2.7, 3), (4, 3.8), (4, 5.2), (3, 6), (0, 6), (0, 3)]]),
    "C": (4, [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5)]]),
    "D": (4, [[(0, 0), (0, 6), (2.4, 6), (4, 4.6), (4, 1.4), (2.4, 0), (0, 0)]]),
    "E": (3.6, [[(3.6, 0), (0, 0), (0, 6), (3.6, 6)], [(0, 3), (2.9, 3)]]),
    "F": (3.6, [[(3.6, 0), (0, 0), (0, 6)], [(0, 3), (2.9, 3)]]),
    "G": (4, [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5), (4, 3.4),
               (2.2, 3.4)]]),
    "H": (4, [[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]]),
    "I": (0, [[(0, 0), (0, 6)]]),
    "K": (4, [[(0, 0), (0, 6)], [(4, 0), (0, 3.6)], [(1.4, 2.4), (4, 6)]]),
    "L": (3.6, [[(0, 0), (0, 6), (3.6, 6)]]),
    "M": (5, [[(0, 6), (0, 0), (2.5, 4), (5, 0), (5, 6)]]),
    "N": (4, [[(0, 6), (0, 0), (4, 6), (4, 0)]]),
    "O": (4, [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]]),
    "P": (4, [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)]]),
    "R": (4, [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)], [(2.2, 3), (4, 6)]]),
    "S": (4, [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 2), (1, 3), (3, 3), (4, 4), (4, 5), (3, 6),
               (1, 6), (0, 5)]]),
    "T": (4, [[(0, 0), (4, 0)], [(2, 0), (2, 6)]]),
    "U": (4, [[(0, 0), (0, 5), (1, 6), (3, 6), (4, 5), (4, 0)]]),
    "V": (4, [[(0, 0), (2, 6), (4, 0)]]),
    "W": (5.4, [[(0, 0), (1.3, 6), (2.7, 1.6), (4.1, 6), (5.4, 0)]]),
    "X": (4, [[(0, 0), (4, 6)], [(4, 0), (0, 6)]]),
    "Y": (4, [[(0, 0), (2, 3), (4, 0)], [(2, 3), (2, 6)]]),
    "&": (4, [[(4, 6), (1, 2), (1, 0.8), (1.8, 0), (2.8, 0.8), (2.6, 1.8), (0, 4), (0, 5.2),
               (0.8, 6), (2.4, 6), (4, 3.8)]]),
    "-": (2.4, [[(0, 3), (2.4, 3)]]),
    ".": (0, [[(0, 6), (0, 6)]]),
    "1": (2, [[(0, 1), (1.6, 0), (1.6, 6)]]),
    "2": (4, [[(0, 1), (1, 0), (3, 0), (4, 1), (4, 2.2), (0, 6), (4, 6)]]),
    "0": (4, [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]]),
    "5": (4, [[(4, 0), (0.4, 0), (0, 2.8), (2.8, 2.6), (4, 3.6), (4, 5), (3, 6), (1, 6),
               (0, 5.2)]]),
    " ": (2.4, []),
}


def text_width(s, size, spacing=1.6):
    u = size / 6.0
    total = 0.0
    for i, ch in enumerate(s):
        total += GLYPHS[ch][0] * u
        if i < len(s) - 1:
            total += spacing * u
    return total


def text(s, x, y, size, spacing=1.6, slant=0.0, anchor="start"):
    """Path data of s with its top-left at (x, y), letters size px high.

    slant leans the letters (x moves by slant * height above the baseline);
    anchor "middle" centres the text on x."""
    u = size / 6.0
    if anchor == "middle":
        x -= text_width(s, size, spacing) / 2
    parts = []
    cx = x
    for ch in s:
        width, strokes = GLYPHS[ch]
        for stroke in strokes:
            pts = [(cx + px * u + (6 - py) * u * slant, y + py * u) for px, py in stroke]
            if len(pts) == 2 and pts[0] == pts[1]:
                pts[1] = (pts[1][0] + 0.01, pts[1][1])
            parts.append("M" + " L".join("%.2f %.2f" % p for p in pts))
        cx += (width + spacing) * u
    return " ".join(parts)


def text_path(s, x, y, size, stroke_width, color, spacing=1.6, slant=0.0, anchor="start",
              extra=""):
    d = text(s, x, y, size, spacing, slant, anchor)
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%.2f" '
            'stroke-linecap="round" stroke-linejoin="round"%s/>'
            % (d, color, stroke_width, extra))


