#!/usr/bin/env python3
"""Regenerate Tervane's committed bitmap resources.

Writes, relative to the repository root:
  app/res/flags.bmp    864x16 24-bit BMP strip of 54 16x16 language images
  app/res/tervane.ico  program icon (smiling face), 16, 20, 24 and 32 pixels, 32-bit
  app/res/tervane-large.ico  the same at 40, 48 and 64 pixels
  app/res/compact.bmp  32x32 24-bit glyph for the compact-mode toggle button
  app/res/balloon-info.bmp, balloon-error.bmp, balloon-warning.bmp
                       16x16 24-bit pictures of the balloon's three types
and the same pictures for 125, 150 and 200 % (120, 144 and 192 DPI), named
with _125, _150 and _200 (flags_125.bmp: 54 20x20 images, ...).  Sizes at
those DPIs are rounded as Windows' MulDiv rounds (base/Dpi.h), so that the
program's layout and the pictures agree.  The flags exist only at 16x11: at
200 % each pixel becomes 2x2, at 125 and 150 % they are resampled with a
Lanczos filter.  Everything else is drawn anew at each size.

Only the Python standard library is used (zlib + struct).  The flags are
read from Debian's public-domain package famfamfam-flag-png
(/usr/share/flags/countries/16x11/*.png).  Everything else is drawn here.

Output is deterministic: running the script twice gives identical bytes.
See docs/images.md.
"""

import math
import os
import struct
import subprocess
import sys
import zlib

FLAG_DIR = "/usr/share/flags/countries/16x11"
MAGENTA = (255, 0, 255)

# Position in the image list -> (language, flag file stem or tile letter).
# A tile entry is written as "tile:X".
FLAG_TABLE = [
    ("English", "us"), ("French", "fr"), ("German", "de"),
    ("Spanish", "es"), ("Italian", "it"), ("Portuguese", "pt"),
    ("Dutch", "nl"), ("Greek", "gr"), ("Korean", "kr"),
    ("Russian", "ru"), ("Japanese", "jp"), ("Chinese (Simplified)", "cn"),
    ("Chinese (Traditional)", "tw"), ("Hungarian", "hu"), ("Danish", "dk"),
    ("Dutch", "nl"), ("Finnish", "fi"), ("Swedish", "se"),
    ("Arabic", "sa"), ("Catalan", "catalonia"), ("Croatian", "hr"),
    ("Czech", "cz"), ("Hebrew", "tile:H"), ("Norwegian", "no"),
    ("Afrikaans", "za"), ("Albanian", "al"), ("Belarusian", "by"),
    ("Bulgarian", "bg"), ("Estonian", "ee"), ("Filipino", "ph"),
    ("Galician", "tile:G"), ("Haitian", "ht"), ("Hindi", "in"),
    ("Icelandic", "is"), ("Indonesian", "id"), ("Irish", "ie"),
    ("Latvian", "lv"), ("Lithuanian", "lt"), ("Macedonian", "mk"),
    ("Malay", "my"), ("Maltese", "mt"), ("Persian", "tile:P"),
    ("Polish", "pl"), ("Romanian", "ro"), ("Serbian", "rs"),
    ("Slovak", "sk"), ("Slovenian", "si"), ("Swahili", "tz"),
    ("Thai", "th"), ("Turkish", "tr"), ("Ukrainian", "ua"),
    ("Vietnamese", "vn"), ("Welsh", "wales"), ("Yiddish", "tile:Y"),
]

CELL = 16            # each image in flags.bmp is CELL x CELL
FLAG_TOP = 2         # flags (16x11) occupy rows 2..12, counted from the top
TILE_TOP = 1         # letter tiles (16x14) occupy rows 1..14
TILE_H = 14
TILE_RED = (204, 0, 0)
WHITE = (255, 255, 255)

# Hand-made 7x9 bold glyphs for the letter tiles ('#' = ink).
GLYPHS = {
    "H": ["##...##",
          "##...##",
          "##...##",
          "##...##",
          "#######",
          "#######",
          "##...##",
          "##...##",
          "##...##"],
    "G": [".#####.",
          "##...##",
          "##.....",
          "##.....",
          "##..###",
          "##...##",
          "##...##",
          "##...##",
          ".#####."],
    "P": ["######.",
          "##...##",
          "##...##",
          "##...##",
          "######.",
          "##.....",
          "##.....",
          "##.....",
          "##....."],
    "Y": ["##...##",
          "##...##",
          ".##.##.",
          ".#####.",
          "..###..",
          "..###..",
          "..###..",
          "..###..",
          "..###.."],
}


