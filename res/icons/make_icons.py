#!/usr/bin/env python3
"""Writes the program's icon: vexademo.svg and the PNG sizes that desktops look for (NxN/vexademo.png).

The picture is the window icon's globe (cyan, blue meridian and equator) with a green satellite
sending towards it. Each shape is described once and both drawn into the SVG and rasterised here,
so the PNGs need no SVG renderer. Run it again after changing it: python3 res/icons/make_icons.py
"""
import math
import os
import struct
import zlib

CANVAS = 256
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SAMPLES = 4  # per pixel side, for smooth edges

BLUE = (0, 0, 255)
CYAN = (20, 210, 210)
GREEN = (20, 210, 20)
DARK_GREEN = (10, 140, 10)


def hex_colour(colour):
    return "#%02X%02X%02X" % colour


class Disk:
    def __init__(self, cx, cy, r, colour):
        self.cx, self.cy, self.r, self.colour = cx, cy, r, colour
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def covers(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r ** 2

    def svg(self):
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (self.cx, self.cy, self.r, hex_colour(self.colour))


class EllipseOutline:
    def __init__(self, cx, cy, rx, ry, width, colour):
        self.cx, self.cy, self.rx, self.ry, self.width, self.colour = cx, cy, rx, ry, width, colour
        half = width / 2
        self.box = (cx - rx - half, cy - ry - half, cx + rx + half, cy + ry + half)

    def covers(self, x, y):
        half = self.width / 2
        dx, dy = x - self.cx, y - self.cy
        outer = (dx / (self.rx + half)) ** 2 + (dy / (self.ry + half)) ** 2 <= 1
        inner = (dx / (self.rx - half)) ** 2 + (dy / (self.ry - half)) ** 2 < 1
        return outer and not inner

    def svg(self):
        return '<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="none" stroke="%s" stroke-width="%g"/>' % (
            self.cx, self.cy, self.rx, self.ry, hex_colour(self.colour), self.width)


class Line:
    """A straight stroke with round ends."""

    def __init__(self, x0, y0, x1, y1, width, colour):
        self.x0, self.y0, self.x1, self.y1, self.width, self.colour = x0, y0, x1, y1, width, colour
        half = width / 2
        self.box = (min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half, max(y0, y1) + half)

    def covers(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        t = max(0.0, min(1.0, ((x - self.x0) * dx + (y - self.y0) * dy) / (dx * dx + dy * dy)))
        px, py = self.x0 + t * dx, self.y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (self.width / 2) ** 2

    def svg(self):
        return ('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" stroke-linecap="round"/>' %
                (self.x0, self.y0, self.x1, self.y1, hex_colour(self.colour), self.width))


class Polygon:
    def __init__(self, points, colour):
        self.points, self.colour = [(round(px, 2), round(py, 2)) for px, py in points], colour
        xs, ys = [p[0] for p in self.points], [p[1] for p in self.points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def covers(self, x, y):
        inside = False
        count = len(self.points)
        for i in range(count):
            (ax, ay), (bx, by) = self.points[i], self.points[(i + 1) % count]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside

    def svg(self):
        return '<polygon points="%s" fill="%s"/>' % (
            " ".join("%g,%g" % p for p in self.points), hex_colour(self.colour))


class Arc:
    """A circular stroke from one angle to another (degrees, clockwise on screen), square ends."""

    def __init__(self, cx, cy, r, start, end, width, colour):
        self.cx, self.cy, self.r, self.start, self.end = cx, cy, r, start, end
        self.width, self.colour = width, colour
        reach = r + width / 2
        self.box = (cx - reach, cy - reach, cx + reach, cy + reach)

    def covers(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        if abs(math.hypot(dx, dy) - self.r) > self.width / 2:
            return False
        angle = math.degrees(math.atan2(dy, dx)) % 360
        return (angle - self.start) % 360 <= (self.end - self.start) % 360

    def point(self, angle):
        return (self.cx + self.r * math.cos(math.radians(angle)), self.cy + self.r * math.sin(math.radians(angle)))

    def svg(self):
        (x0, y0), (x1, y1) = self.point(self.start), self.point(self.end)
        return ('<path d="M %.2f %.2f A %g %g 0 0 1 %.2f %.2f" fill="none" stroke="%s" stroke-width="%g"/>' %
                (x0, y0, self.r, self.r, x1, y1, hex_colour(self.colour), self.width))


def rotated_rectangle(cx, cy, length, breadth, degrees, colour):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    corners = [(-length / 2, -breadth / 2), (length / 2, -breadth / 2), (length / 2, breadth / 2),
               (-length / 2, breadth / 2)]
    return Polygon([(cx + x * c - y * s, cy + x * s + y * c) for x, y in corners], colour)


def shapes():
    globe_x, globe_y, globe_r = 98, 158, 90
    sat_x, sat_y = 200, 56
    # The panels lie across the line from the satellite to the globe.
    towards_globe = math.degrees(math.atan2(globe_y - sat_y, globe_x - sat_x))
    across = towards_globe + 90
    panel_offset = 33
    ox, oy = panel_offset * math.cos(math.radians(across)), panel_offset * math.sin(math.radians(across))
    return [
        Disk(globe_x, globe_y, globe_r, CYAN),
        EllipseOutline(globe_x, globe_y, 38, globe_r - 5, 9, BLUE),
        Line(globe_x - globe_r + 5, globe_y, globe_x + globe_r - 5, globe_y, 9, BLUE),
        EllipseOutline(globe_x, globe_y, globe_r - 5, globe_r - 5, 10, BLUE),
        Arc(sat_x, sat_y, 32, towards_globe - 34, towards_globe + 34, 8, GREEN),
        Arc(sat_x, sat_y, 48, towards_globe - 28, towards_globe + 28, 8, GREEN),
        Line(sat_x - ox, sat_y - oy, sat_x + ox, sat_y + oy, 6, DARK_GREEN),
        rotated_rectangle(sat_x + ox, sat_y + oy, 28, 18, across, BLUE),
        rotated_rectangle(sat_x - ox, sat_y - oy, 28, 18, across, BLUE),
        Disk(sat_x, sat_y, 16, GREEN),
    ]


def write_svg(path, drawing):
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' %
             (CANVAS, CANVAS, CANVAS, CANVAS)]
    lines += ["  " + shape.svg() for shape in drawing]
    lines.append("</svg>")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def rasterise(drawing, size):
    scale = CANVAS / size
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied red, green, blue, alpha
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    for shape in drawing:
        left, top, right, bottom = (int(v / scale) for v in shape.box)
        for py in range(max(0, top), min(size, bottom + 2)):
            for px in range(max(0, left), min(size, right + 2)):
                hits = sum(shape.covers((px + ox) * scale, (py + oy) * scale) for oy in offsets for ox in offsets)
                if not hits:
                    continue
                coverage = hits / (SAMPLES * SAMPLES)
                pixel = pixels[py * size + px]
                for channel in range(3):
                    pixel[channel] = shape.colour[channel] / 255 * coverage + pixel[channel] * (1 - coverage)
                pixel[3] = coverage + pixel[3] * (1 - coverage)
    return pixels


def write_png(path, pixels, size):
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        for red, green, blue, alpha in pixels[y * size:(y + 1) * size]:
            straight = [round(channel / alpha * 255) if alpha else 0 for channel in (red, green, blue)]
            rows.extend(straight + [round(alpha * 255)])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        out.write(chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    drawing = shapes()
    write_svg(os.path.join(here, "vexademo.svg"), drawing)
    for size in SIZES:
        folder = os.path.join(here, "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "vexademo.png"), rasterise(drawing, size), size)


if __name__ == "__main__":
    main()
