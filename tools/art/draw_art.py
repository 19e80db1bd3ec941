#!/usr/bin/env python3
"""Draws the program's pictures: the window icon (nimbral.ico, 16 to 256 pixels), the splash banner,
the about picture and the plugin browser's five button pictures (go, back, forward, stop, refresh).
The splash and about pictures come twice, at the size for 96 dots per inch and at one and a half
times it for 144 (the -144 files), each drawn at its own size so that neither is stretched. The
shapes are drawn here, supersampled for smooth edges; the names on the pictures are set in DejaVu
Sans by ImageMagick's convert. The results are committed beside the
resource script, so a build needs neither Python nor ImageMagick.

usage: tools/art/draw_art.py [OUTPUT_FOLDER]   (default: src/app/art)
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SAMPLES = 4  # per axis, per pixel


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def over(dst, src):
    """src over dst, both (r, g, b, a) with straight alpha in 0..1."""
    sa = src[3]
    da = dst[3]
    oa = sa + da * (1 - sa)
    if oa <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da * (1 - sa)) / oa for i in range(3)) + (oa,)


def hexrgb(text, alpha=1.0):
    return (int(text[0:2], 16) / 255, int(text[2:4], 16) / 255, int(text[4:6], 16) / 255, alpha)


def in_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_sparkle(x, y, cx, cy, r):
    dx = abs(x - cx) / r
    dy = abs(y - cy) / r
    return dx ** 0.55 + dy ** 0.55 <= 1.0


def in_ring(x, y, cx, cy, r0, r1, a0, a1):
    import math
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if d < r0 or d > r1:
        return False
    a = math.atan2(y - cy, x - cx)
    return a0 <= a <= a1


def in_polygon(x, y, points):
    """Even-odd rule over the polygon's edges."""
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def near_segment(x, y, x0, y0, x1, y1, half_width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= half_width * half_width


def mirrored(points):
    return [(1 - x, y) for x, y in points]


# The browser buttons share one light, top left, and one outline so they read as a set at 16 pixels.
OUTLINE = hexrgb("1B3A66")
ARROW_TOP = hexrgb("6FB4F2")
ARROW_BOTTOM = hexrgb("1F5FB0")
GO_TOP = hexrgb("7ED957")
GO_BOTTOM = hexrgb("2E8B2E")
GO_OUTLINE = hexrgb("1D5A1D")
STOP_TOP = hexrgb("F26B5B")
STOP_BOTTOM = hexrgb("B3221A")
STOP_OUTLINE = hexrgb("6E120D")
WHITE = hexrgb("FFFFFF")

# A thick arrow pointing left, in the unit square.
LEFT_ARROW = [(0.06, 0.50), (0.46, 0.12), (0.46, 0.34), (0.92, 0.34), (0.92, 0.66), (0.46, 0.66), (0.46, 0.88)]
OCTAGON = [(0.32, 0.04), (0.68, 0.04), (0.96, 0.32), (0.96, 0.68), (0.68, 0.96), (0.32, 0.96), (0.04, 0.68),
           (0.04, 0.32)]


def filled(x, y, inside, inner, top, bottom, outline):
    """A shape with a darker rim: `inside` tests the whole shape, `inner` the shape less its rim."""
    if not inside(x, y):
        return (0.0, 0.0, 0.0, 0.0)
    if not inner(x, y):
        return outline
    return mix(top, bottom, y)


def shrunk(points, by):
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    return [(cx + (px - cx) * (1 - by), cy + (py - cy) * (1 - by)) for px, py in points]


def arrow_button(points):
    inner = shrunk(points, 0.16)
    return lambda x, y: filled(x, y, lambda a, b: in_polygon(a, b, points), lambda a, b: in_polygon(a, b, inner),
                               ARROW_TOP, ARROW_BOTTOM, OUTLINE)


def go_button(x, y):
    """A green disc with a white arrow into the page: go to the address typed."""
    d = ((x - 0.5) ** 2 + (y - 0.5) ** 2) ** 0.5
    if d > 0.47:
        return (0.0, 0.0, 0.0, 0.0)
    c = GO_OUTLINE if d > 0.40 else mix(GO_TOP, GO_BOTTOM, y)
    head = [(0.80, 0.50), (0.52, 0.24), (0.52, 0.76)]
    if in_polygon(x, y, head) or (0.22 <= x <= 0.56 and 0.41 <= y <= 0.59):
        c = WHITE
    return c


def stop_button(x, y):
    """A red octagon with a white cross."""
    c = filled(x, y, lambda a, b: in_polygon(a, b, OCTAGON), lambda a, b: in_polygon(a, b, shrunk(OCTAGON, 0.14)),
               STOP_TOP, STOP_BOTTOM, STOP_OUTLINE)
    if c[3] > 0 and (near_segment(x, y, 0.32, 0.32, 0.68, 0.68, 0.08) or near_segment(x, y, 0.68, 0.32, 0.32, 0.68,
                                                                                      0.08)):
        c = WHITE
    return c


def refresh_button(x, y):
    """Three quarters of a ring, its end an arrow head that points on round the circle."""
    import math
    cx, cy = 0.48, 0.54
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    a = math.atan2(y - cy, x - cx)
    in_arc = 0.21 <= d <= 0.44 and not (-math.pi / 2 <= a <= -0.25)
    core = 0.27 <= d <= 0.38 and not (-math.pi / 2 - 0.1 <= a <= -0.15)
    head = [(0.90, 0.22), (0.46, 0.0), (0.46, 0.44)]
    head_core = shrunk(head, 0.38)
    c = (0.0, 0.0, 0.0, 0.0)
    if in_arc or in_polygon(x, y, head):
        c = OUTLINE
    if core or in_polygon(x, y, head_core):
        c = mix(GO_TOP, GO_BOTTOM, y)
    return c


BUTTONS = {
    "go": go_button,
    "back": arrow_button(LEFT_ARROW),
    "forward": arrow_button(mirrored(LEFT_ARROW)),
    "stop": stop_button,
    "refresh": refresh_button,
}
BUTTON_SIZES = [16, 20, 24, 32]


BLUE_TOP = hexrgb("4A9BE8")
BLUE_BOTTOM = hexrgb("17498F")
BAR = hexrgb("D8ECFF")
PANE = hexrgb("FFFFFF", 0.95)
SWEEP = hexrgb("8CC4F5")
GOLD = hexrgb("FFC531")
GOLD_CORE = hexrgb("FFF4C2")
SHADOW = (0.0, 0.0, 0.0, 0.28)


def emblem(x, y, small):
    """The program's mark at (x, y) in the unit square: a window wiped clean, with a sparkle."""
    c = (0.0, 0.0, 0.0, 0.0)
    if in_round_rect(x, y, 0.10, 0.13, 0.90, 0.90, 0.13):
        c = over(c, SHADOW)
    if in_round_rect(x, y, 0.06, 0.08, 0.86, 0.85, 0.13):
        c = over(c, mix(BLUE_TOP, BLUE_BOTTOM, (y - 0.08) / 0.77))
        if y < 0.25:
            c = over(c, BAR)
        elif in_round_rect(x, y, 0.14, 0.32, 0.78, 0.77, 0.05):
            c = over(c, PANE)
            if not small and in_ring(x, y, 0.30, 0.80, 0.26, 0.33, -1.45, -0.45):
                c = over(c, SWEEP)
    if in_sparkle(x, y, 0.76, 0.74, 0.27 if small else 0.24):
        c = over(c, GOLD)
        if in_sparkle(x, y, 0.76, 0.74, 0.09):
            c = over(c, GOLD_CORE)
    if not small and in_sparkle(x, y, 0.42, 0.52, 0.09):
        c = over(c, GOLD)
    return c


def render(width, height, shader):
    """Rows of (r, g, b, a) in 0..255, top row first."""
    rows = []
    step = 1.0 / SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = shader((px + (sx + 0.5) * step) / width, (py + (sy + 0.5) * step) / height)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a > 0:
                rgb = [min(255, round(acc[i] / acc[3] * 255)) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(a * 255)))
        rows.append(row)
    return rows


