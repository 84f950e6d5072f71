#!/usr/bin/env python3
"""Draws the program's icons and the separator bitmap (standard library only).

    python3 res/art/make_art.py [output folder]    (default: the folder of this script)

Writes app.ico (128), wipe.ico (131), pki.ico (132), info.ico (138), station.ico (1301), each
with 16, 24, 32 and 48 pixel images in 32-bit colour with alpha, and separator.bmp (135, 434 x 1 pixels).
The output is byte-for-byte reproducible; the generated files are kept in the repository so
the build needs nothing but the resource compiler.

Every picture is a USB token (connector on top, dark body with a status light) on which a
badge says what the item does. Shapes are signed distance functions in a 48-unit design
space, sampled 6 x 6 times per pixel. The main edges sit on multiples of 3 units so that
they fall on pixel boundaries at 16, 32 and 48 pixels.
"""

import math
import os
import struct
import sys

DESIGN = 48.0
SUBSAMPLES = 6
SIZES = (16, 24, 32, 48)

# Colours (r, g, b, a), a in 0..1.
OUTLINE = (22, 30, 48, 0.95)
BODY_TOP = (74, 92, 128)
BODY_BOTTOM = (34, 44, 70)
BODY_SHINE = (255, 255, 255, 0.18)
PLUG = (214, 218, 226, 1.0)
PLUG_SHADE = (160, 166, 178, 1.0)
PLUG_HOLE = (40, 48, 66, 1.0)
LED = (92, 230, 128, 1.0)
WHITE = (255, 255, 255, 1.0)


# ---- signed distance functions (negative inside) -------------------------------------------

def rounded_box(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    vv = vx * vx + vy * vy

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / vv))
        return math.hypot(x - ax - t * vx, y - ay - t * vy) - r
    return sdf


def polygon(points):
    n = len(points)

    def sdf(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(x - ax - t * vx, y - ay - t * vy))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / (by - ay):
                inside = not inside
        return -best if inside else best
    return sdf