def fail(msg):
    sys.stderr.write("make-images: error: %s\n" % msg)
    sys.exit(1)


# --------------------------------------------------------------------------
# PNG reading (8-bit, non-interlaced; anything else goes through ImageMagick)
# --------------------------------------------------------------------------

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    if pb <= pc:
        return b
    return c


def _parse_png(data, name):
    """Return (width, height, rows of RGBA tuples) or None if unsupported."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s: not a PNG file" % name)
    pos = 8
    ihdr = None
    plte = None
    trns = None
    idat = []
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        ctype = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if ctype == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif ctype == b"PLTE":
            plte = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif ctype == b"tRNS":
            trns = body
        elif ctype == b"IDAT":
            idat.append(body)
        elif ctype == b"IEND":
            break
    if ihdr is None:
        fail("%s: no IHDR chunk" % name)
    w, h, depth, ctype, _comp, _filt, interlace = ihdr
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(ctype)
    if channels is None:
        fail("%s: unknown PNG colour type %d" % (name, ctype))
    if depth != 8 or interlace != 0:
        return None
    if ctype == 3 and plte is None:
        fail("%s: palette image without PLTE" % name)

    raw = zlib.decompress(b"".join(idat))
    bpp = channels
    stride = w * bpp
    if len(raw) < h * (stride + 1):
        fail("%s: truncated image data" % name)
    prev = bytearray(stride)
    rows = []
    off = 0
    for _y in range(h):
        ftype = raw[off]
        line = bytearray(raw[off + 1:off + 1 + stride])
        off += stride + 1
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ftype == 0:
                pass
            elif ftype == 1:
                line[i] = (line[i] + a) & 0xFF
            elif ftype == 2:
                line[i] = (line[i] + b) & 0xFF
            elif ftype == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif ftype == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 0xFF
            else:
                fail("%s: bad PNG filter type %d" % (name, ftype))
        prev = line
        px = []
        for x in range(w):
            s = line[x * bpp:(x + 1) * bpp]
            if ctype == 0:
                g = s[0]
                alpha = 255
                if trns is not None and len(trns) >= 2 and \
                        struct.unpack(">H", trns[:2])[0] == g:
                    alpha = 0
                px.append((g, g, g, alpha))
            elif ctype == 2:
                alpha = 255
                if trns is not None and len(trns) >= 6 and \
                        struct.unpack(">HHH", trns[:6]) == tuple(s):
                    alpha = 0
                px.append((s[0], s[1], s[2], alpha))
            elif ctype == 3:
                idx = s[0]
                if idx >= len(plte):
                    fail("%s: palette index out of range" % name)
                r, g, b = plte[idx]
                alpha = trns[idx] if trns is not None and idx < len(trns) \
                    else 255
                px.append((r, g, b, alpha))
            elif ctype == 4:
                px.append((s[0], s[0], s[0], s[1]))
            else:
                px.append((s[0], s[1], s[2], s[3]))
        rows.append(px)
    return w, h, rows


def read_png(path):
    name = os.path.basename(path)
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        fail("cannot read %s: %s (is famfamfam-flag-png installed?)"
             % (path, e))
    img = _parse_png(data, name)
    if img is None:
        # Interlaced or not 8-bit: let ImageMagick rewrite it as plain RGBA.
        try:
            data = subprocess.run(
                ["convert", path, "-interlace", "none", "-depth", "8",
                 "PNG32:-"],
                check=True, stdout=subprocess.PIPE).stdout
        except (OSError, subprocess.CalledProcessError) as e:
            fail("%s: unsupported PNG layout and ImageMagick conversion "
                 "failed: %s" % (name, e))
        img = _parse_png(data, name + " (converted)")
        if img is None:
            fail("%s: still unsupported after conversion" % name)
    return img


# --------------------------------------------------------------------------
# BMP / ICO writing
# --------------------------------------------------------------------------

def bmp24(width, height, pixels):
    """pixels[y][x] = (r, g, b), y = 0 is the top row. Bottom-up BI_RGB."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for r, g, b in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        body += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0,
                       14 + len(info))
    return bytes(head + info + body)


def ico_image(size, rgba):
    """One icon image: BITMAPINFOHEADER + 32-bit BGRA XOR + 1-bit AND mask."""
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in rgba[y]:
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    andm = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if rgba[y][x][3] < 128:
                row[x >> 3] |= 0x80 >> (x & 7)
        andm += row
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                       len(xor) + len(andm), 0, 0, 0, 0)
    return bytes(info + xor + andm)


