#!/usr/bin/env python3
"""The route-description symbols of the demo: control-description pictograms drawn by us as
48 x 72 one-bit pictures, and the demo's control descriptions that use their key words.

  route_symbols.py [--out FILE.txt] [--preview FILE.png]

--out writes the symbols as an exchange file with a "*RutB24" section (Windows-1252, CR LF);
--preview writes all symbols enlarged on one PNG sheet for looking at them. scripts/make-demo
imports this module for examples/demo/rutb24.txt and the descriptions of kontroller.txt.

Each symbol is drawn in a square of 48 x 48 grid units (x to the right, y down), which is how a
description cell prints: a pixel is one unit wide and 2/3 unit high, so a picture of 48 columns
and 72 rows fills the square. A pixel is black when its centre lies in one of the shapes. The
grid lines of the sheet are part of the symbols: every feature symbol carries the cell frame of
the default cell "_VU" (a line on its left and on its top), so a row of cells closes into a grid
and the closing row of a sheet (the top band of "_U") draws the line under the last row."""
import math
import random
import struct
import sys
import zlib

W, H = 48, 72  # pixels
UNIT_PER_ROW = 48.0 / H  # a pixel row is 2/3 of a grid unit


# --- shapes: functions (x, y) -> bool in grid units ------------------------------------------

def seg_dist(px, py, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    if dx == 0 and dy == 0:
        return math.hypot(px - x1, py - y1)
    t = max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - x1 - t * dx, py - y1 - t * dy)


def line(x1, y1, x2, y2, w=2.6):
    return lambda x, y: seg_dist(x, y, x1, y1, x2, y2) <= w / 2


def polyline(points, w=2.6, closed=False):
    pts = list(points) + ([points[0]] if closed else [])
    parts = [line(a[0], a[1], b[0], b[1], w) for a, b in zip(pts, pts[1:])]
    return lambda x, y: any(p(x, y) for p in parts)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w=2.6):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= w / 2


def ellipse_ring(cx, cy, rx, ry, w=2.6):
    def f(x, y):
        # Distance along the normal, approximated by scaling with the local radius.
        d = math.hypot((x - cx) / rx, (y - cy) / ry)
        r = math.hypot((x - cx), (y - cy)) / d if d > 0 else min(rx, ry)
        return abs(d - 1) * r <= w / 2
    return f


