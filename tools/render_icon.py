#!/usr/bin/env python3
"""Renders the program icon from its editable source (res/icon/lumaroth-icon.json)
into res/lumaroth.ico: one 32-bit image per size, the large ones as PNG.

Shapes are drawn analytically: each pixel's coverage comes from its signed
distance to the shape, which anti-aliases edges at every size without
supersampling. Standard library only, so anyone can re-render the icon.

    tools/render_icon.py [--source SOURCE.json] [--output OUTPUT.ico] [--preview DIR]
"""
import argparse
import json
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def parse_color(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def length(x, y):
    return math.hypot(x, y)


def sd_roundrect(px, py, layer):
    hw, hh = layer["w"] / 2, layer["h"] / 2
    r = layer["r"]
    qx = abs(px - (layer["x"] + hw)) - (hw - r)
    qy = abs(py - (layer["y"] + hh)) - (hh - r)
    return length(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r


def sd_circle(px, py, layer):
    return length(px - layer["cx"], py - layer["cy"]) - layer["r"]


def sd_ellipse(px, py, layer):
    # First-order distance estimate: the implicit value over its gradient.
    x, y = px - layer["cx"], py - layer["cy"]
    rx, ry = layer["rx"], layer["ry"]
    k0 = length(x / rx, y / ry)
    k1 = length(x / (rx * rx), y / (ry * ry))
    if k1 == 0.0:
        return -min(rx, ry)
    return k0 * (k0 - 1.0) / k1


def sd_line(px, py, layer):
    ax, ay, bx, by = layer["x1"], layer["y1"], layer["x2"], layer["y2"]
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return length(px - ax - t * dx, py - ay - t * dy)


def sd_polygon(px, py, layer):
    points = layer["points"]
    best = float("inf")
    inside = False
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        dx, dy = bx - ax, by - ay
        t = min(max(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0), 1.0)
        best = min(best, length(px - ax - t * dx, py - ay - t * dy))
        if (ay > py) != (by > py) and px < ax + (py - ay) * dx / dy:
            inside = not inside
    return -best if inside else best


SHAPES = {
    "roundrect": sd_roundrect,
    "circle": sd_circle,
    "ellipse": sd_ellipse,
    "line": sd_line,
    "polygon": sd_polygon,
}


def layer_distance_px(layer, px, py, size):
    """Signed distance in pixels from the pixel centre to the layer's ink."""
    d = SHAPES[layer["shape"]](px, py, layer) * size
    if "stroke" in layer or layer["shape"] == "line":
        width = max(layer.get("stroke", 0.0) * size, layer.get("min_px", 0.0))
        d = abs(d) - width / 2
    clip = layer.get("clip_circle")
    if clip:
        d = max(d, (length(px - clip[0], py - clip[1]) - clip[2]) * size)
    return d


def layer_color(layer, py):
    gradient = layer.get("gradient")
    if gradient:
        top, bottom = parse_color(gradient["top"]), parse_color(gradient["bottom"])
        t = min(max((py - layer["y"]) / layer["h"], 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return parse_color(layer["color"])


def render(source, size):
    """Rows of straight-alpha (r, g, b, a) floats, top row first."""
    layers = [l for l in source["layers"]
              if l.get("min_size", 0) <= size <= l.get("max_size", 1 << 30)]
    rows = []
    for j in range(size):
        py = (j + 0.5) / size
        row = []
        for i in range(size):
            px = (i + 0.5) / size
            # Premultiplied "over" compositing, back to front.
            r = g = b = a = 0.0
            for layer in layers:
                coverage = min(max(0.5 - layer_distance_px(layer, px, py, size), 0.0), 1.0)
                coverage *= layer.get("opacity", 1.0)
                if coverage <= 0.0:
                    continue
                cr, cg, cb = layer_color(layer, py)
                r = cr * coverage + r * (1 - coverage)
                g = cg * coverage + g * (1 - coverage)
                b = cb * coverage + b * (1 - coverage)
                a = coverage + a * (1 - coverage)
            if a > 0:
                row.append((r / a, g / a, b / a, a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def to_byte(value):
    return max(0, min(255, int(round(value * 255))))


def png_bytes(rows):
    size_y, size_x = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((to_byte(r), to_byte(g), to_byte(b), to_byte(a)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size_x, size_y, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def dib_bytes(rows):
    """A 32-bit BGRA DIB as icons store it: double height, bottom-up, plus an
    all-zero AND mask (the alpha channel decides transparency)."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((to_byte(b), to_byte(g), to_byte(r), to_byte(a)))
    mask_stride = ((size + 31) // 32) * 4
    return header + bytes(pixels) + bytes(mask_stride * size)


def ico_bytes(images):
    """images: list of (size, data) in directory order."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main(argv):
    parser = argparse.ArgumentParser(description="Render the program icon.")
    parser.add_argument("--source", default=os.path.join(ROOT, "res", "icon", "lumaroth-icon.json"))
    parser.add_argument("--output", default=os.path.join(ROOT, "res", "lumaroth.ico"))
    parser.add_argument("--preview", help="also write one PNG per size into this folder")
    args = parser.parse_args(argv)
    preview, output_path = args.preview, args.output
    with open(args.source, encoding="utf-8") as f:
        source = json.load(f)
    images = []
    for size in source["sizes"]:
        rows = render(source, size)
        data = png_bytes(rows) if size in source.get("png_sizes", []) else dib_bytes(rows)
        images.append((size, data))
        if preview:
            os.makedirs(preview, exist_ok=True)
            with open(os.path.join(preview, "icon-%d.png" % size), "wb") as f:
                f.write(png_bytes(rows))
    with open(output_path, "wb") as f:
        f.write(ico_bytes(images))
    print("wrote %s (%d images)" % (output_path, len(images)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