def ico_file(images):
    """images: list of (size, image bytes)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    blobs = bytearray()
    for size, blob in images:
        out += struct.pack("<BBBBHHII", size if size < 256 else 0,
                           size if size < 256 else 0, 0, 0, 1, 32,
                           len(blob), offset + len(blobs))
        blobs += blob
    return bytes(out + blobs)


# --------------------------------------------------------------------------
# flags.bmp
# --------------------------------------------------------------------------

# The DPIs the pictures are made for, with their file suffixes.
SCALES = ((96, ""), (120, "_125"), (144, "_150"), (192, "_200"))


def at_dpi(length, dpi):
    """A 96-DPI length at `dpi`, rounded halves up as Windows' MulDiv does."""
    return (length * dpi + 48) // 96


def lanczos(x, a=3):
    if x == 0:
        return 1.0
    if abs(x) >= a:
        return 0.0
    px = math.pi * x
    return a * math.sin(px) * math.sin(px / a) / (px * px)


def resample_axis(line, size):
    """One row or column of (r, g, b) resampled to `size` samples."""
    n = len(line)
    ratio = n / size
    support = 3 * max(ratio, 1.0)
    out = []
    for i in range(size):
        centre = (i + 0.5) * ratio
        lo = int(math.floor(centre - support))
        hi = int(math.ceil(centre + support))
        acc = [0.0, 0.0, 0.0]
        weight = 0.0
        for j in range(lo, hi + 1):
            w = lanczos((j + 0.5 - centre) / max(ratio, 1.0))
            if w == 0.0:
                continue
            src = line[min(max(j, 0), n - 1)]
            for k in range(3):
                acc[k] += w * src[k]
            weight += w
        out.append(tuple(min(255, max(0, int(round(c / weight)))) for c in acc))
    return out