def arc(cx, cy, r, a0, a1, w=2.6):
    """Angles in degrees, 0 to the right, counter-clockwise with y pointing up on paper."""
    def f(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > w / 2:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return f


def polygon(points):
    def f(x, y):
        inside = False
        n = len(points)
        for i in range(n):
            (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
        return inside
    return f


def rect(x1, y1, x2, y2):
    return lambda x, y: x1 <= x <= x2 and y1 <= y <= y2


def dashes(x1, y1, x2, y2, dash=5.0, gap=3.5, w=2.6):
    length = math.hypot(x2 - x1, y2 - y1)
    parts, t = [], 0.0
    while t < length:
        e = min(length, t + dash)
        parts.append(line(x1 + (x2 - x1) * t / length, y1 + (y2 - y1) * t / length,
                          x1 + (x2 - x1) * e / length, y1 + (y2 - y1) * e / length, w))
        t = e + gap
    return lambda x, y: any(p(x, y) for p in parts)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def wave(x1, x2, cy, amp=2.5, period=12.0, w=2.4):
    steps = 24
    pts = [(x1 + (x2 - x1) * i / steps, cy + amp * math.sin(2 * math.pi * ((x2 - x1) * i / steps) / period))
           for i in range(steps + 1)]
    return polyline(pts, w)


def arrow(direction):
    """An arrow from the centre towards a compass direction (N up)."""
    angle = {"N": 90, "NO": 45, "O": 0, "SO": -45, "S": -90, "SV": -135, "V": 180, "NV": 135}[direction]
    a = math.radians(angle)
    ux, uy = math.cos(a), -math.sin(a)
    cx, cy = 24, 25
    tip = (cx + 15 * ux, cy + 15 * uy)
    base = (cx + 4 * ux, cy + 4 * uy)
    tail = (cx - 15 * ux, cy - 15 * uy)
    px, py = -uy, ux
    head = polygon([tip, (base[0] + 7 * px, base[1] + 7 * py), (base[0] - 7 * px, base[1] - 7 * py)])
    return union(head, line(tail[0], tail[1], base[0], base[1], 3.0))


# --- the cell frame --------------------------------------------------------------------------

def left_line(x, y):
    return x < 1.0  # pixel column 1: the whole column byte is 255


def top_line(x, y):
    return y < 1.4  # the two top pixel rows


FRAME = union(left_line, top_line)


def framed(shape):
    return union(FRAME, shape)


# --- the symbols -----------------------------------------------------------------------------
# (key word, text, shape). Key words are upper case, at most 10 characters.

CX, CY = 24.5, 25.0


def tri(cx, cy, r):
    return polygon([(cx, cy - r), (cx + r * 0.95, cy + r * 0.7), (cx - r * 0.95, cy + r * 0.7)])


SYMBOLS = [
    # The special symbols: the default cell, the start/finish cell and the column end.
    ("_VU", "ruta med linjer (standard)", FRAME),
    ("_U", "ruta utan skiljelinje (start och m\u00e5l)", top_line),
    ("_V", "kolumnslut (h\u00f6ger kantlinje)", lambda x, y: x < 2.0),
    # Start, taped route, finish.
    ("START", "start", framed(polyline([(24, 9), (38, 36), (10, 36)], 2.8, closed=True))),
    ("SNITSV", "snitslad v\u00e4g fr\u00e5n sista kontrollen", framed(union(ring(13, 25, 7, 2.4), dashes(20, 25, 48, 25)))),
    ("SNITS", "snitslad v\u00e4g", union(top_line, dashes(0, 25, 48, 25))),
    ("M\u00c5L", "m\u00e5l", union(top_line, ring(22, 25, 12, 2.4), ring(22, 25, 7, 2.4))),
    # Land forms.
    ("BRANT", "jordbrant", framed(union(line(7, 17, 41, 17, 3.0),
                                         *[line(x, 17, x, 29, 2.4) for x in (10, 17, 24, 31, 38)]))),
    ("TERRASS", "terrass", framed(union(arc(24, 36, 16, 20, 160, 2.8),
                                         *[line(24 + 16 * math.cos(math.radians(a)), 36 - 16 * math.sin(math.radians(a)),
                                                24 + 10 * math.cos(math.radians(a)), 36 - 10 * math.sin(math.radians(a)), 2.2)
                                           for a in (40, 70, 110, 140)]))),
    ("H\u00d6JD", "h\u00f6jd", framed(ellipse_ring(CX, CY, 13, 9, 2.8))),
    ("LITENH\u00d6JD", "liten h\u00f6jd", framed(disc(CX, CY, 6))),
    ("S\u00c4NKA", "s\u00e4nka", framed(arc(CX, 17, 13, 190, 350, 2.8))),
    ("GROP", "grop", framed(polyline([(12, 13), (24.5, 37), (37, 13)], 2.8))),
    ("RAVIN", "ravin", framed(union(polyline([(9, 12), (24.5, 38), (40, 12)], 2.6),
                                     line(18, 12, 24.5, 26, 2.2), line(31, 12, 24.5, 26, 2.2)))),
    ("SADEL", "sadel", framed(union(arc(4, CY, 15, -35, 35, 2.8), arc(45, CY, 15, 145, 215, 2.8)))),
    ("NOS", "nos", framed(arc(CX, 32, 13, 0, 180, 2.8))),
    ("JORDVALL", "jordvall", framed(union(line(7, 25, 41, 25, 3.2), *[disc(x, 18, 2.3) for x in (11, 20, 29, 38)]))),
    # Rock and boulders.
    ("STUP", "stup", framed(union(line(7, 15, 41, 15, 4.2), *[polygon([(x - 2.5, 15), (x + 2.5, 15), (x, 31)])
                                                              for x in (11, 19, 27, 35)]))),
    ("STEN", "sten", framed(tri(CX, 27, 11))),
    ("STORSTEN", "stor sten", framed(tri(CX, 28, 16))),
    ("STENAR", "stengrupp", framed(union(tri(15, 20, 6.5), tri(33, 20, 6.5), tri(24, 34, 6.5)))),
    ("STENF\u00c4LT", "stenf\u00e4lt", framed(union(*[tri(x, y, 3.8) for x, y in
                                                        ((11, 14), (23, 12), (36, 15), (16, 25), (30, 26), (11, 37),
                                                         (24, 37), (37, 36))]))),
    ("GROTTA", "grotta", framed(union(arc(CX, CY, 12, 60, 300, 3.0), disc(CX + 2, CY, 3.5)))),
    ("H\u00c4LL", "h\u00e4ll", framed(union(*[disc(x, y, 1.8) for x in range(11, 40, 6) for y in (13, 37)],
                                         *[disc(x, y, 1.8) for x in (11, 38) for y in range(19, 34, 6)]))),
    # Water and marsh.
    ("SJ\u00d6", "sj\u00f6", framed(union(wave(8, 41, 15), wave(8, 41, 25), wave(8, 41, 35)))),
    ("TJ\u00c4RN", "tj\u00e4rn", framed(union(ellipse_ring(CX, CY, 15, 11, 2.6), wave(14, 35, CY, 2.0, 10, 2.2)))),
    ("B\u00c4CK", "b\u00e4ck", framed(polyline([(8, 38), (16, 30), (22, 31), (28, 22), (34, 20), (41, 11)], 2.8))),
    ("DIKE", "dike", framed(dashes(6, 33, 43, 16, 4.5, 3.5, 2.6))),
    ("MYR", "myr", framed(union(*[line(x, y, x + 10, y, 2.4) for x, y in ((8, 15), (26, 15), (17, 25), (8, 35), (26, 35))]))),
    ("K\u00c4LLA", "k\u00e4lla", framed(union(ring(20, 22, 7, 2.6), polyline([(27, 22), (33, 28), (38, 36)], 2.6)))),
    ("BRUNN", "brunn", framed(union(ring(CX, CY, 11, 2.6), disc(CX, CY, 3.2)))),
    # Vegetation.
    ("GL\u00c4NTA", "glänta", framed(union(*[disc(CX + 13 * math.cos(math.radians(a)), CY + 13 * math.sin(math.radians(a)), 2.0)
                                             for a in range(0, 360, 30)]))),
    ("SN\u00c5R", "snår", framed(minus(union(*[line(x, 10, x - 22, 40, 2.0) for x in range(18, 66, 7)]),
                                       lambda x, y: (x - CX) ** 2 / 15 ** 2 + (y - CY) ** 2 / 14 ** 2 > 1))),
    ("TR\u00c4D", "fristående träd", framed(union(ring(CX, 19, 9, 2.8), line(CX, 28, CX, 40, 3.0)))),
    ("BUSKE", "buske", framed(union(disc(18, 27, 5), disc(30, 27, 5), disc(24, 19, 5)))),
    ("H\u00c4CK", "häck", framed(union(*[ring(x, CY, 3.6, 2.0) for x in (10, 19, 28, 37)]))),
    ("STUBBE", "rotvälta", framed(union(polygon([(17, 32), (32, 32), (28, 20), (21, 20)]),
                                        line(17, 32, 10, 38, 2.2), line(32, 32, 39, 38, 2.2), line(24.5, 32, 24.5, 40, 2.2)))),
    ("SKOGSH\u00d6RN", "skogshörn", framed(union(polyline([(10, 12), (10, 38), (38, 38)], 2.8),
                                                  *[line(10, y, 10 + (38 - y), 38, 1.8) for y in (20, 28)]))),
    # Man-made features.
    ("V\u00c4G", "väg", framed(union(line(6, 19, 43, 19, 2.6), line(6, 31, 43, 31, 2.6)))),
    ("STIG", "stig", framed(dashes(6, CY, 44, CY, 5.5, 3.5, 3.0))),
    ("STAKET", "staket", framed(union(line(6, CY, 43, CY, 2.4),
                                      *[union(line(x - 3, CY - 4, x + 3, CY + 4, 2.0), line(x - 3, CY + 4, x + 3, CY - 4, 2.0))
                                        for x in (14, 24.5, 35)]))),
    ("MUR", "stenmur", framed(union(line(6, CY, 43, CY, 2.4), *[disc(x, CY, 3.2) for x in (11, 20, 29, 38)]))),
    ("HUS", "byggnad", framed(rect(13, 14, 36, 36))),
    ("RUIN", "ruin", framed(union(dashes(12, 14, 37, 14, 4, 3), dashes(37, 14, 37, 36, 4, 3),
                                  dashes(37, 36, 12, 36, 4, 3), dashes(12, 36, 12, 14, 4, 3)))),
    ("TORN", "torn", framed(union(polyline([(14, 40), (24.5, 9), (35, 40)], 2.6), line(17, 30, 32, 30, 2.2),
                                  line(20, 20, 29, 20, 2.2)))),
    ("BRO", "bro", framed(union(line(10, 20, 39, 20, 2.6), line(10, 30, 39, 30, 2.6),
                                line(10, 20, 6, 15, 2.2), line(39, 20, 43, 15, 2.2),
                                line(10, 30, 6, 35, 2.2), line(39, 30, 43, 35, 2.2)))),
    ("KRAFTLED", "kraftledning", framed(union(line(6, 29, 43, 29, 2.4),
                                              *[line(x, 22, x, 29, 2.4) for x in (14, 35)],
                                              *[line(x - 5, 22, x + 5, 22, 2.4) for x in (14, 35)]))),
    ("R\u00d6SE", "röse", framed(union(disc(18, 33, 4.5), disc(31, 33, 4.5), disc(24.5, 24, 4.5), disc(24.5, 15, 3.2)))),
    ("KOLBOTTEN", "kolbotten", framed(union(ring(CX, CY, 12, 2.6), ring(CX, CY, 5, 2.4)))),
    # Position and details (columns C and G).
    ("N", "norra", framed(arrow("N"))),
    ("S", "södra", framed(arrow("S"))),
    ("\u00d6", "östra", framed(arrow("O"))),
    ("V", "västra", framed(arrow("V"))),
    ("NO", "nordöstra", framed(arrow("NO"))),
    ("NV", "nordvästra", framed(arrow("NV"))),
    ("SO", "sydöstra", framed(arrow("SO"))),
    ("SV", "sydvästra", framed(arrow("SV"))),
    ("FOT", "foten", framed(union(arc(CX, 34, 14, 0, 180, 2.6), disc(CX, 39, 3.2)))),
    ("TOPP", "toppen", framed(union(arc(CX, 36, 14, 0, 180, 2.6), disc(CX, 17, 3.2)))),
    ("KANT", "kanten", framed(union(line(6, 30, 43, 30, 2.6), disc(CX, 23, 3.4)))),
    ("H\u00d6RN", "hörn (utsida)", framed(union(polyline([(14, 40), (14, 20), (40, 20)], 2.8), disc(9, 15, 3.2)))),
    ("INRE", "hörn (insida)", framed(union(polyline([(14, 40), (14, 20), (40, 20)], 2.8), disc(20, 26, 3.2)))),
    ("MELLAN", "mellan", framed(union(ring(12, CY, 5, 2.4), ring(37, CY, 5, 2.4), disc(CX, CY, 3.2)))),
    ("\u00d6VRE", "övre delen", framed(union(line(10, 36, 39, 14, 2.6), disc(31, 28, 3.2)))),
    ("NEDRE", "nedre delen", framed(union(line(10, 36, 39, 14, 2.6), disc(17, 21, 3.2)))),
    ("\u00c4NDE", "änden", framed(union(line(8, CY, 34, CY, 2.8), disc(40, CY, 3.4)))),
    ("KORS", "korsning", framed(union(line(10, 12, 39, 38, 2.6), line(10, 38, 39, 12, 2.6)))),
    # Appearance (column E).
    ("STENIG", "stenig", framed(union(*[disc(x, y, 1.8) for x, y in ((12, 14), (24, 12), (37, 15), (17, 24), (31, 25),
                                                                   (11, 35), (24, 36), (38, 34))]))),
    ("\u00d6VERVUXEN", "övervuxen", framed(union(*[line(x, 12, x - 14, 38, 2.0) for x in range(16, 54, 8)]))),
    # Other information (column H).
    ("VATTEN", "vätskekontroll", framed(polyline([(14, 12), (17, 37), (32, 37), (35, 12)], 2.8))),
    ("RADIO", "radiokontroll", framed(union(line(CX, 18, CX, 40, 2.8), arc(CX, 18, 7, 20, 160, 2.2),
                                            arc(CX, 18, 13, 30, 150, 2.2)))),
    ("SJUK", "sjukvård", framed(union(rect(20.5, 11, 28.5, 39), rect(10.5, 21, 38.5, 29)))),
]


def render(shape):
    """The picture of a shape: rows of 48 booleans, 72 rows."""
    return [[shape(c + 0.5, (r + 0.5) * UNIT_PER_ROW) for c in range(W)] for r in range(H)]


def symbol_bytes(pixels):
    """RouteSymbol[band][row][column]: 8 vertical pixels per byte, bit value 128 the top one."""
    out = []
    for band in range(3):
        rows = []
        for row in range(3):
            cols = []
            for c in range(W):
                b = 0
                for bit in range(8):
                    if pixels[band * 24 + row * 8 + bit][c]:
                        b |= 0x80 >> bit
                cols.append(b)
            rows.append(cols)
        out.append(rows)
    return out


def rutb24_lines():
    """The "*RutB24" section: per symbol the key line and 27 lines of 16 byte values."""
    lines = ["*RutB24"]
    for number, (key, text, shape) in enumerate(SYMBOLS, start=1):
        # A comma would split the text into the next field of the exchange line.
        assert len(key) <= 10 and len(text) <= 48 and "," not in key + text, key
        lines.append(f"{key},{text},{number}")
        data = symbol_bytes(render(shape))
        for i in range(1, 28):
            band, row, first = (i - 1) // 9, (i - 1) % 3, ((i - 1) // 3 % 3) * 16
            lines.append(",".join(str(v) for v in data[band][row][first:first + 16]))
    return lines


# --- the demo's control descriptions ---------------------------------------------------------

FEATURES = ["BRANT", "TERRASS", "H\u00d6JD", "LITENH\u00d6JD", "S\u00c4NKA", "GROP", "RAVIN", "SADEL", "NOS",
            "JORDVALL", "STUP", "STEN", "STORSTEN", "STENAR", "STENF\u00c4LT", "GROTTA", "H\u00c4LL", "TJ\u00c4RN",
            "B\u00c4CK", "DIKE", "MYR", "K\u00c4LLA", "BRUNN", "GL\u00c4NTA", "SN\u00c5R", "TR\u00c4D", "BUSKE",
            "H\u00c4CK", "STUBBE", "SKOGSH\u00d6RN", "V\u00c4G", "STIG", "STAKET", "MUR", "HUS", "RUIN", "TORN", "BRO",
            "KRAFTLED", "R\u00d6SE", "KOLBOTTEN"]
WHICH = ["N", "S", "\u00d6", "V", "NO", "NV", "SO", "SV"]
WHERE = ["FOT", "TOPP", "KANT", "H\u00d6RN", "INRE", "MELLAN", "\u00d6VRE", "NEDRE", "\u00c4NDE", "KORS",
         "N", "S", "\u00d6", "V", "NO", "SV"]
SIZES = ["1.5", "2", "2.5", "3", "4", "0.5_1", "1_2", "2X3", "3/4", "1.5/2"]
START_CODE, FINISH_CODE = "T1", "M1"


def control_lines(codes, seed=2027):
    """The "*Kontroller" lines: the start, the finish and every code with a description in
    columns A..H (A empty, for the running number), then the map position."""
    rng = random.Random(seed)
    lines = ["*Kontroller",
             f"{START_CODE},START,,,,,,,,1000,1000",
             f"{FINISH_CODE},SNITSV,SNITS,SNITS,150 m,SNITS,SNITS,SNITS,M\u00c5L,2000,2000"]
    for i, code in enumerate(codes):
        c = rng.choice(WHICH) if rng.random() < 0.2 else ""
        d = FEATURES[i % len(FEATURES)] if i < len(FEATURES) else rng.choice(FEATURES)
        e = rng.choice(["STENIG", "\u00d6VERVUXEN"]) if rng.random() < 0.15 else ""
        f = rng.choice(SIZES) if rng.random() < 0.45 else ""
        g = rng.choice(WHERE) if rng.random() < 0.6 else ""
        h = rng.choice(["VATTEN", "RADIO", "SJUK"]) if rng.random() < 0.12 else ""
        lines.append(",".join([code, "", code, c, d, e, f, g, h, str(1000 + 37 * i), str(2000 + 53 * i)]))
    return lines


def course_controls(picked):
    """The controls of a course: the start, the picked controls, the finish."""
    return [START_CODE] + list(picked) + [FINISH_CODE]


# --- preview ---------------------------------------------------------------------------------

def write_png(path, rows):
    """A grey-scale PNG of rows of 0..255 values, with the standard library only."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(path, per_row=10, zoom_x=3, zoom_y=2, pad=6):
    """Every symbol as it prints (a pixel 3 wide and 2 high), ten to a row on a grey ground."""
    cell_w, cell_h = W * zoom_x + pad, H * zoom_y + pad
    n = len(SYMBOLS)
    rows_n = (n + per_row - 1) // per_row
    img = [[200] * (per_row * cell_w + pad) for _ in range(rows_n * cell_h + pad)]
    for i, (_, _, shape) in enumerate(SYMBOLS):
        px = render(shape)
        ox, oy = pad + (i % per_row) * cell_w, pad + (i // per_row) * cell_h
        for r in range(H):
            for c in range(W):
                v = 0 if px[r][c] else 255
                for dy in range(zoom_y):
                    for dx in range(zoom_x):
                        img[oy + r * zoom_y + dy][ox + c * zoom_x + dx] = v
    write_png(path, img)


def main(argv):
    args = list(argv)
    if not args or "-h" in args or "--help" in args:
        print(__doc__)
        return 0 if args else 2
    while args:
        opt = args.pop(0)
        if opt in ("--out", "--preview") and args:
            target = args.pop(0)
            if opt == "--out":
                with open(target, "wb") as f:
                    for line in ["; olbrax symboler 48x72, ritade f\u00f6r demot\u00e4vlingen", ";"] + rutb24_lines():
                        f.write(line.encode("cp1252") + b"\r\n")
            else:
                preview(target)
            print(target)
        else:
            print(f"route_symbols.py: unknown argument {opt}", file=sys.stderr)
            return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