def rotated(sdf, cx, cy, degrees):
    """The shape `sdf` (drawn around cx, cy) turned clockwise by `degrees` on screen."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def turned(x, y):
        dx, dy = x - cx, y - cy
        return sdf(cx + dx * c + dy * s, cy - dx * s + dy * c)
    return turned


def union(*sdfs):
    return lambda x, y: min(f(x, y) for f in sdfs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grown(sdf, amount):
    return lambda x, y: sdf(x, y) - amount


# ---- layers -----------------------------------------------------------------------------------

class Layer:
    """A filled shape; `paint` gives the colour at a design point (solid or a gradient)."""

    def __init__(self, sdf, paint):
        self.sdf = sdf
        self.paint = paint if callable(paint) else (lambda x, y, c=paint: c)


def vertical_gradient(y0, y1, top, bottom):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (1.0,)
    return paint


def outlined(sdf, paint, width_px, scale, outline=OUTLINE):
    """The shape with an outline of at least one pixel around it, in design units."""
    width = max(width_px, 1.0) / scale
    return [Layer(grown(sdf, width), outline), Layer(sdf, paint)]


# ---- the token and the badges -----------------------------------------------------------------

def token_layers(scale):
    body = rounded_box(12, 15, 30, 45, 4.5)
    plug = rounded_box(15, 3, 27, 18, 1.2)
    layers = outlined(plug, PLUG, 1.0, scale)
    layers.append(Layer(rounded_box(15, 12, 27, 18, 0.5), PLUG_SHADE))
    if scale * DESIGN >= 24:
        layers.append(Layer(rounded_box(17.5, 6.5, 20.0, 9.5, 0.3), PLUG_HOLE))
        layers.append(Layer(rounded_box(22.0, 6.5, 24.5, 9.5, 0.3), PLUG_HOLE))
    layers += outlined(body, vertical_gradient(15, 45, BODY_TOP, BODY_BOTTOM), 1.0, scale)
    # A soft shine down the left side of the body.
    layers.append(Layer(rounded_box(14.5, 17.5, 17.5, 42.5, 1.5), BODY_SHINE))
    led_r = 2.0 if scale * DESIGN >= 24 else 2.4
    layers.append(Layer(circle(21, 21.5, led_r + 0.9), (20, 60, 34, 0.9)))
    layers.append(Layer(circle(21, 21.5, led_r), LED))
    return layers


def info_badge(scale):
    disc = circle(35, 35, 12)
    layers = outlined(disc, WHITE, 1.0, scale)
    layers.append(Layer(circle(35, 35, 10.2), (18, 104, 200, 1.0)))
    layers.append(Layer(circle(35, 29, 2.1), WHITE))
    layers.append(Layer(rounded_box(33, 32.5, 37, 42, 1.0), WHITE))
    return layers


def key_badge(scale):
    gold = (244, 192, 44, 1.0)
    brown = (104, 66, 6, 1.0)
    # Drawn along +x from the bow at (27, 31), then turned 45 degrees to point down-right.
    ox, oy = 27.0, 31.0
    bow = subtract(circle(ox, oy, 6.5), circle(ox, oy, 2.4))
    shaft = rounded_box(ox + 4, oy - 1.9, ox + 19, oy + 1.9, 0.8)
    tooth1 = rounded_box(ox + 12, oy, ox + 14.6, oy + 5.2, 0.5)
    tooth2 = rounded_box(ox + 16.2, oy, ox + 19, oy + 5.2, 0.5)
    key = rotated(union(bow, shaft, tooth1, tooth2), ox, oy, 45)
    layers = outlined(key, gold, 1.0, scale, brown)
    # A highlight on the bow.
    shine = subtract(circle(ox - 1.2, oy - 1.2, 4.2), circle(ox, oy, 3.3))
    layers.append(Layer(lambda x, y: max(shine(x, y), key(x, y) + 1.0), (255, 236, 150, 0.85)))
    return layers


def eraser_badge(scale):
    cx, cy, angle = 34.0, 35.0, -35
    body = rotated(rounded_box(cx - 12, cy - 6, cx + 12, cy + 6, 2.2), cx, cy, angle)
    sleeve = rotated(rounded_box(cx - 1, cy - 6, cx + 12, cy + 6, 2.2), cx, cy, angle)
    sleeve_cut = rotated(rounded_box(cx - 1, cy - 7, cx + 3.5, cy + 7, 0), cx, cy, angle)
    layers = outlined(body, (238, 96, 122, 1.0), 1.0, scale, (92, 20, 36, 0.95))
    layers.append(Layer(sleeve, (70, 130, 220, 1.0)))
    if scale * DESIGN >= 24:
        layers.append(Layer(lambda x, y: max(sleeve_cut(x, y), body(x, y) + 0.0),
                            (232, 238, 248, 1.0)))
    return layers


def refresh_badge(scale):
    """Two arrows chasing each other round a white disc: the tool re-initialises tokens."""
    cx, cy = 35.0, 35.0
    disc = circle(cx, cy, 12)
    layers = outlined(disc, WHITE, 1.0, scale)
    orange = (236, 120, 20, 1.0)
    ring = lambda x, y: abs(math.hypot(x - cx, y - cy) - 6.6) - 1.8

    def arc(start, end):
        def inside_angle(x, y):
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return (a - start) % 360 <= (end - start) % 360
        return lambda x, y: ring(x, y) if inside_angle(x, y) else 99.0

    def head(angle):
        # An arrowhead at the clockwise end of an arc, pointing along the turn.
        a = math.radians(angle)
        px, py = cx + 6.6 * math.cos(a), cy + 6.6 * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)  # clockwise tangent on screen
        nx, ny = math.cos(a), math.sin(a)
        return polygon([(px + 4.2 * nx - 0.6 * tx, py + 4.2 * ny - 0.6 * ty),
                        (px - 4.2 * nx - 0.6 * tx, py - 4.2 * ny - 0.6 * ty),
                        (px + 4.6 * tx, py + 4.6 * ty)])

    arrows = union(arc(200, 330), head(330), arc(20, 150), head(150))
    layers.append(Layer(arrows, orange))
    return layers


def station_badge(scale):
    """A panel of four ports, three done and one at work: every token on the hub at once."""
    panel = rounded_box(23, 23, 47, 47, 3.0)
    layers = outlined(panel, WHITE, 1.0, scale)
    done = (58, 160, 92, 1.0)
    busy = (236, 120, 20, 1.0)
    cells = ((25.5, 25.5, done), (36, 25.5, done), (25.5, 36, busy), (36, 36, done))
    for x, y, colour in cells:
        layers.append(Layer(rounded_box(x, y, x + 9, y + 9, 1.6), colour))
    return layers


ICONS = {
    "app.ico": refresh_badge,
    "wipe.ico": eraser_badge,
    "pki.ico": key_badge,
    "info.ico": info_badge,
    "station.ico": station_badge,
}


# ---- rendering --------------------------------------------------------------------------------

def render(badge, size):
    """BGRA rows, top row first, of the token with its badge at `size` pixels."""
    scale = size / DESIGN
    layers = token_layers(scale) + badge(scale)
    rows = []
    n = SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc_r = acc_g = acc_b = acc_a = 0.0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / scale
                    y = (py + (sy + 0.5) / n) / scale
                    r = g = b = a = 0.0  # premultiplied
                    for layer in layers:
                        if layer.sdf(x, y) <= 0.0:
                            lr, lg, lb, la = layer.paint(x, y)
                            r = lr * la + r * (1 - la)
                            g = lg * la + g * (1 - la)
                            b = lb * la + b * (1 - la)
                            a = la + a * (1 - la)
                    acc_r += r
                    acc_g += g
                    acc_b += b
                    acc_a += a
            count = n * n
            alpha = acc_a / count
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            # Stored straight (not premultiplied), as icon images are.
            row.append((round(acc_b / count / alpha), round(acc_g / count / alpha),
                        round(acc_r / count / alpha), round(alpha * 255)))
        rows.append(row)
    return rows


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, 32-bit colour bottom-up, then the AND mask."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         size * size * 4 + size * mask_stride, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (b, g, r, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_icon(path, badge):
    images = [icon_image(render(badge, size)) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


def write_separator(path, width=434):
    """A line that fades from the bar's slate blue into the dialog face colour."""
    start, end = (135, 143, 162), (236, 236, 236)
    row = bytearray()
    for x in range(width):
        t = x / (width - 1)
        t = t * t  # keep the colour longer at the left, where the heading starts
        r, g, b = (round(s + (e - s) * t) for s, e in zip(start, end))
        row += bytes((b, g, r))
    row += bytes((-len(row)) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, width, 1, 1, 24, 0, len(row), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(row), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + row)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    for name, badge in ICONS.items():
        write_icon(os.path.join(out, name), badge)
    write_separator(os.path.join(out, "separator.bmp"))


if __name__ == "__main__":
    main()