def scale_flag(rows, width, height):
    """A flag (rows of (r, g, b)) at width x height: whole pixels repeated
    at an integer factor, a Lanczos filter otherwise."""
    h, w = len(rows), len(rows[0])
    if width % w == 0 and height % h == 0 and width // w == height // h:
        f = width // w
        return [[rows[y // f][x // f] for x in range(width)] for y in range(height)]
    wide = [resample_axis(row, width) for row in rows]
    columns = [resample_axis([wide[y][x] for y in range(h)], height)
               for x in range(width)]
    return [[columns[x][y] for x in range(width)] for y in range(height)]


def flag_cell_at(stem, dpi):
    """A flag in its cell for `dpi`, scaled from the 96-DPI cell's flag."""
    w, h, rows = read_png(os.path.join(FLAG_DIR, stem + ".png"))
    opaque = [[(r, g, b) for r, g, b, _a in row] for row in rows]
    cell_size = at_dpi(CELL, dpi)
    fw, fh = at_dpi(w, dpi), at_dpi(h, dpi)
    top = at_dpi(FLAG_TOP, dpi)
    flag = scale_flag(opaque, fw, fh)
    cell = [[MAGENTA] * cell_size for _ in range(cell_size)]
    left = (cell_size - fw) // 2
    for y in range(fh):
        for x in range(fw):
            c = flag[y][x]
            cell[top + y][left + x] = (254, 0, 254) if c == MAGENTA else c
    return cell


def tile_cell_at(letter, dpi):
    """A letter tile drawn for `dpi`: the tile's rows scaled, the glyph's
    cells drawn as boxes of the scaled size, their edges smoothed."""
    glyph = GLYPHS[letter]
    gh, gw = len(glyph), len(glyph[0])
    n = at_dpi(CELL, dpi)
    s = dpi / 96.0
    top, height = at_dpi(TILE_TOP, dpi), at_dpi(TILE_H, dpi)
    cell = [[MAGENTA] * n for _ in range(n)]
    gx = (CELL - gw) // 2 + 1
    gy = TILE_TOP + (TILE_H - gh) // 2
    ss = 8
    for y in range(top, top + height):
        for x in range(n):
            ink = 0
            for sy in range(ss):
                for sx in range(ss):
                    u = (x + (sx + 0.5) / ss) / s - gx
                    v = (y + (sy + 0.5) / ss) / s - gy
                    if 0 <= u < gw and 0 <= v < gh and glyph[int(v)][int(u)] == "#":
                        ink += 1
            t = ink / (ss * ss)
            cell[y][x] = tuple(int(round(TILE_RED[i] + (WHITE[i] - TILE_RED[i]) * t))
                               for i in range(3))
    return cell


def make_flags_at(dpi):
    if dpi == 96:
        return make_flags()
    cache = {}
    cells = []
    for _lang, src in FLAG_TABLE:
        if src not in cache:
            cache[src] = (tile_cell_at(src[5:], dpi) if src.startswith("tile:")
                          else flag_cell_at(src, dpi))
        cells.append(cache[src])
    n = at_dpi(CELL, dpi)
    pixels = [[p for cell in cells for p in cell[y]] for y in range(n)]
    return bmp24(n * len(cells), n, pixels)


def flag_cell(stem):
    path = os.path.join(FLAG_DIR, stem + ".png")
    w, h, rows = read_png(path)
    if w > CELL or FLAG_TOP + h > CELL:
        fail("%s.png is %dx%d, does not fit a %dx%d cell"
             % (stem, w, h, CELL, CELL))
    cell = [[MAGENTA] * CELL for _ in range(CELL)]
    left = (CELL - w) // 2
    for y in range(h):
        for x in range(w):
            r, g, b, a = rows[y][x]
            if a < 128:
                c = MAGENTA
            elif (r, g, b) == MAGENTA:
                c = (254, 0, 254)   # keep real pixels out of the mask colour
            else:
                c = (r, g, b)
            cell[FLAG_TOP + y][left + x] = c
    return cell


def tile_cell(letter):
    glyph = GLYPHS[letter]
    gh, gw = len(glyph), len(glyph[0])
    cell = [[MAGENTA] * CELL for _ in range(CELL)]
    for y in range(TILE_TOP, TILE_TOP + TILE_H):
        for x in range(CELL):
            cell[y][x] = TILE_RED
    gx = (CELL - gw) // 2 + 1          # 7 wide in 16: columns 5..11
    gy = TILE_TOP + (TILE_H - gh) // 2   # 9 tall in 14: rows 3..11
    for y in range(gh):
        for x in range(gw):
            if glyph[y][x] == "#":
                cell[gy + y][gx + x] = WHITE
    return cell


def make_flags():
    if len(FLAG_TABLE) != 54:
        fail("flag table must have 54 entries")
    cache = {}
    cells = []
    for _lang, src in FLAG_TABLE:
        if src not in cache:
            if src.startswith("tile:"):
                cache[src] = tile_cell(src[5:])
            else:
                cache[src] = flag_cell(src)
        cells.append(cache[src])
    width = CELL * len(cells)
    pixels = []
    for y in range(CELL):
        row = []
        for cell in cells:
            row.extend(cell[y])
        pixels.append(row)
    return bmp24(width, CELL, pixels)


# --------------------------------------------------------------------------
# tervane.ico: a smiling face, drawn with 8x8 supersampling
# --------------------------------------------------------------------------

FACE_YELLOW = (255, 214, 0)
FACE_SHADE = (240, 170, 0)
OUTLINE = (70, 45, 0)
FEATURE = (60, 35, 0)


def face_sample(u, v, p):
    """Colour and coverage of one sample at (u, v) in unit coordinates
    (centre 0,0; radius 1).  Returns (rgb, alpha 0..1)."""
    d = math.hypot(u, v)
    if d > 1.0:
        return None
    if d > 1.0 - p["outline"]:
        return OUTLINE
    # eyes: upright ellipses
    for ex in (-p["eye_x"], p["eye_x"]):
        du = (u - ex) / p["eye_w"]
        dv = (v - p["eye_y"]) / p["eye_h"]
        if du * du + dv * dv <= 1.0:
            return FEATURE
    # smile: a thick arc of a circle centred above the face centre
    sd = math.hypot(u, v - p["smile_cy"])
    if abs(sd - p["smile_r"]) <= p["smile_t"] / 2 and v > p["smile_cy"]:
        ang = math.degrees(math.atan2(v - p["smile_cy"], u))  # 90 = down
        if abs(ang - 90.0) <= p["smile_span"]:
            return FEATURE
    # rounded ends of the smile
    for sgn in (-1, 1):
        a = math.radians(90.0 + sgn * p["smile_span"])
        cx = p["smile_r"] * math.cos(a)
        cy = p["smile_cy"] + p["smile_r"] * math.sin(a)
        if math.hypot(u - cx, v - cy) <= p["smile_t"] / 2:
            return FEATURE
    # simple vertical shading: lighter at the top, warmer at the bottom
    t = max(0.0, min(1.0, (v + 1.0) / 2.0))
    t = t * t
    return tuple(int(round(FACE_YELLOW[i] + (FACE_SHADE[i] - FACE_YELLOW[i])
                           * t)) for i in range(3))


def draw_face(size, p):
    ss = 8
    radius = size / 2.0 - p["margin"]
    c = size / 2.0
    img = []
    for py in range(size):
        row = []
        for px in range(size):
            sr = sg = sb = 0.0
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    x = px + (sx + 0.5) / ss
                    y = py + (sy + 0.5) / ss
                    col = face_sample((x - c) / radius, (y - c) / radius, p)
                    if col is None:
                        continue
                    hits += 1
                    sr += col[0]
                    sg += col[1]
                    sb += col[2]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                a = int(round(255.0 * hits / (ss * ss)))
                row.append((int(round(sr / hits)), int(round(sg / hits)),
                            int(round(sb / hits)), a))
        img.append(row)
    return img


FACE_32 = dict(margin=0.5, outline=0.10, eye_x=0.32, eye_y=-0.30,
               eye_w=0.12, eye_h=0.20, smile_cy=0.0, smile_r=0.56,
               smile_t=0.14, smile_span=52.0)
FACE_16 = dict(margin=0.0, outline=0.13, eye_x=0.32, eye_y=-0.30,
               eye_w=0.13, eye_h=0.24, smile_cy=0.02, smile_r=0.55,
               smile_t=0.17, smile_span=55.0)


def make_icon():
    # 16 and 32 as they always were, and the small icon's sizes at 125 and 150 %
    # (20, 24; at 200 % it is the 32).  32 stays the largest: the Linux program
    # takes the largest image of this file.
    images = [(32, ico_image(32, draw_face(32, FACE_32))),
              (16, ico_image(16, draw_face(16, FACE_16)))]
    for size in (20, 24):
        images.append((size, ico_image(size, draw_face(size, FACE_16))))
    return ico_file(images)


def make_large_icon():
    """The large icon (the About box's) at 125, 150 and 200 %."""
    return ico_file([(size, ico_image(size, draw_face(size, FACE_32)))
                     for size in (40, 48, 64)])


# --------------------------------------------------------------------------
# compact.bmp: two arrows pointing at a centre bar (magenta background)
# --------------------------------------------------------------------------

COMPACT_INK = (51, 51, 51)


def make_compact_at(dpi):
    """The glyph drawn for `dpi`: each ink pixel of the 32x32 glyph becomes
    the box it covers at that DPI (no smoothing: the magenta around it is
    the mask colour, which a blended pixel would leave visible)."""
    if dpi == 96:
        return make_compact()
    base = compact_pixels()
    n = at_dpi(32, dpi)
    s = dpi / 96.0
    px = [[base[min(31, int((y + 0.5) / s))][min(31, int((x + 0.5) / s))]
           for x in range(n)] for y in range(n)]
    return bmp24(n, n, px)


def make_compact():
    return bmp24(32, 32, compact_pixels())


def compact_pixels():
    n = 32
    px = [[MAGENTA] * n for _ in range(n)]

    def put(x, y):
        px[y][x] = COMPACT_INK

    # a 2-px vertical bar in the middle (columns 15..16, rows 8..23)
    for y in range(8, 24):
        put(15, y)
        put(16, y)
    # left arrow pointing right at the bar: shaft rows 15..16 from x 3,
    # head columns 8..13 narrowing to its tip; the right arrow is mirrored
    for x in range(3, 9):
        for y in (15, 16):
            put(x, y)
            put(n - 1 - x, y)
    for i in range(6):          # head columns 8..13, half-height 5..0
        x = 8 + i
        half = 5 - i
        for y in range(15 - half, 17 + half):
            put(x, y)
            put(n - 1 - x, y)
    return px


# --------------------------------------------------------------------------
# balloon-*.bmp: the balloon's pictures, drawn with 8x8 supersampling on the
# tooltip colour; the bottom left pixel keeps that colour, which is what the
# balloon leaves out when it draws them
# --------------------------------------------------------------------------

BALLOON_BACK = (255, 255, 225)


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def in_triangle(x, y, corners, inset=0.0):
    """Inside the triangle and at least `inset` away from each of its sides
    (corners in either winding order)."""
    (ax, ay), (bx, by), (cx, cy) = corners
    area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax)
    sign = 1.0 if area > 0 else -1.0
    for (px, py), (qx, qy) in (((ax, ay), (bx, by)), ((bx, by), (cx, cy)),
                               ((cx, cy), (ax, ay))):
        cross = (qx - px) * (y - py) - (qy - py) * (x - px)
        if sign * cross / math.hypot(qx - px, qy - py) < inset:
            return False
    return True


def in_box(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


INFO_INK = (0, 70, 200)
INFO_FILL = (205, 228, 255)
INFO_EDGE = (60, 110, 200)
INFO_TAIL = ((4.0, 9.0), (8.5, 12.0), (1.8, 15.2))


def info_sample(x, y):
    """A blue lower-case i in a pale blue speech bubble."""
    dot = in_box(x, y, 7.0, 3.0, 9.0, 5.0)
    stem = (in_box(x, y, 7.0, 6.0, 9.0, 11.6) or in_box(x, y, 5.9, 6.0, 9.0, 7.0)
            or in_box(x, y, 5.9, 10.6, 10.1, 11.6))
    if dot or stem:
        return INFO_INK
    if in_ellipse(x, y, 8.0, 6.8, 6.2, 5.3) or in_triangle(x, y, INFO_TAIL, 1.1):
        return INFO_FILL
    if in_ellipse(x, y, 8.0, 6.8, 7.3, 6.4) or in_triangle(x, y, INFO_TAIL):
        return INFO_EDGE
    return None


ERROR_FILL = (215, 35, 35)
ERROR_EDGE = (140, 0, 0)


def error_sample(x, y):
    """A white cross on a red disc."""
    u, v = x - 8.0, y - 8.0
    d = math.hypot(u, v)
    if d > 7.4:
        return None
    if d > 6.4:
        return ERROR_EDGE
    if max(abs(u), abs(v)) <= 3.4 and min(abs(u - v), abs(u + v)) / math.sqrt(2) <= 1.05:
        return WHITE
    return ERROR_FILL


WARNING_FILL = (255, 205, 0)
WARNING_EDGE = (170, 120, 0)
WARNING_SHAPE = ((8.0, 0.4), (15.6, 15.0), (0.4, 15.0))


def warning_sample(x, y):
    """A black exclamation mark on a yellow triangle."""
    if not in_triangle(x, y, WARNING_SHAPE):
        return None
    if not in_triangle(x, y, WARNING_SHAPE, 1.0):
        return WARNING_EDGE
    if in_box(x, y, 7.0, 5.0, 9.0, 10.0) or in_box(x, y, 7.0, 11.0, 9.0, 13.0):
        return (0, 0, 0)
    return WARNING_FILL


def draw_picture(sample, dpi=96):
    """The picture drawn at `dpi`: the sample's 16-unit square at the
    scaled size."""
    ss = 8
    n = at_dpi(CELL, dpi)
    unit = CELL / n
    pixels = []
    for py in range(n):
        row = []
        for px in range(n):
            total = [0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    col = sample((px + (sx + 0.5) / ss) * unit,
                                 (py + (sy + 0.5) / ss) * unit)
                    for i in range(3):
                        total[i] += (col or BALLOON_BACK)[i]
            row.append(tuple(int(round(t / (ss * ss))) for t in total))
        pixels.append(row)
    if pixels[n - 1][0] != BALLOON_BACK:
        fail("a balloon picture must leave its bottom left pixel blank")
    return bmp24(n, n, pixels)


# --------------------------------------------------------------------------

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (path, len(data)))


def main():
    """Writes every image, or only those named on the command line (flags, icon,
    compact, balloon): the balloon's pictures need no flag sources."""
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, "app", "res")
    makers = {
        "flags": lambda: [
            write(os.path.join(res, "flags%s.bmp" % suffix), make_flags_at(dpi))
            for dpi, suffix in SCALES],
        "icon": lambda: [write(os.path.join(res, "tervane.ico"), make_icon()),
                         write(os.path.join(res, "tervane-large.ico"), make_large_icon())],
        "compact": lambda: [
            write(os.path.join(res, "compact%s.bmp" % suffix), make_compact_at(dpi))
            for dpi, suffix in SCALES],
        "balloon": lambda: [
            write(os.path.join(res, "balloon-%s%s.bmp" % (name, suffix)),
                  draw_picture(sample, dpi))
            for dpi, suffix in SCALES
            for name, sample in (("info", info_sample),
                                 ("error", error_sample),
                                 ("warning", warning_sample))],
    }
    wanted = sys.argv[1:] or list(makers)
    for name in wanted:
        if name not in makers:
            fail("unknown image %r (known: %s)" % (name, ", ".join(makers)))
    for name in wanted:
        makers[name]()


if __name__ == "__main__":
    main()
