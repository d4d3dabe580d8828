#!/usr/bin/env python3
"""Draws the program icon resources/dockmark.ico: a blue tile with a white jetty (a deck on
three posts) over a wave, at 16, 32 and 48 pixels, as 32-bit images with alpha."""
import math
import pathlib
import struct

SIZES = (16, 32, 48)


def coverage(inside, x, y, samples=4):
    """The share of pixel (x, y) that `inside` covers, from samples x samples points."""
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def tile(u, v):
    """A rounded square over the whole unit cell."""
    r = 0.2
    dx = max(r - u, 0, u - (1 - r))
    dy = max(r - v, 0, v - (1 - r))
    return dx * dx + dy * dy <= r * r


def jetty(u, v):
    deck = 0.22 <= u <= 0.78 and 0.36 <= v <= 0.46
    posts = any(abs(u - p) <= 0.045 for p in (0.3, 0.5, 0.7)) and 0.46 <= v <= 0.66
    wave_y = 0.72 + 0.04 * math.sin(u * 4 * math.pi)
    wave = 0.16 <= u <= 0.84 and abs(v - wave_y) <= 0.035
    return deck or posts or wave


def pixel(size, x, y):
    """Straight BGRA of pixel (x, y), y counted from the top."""
    to_unit = lambda px, py: (px / size, py / size)
    a_tile = coverage(lambda px, py: tile(*to_unit(px, py)), x, y)
    a_mark = coverage(lambda px, py: jetty(*to_unit(px, py)), x, y)
    if a_tile == 0:
        return (0, 0, 0, 0)
    t = y / size  # a light-to-dark blue from top to bottom
    blue = (int(200 - 60 * t), int(120 - 50 * t), int(30 - 10 * t))  # B, G, R
    mixed = tuple(int(c + (255 - c) * a_mark) for c in blue)
    return (*mixed, int(255 * a_tile))


def image(size):
    rows = []
    for y in reversed(range(size)):  # BMP rows run bottom-up
        rows.append(b"".join(struct.pack("4B", *pixel(size, x, y)) for x in range(size)))
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + bytes(mask_row * size)


def ico():
    images = [image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "dockmark.ico"
    target.write_bytes(ico())
    print(f"wrote {target}")