def icon_dib(rows):
    """A 32-bit icon image: BITMAPINFOHEADER, XOR bits bottom-up in BGRA, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    height = len(rows)
    width = len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(path, sizes, shader=None):
    images = []
    for size in sizes:
        rows = render(size, size, shader or (lambda x, y: emblem(x, y, size <= 24)))
        images.append((size, png(rows) if size >= 256 else icon_dib(rows)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    directory = b""
    for size, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(header + directory + b"".join(data for _, data in images))


def write_ppm(path, rows, background):
    with open(path, "wb") as out:
        out.write(b"P6 %d %d 255\n" % (len(rows[0]), len(rows)))
        for row in rows:
            for r, g, b, a in row:
                t = a / 255
                out.write(bytes(round(background[i] * (1 - t) + (r, g, b)[i] * t) for i in range(3)))


def banner(width, height, mark_size, mark_left, scale=1.0):
    """A deep blue field, lighter to the right, with the mark and a trail of sparkles."""
    top = hexrgb("0F2F63")
    bottom = hexrgb("2D6FC0")

    def shade(x, y):
        px = x * width
        py = y * height
        c = mix(top, bottom, 0.55 * y + 0.45 * x)
        mx = (px - mark_left) / mark_size
        my = (py - (height - mark_size) / 2) / mark_size
        if 0 <= mx <= 1 and 0 <= my <= 1:
            c = over(c, emblem(mx, my, False))
        for sx, sy, sr in ((0.93, 0.20, 9), (0.86, 0.80, 6), (0.97, 0.62, 4), (0.80, 0.12, 3)):
            if in_sparkle(px, py, sx * width, sy * height, sr * scale):
                c = over(c, hexrgb("FFE08A", 0.9))
        return c

    return render(width, height, shade)


def write_picture(path, rows, title, subtitle, text_left, point):
    with tempfile.TemporaryDirectory() as scratch:
        ppm = os.path.join(scratch, "base.ppm")
        write_ppm(ppm, rows, (0, 0, 0))
        command = ["convert", ppm, "-font", "DejaVu-Sans-Bold", "-pointsize", str(point), "-fill", "white",
                   "-annotate", "+%d+%d" % (text_left, len(rows) // 2 - 2), title]
        if subtitle:
            command += ["-font", "DejaVu-Sans", "-pointsize", str(point * 0.5), "-fill", "#D8ECFF",
                        "-annotate", "+%d+%d" % (text_left, len(rows) // 2 + point * 0.9), subtitle]
        command += ["-type", "TrueColor", "BMP3:" + path]
        subprocess.run(command, check=True)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "src", "app",
                                                                  "art")
    os.makedirs(folder, exist_ok=True)
    # The sizes Windows asks for at 100 to 300 percent display scaling: title bar, task bar, Alt+Tab,
    # the desktop and Explorer's views.
    write_ico(os.path.join(folder, "nimbral.ico"), [16, 20, 24, 32, 40, 48, 64, 256])
    for suffix, scale in (("", 1.0), ("-144", 1.5)):
        def at(value):
            return round(value * scale)

        write_picture(os.path.join(folder, "splash%s.bmp" % suffix), banner(at(420), at(140), at(112), at(16), scale),
                      "Nimbral", "Windows Cleaner", at(142), at(34))
        write_picture(os.path.join(folder, "about%s.bmp" % suffix), banner(at(96), at(96), at(80), at(8), scale), "", "",
                      0, 1)
    for name, shader in BUTTONS.items():
        write_ico(os.path.join(folder, name + ".ico"), BUTTON_SIZES, shader)


if __name__ == "__main__":
    main()
