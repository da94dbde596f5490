#!/usr/bin/env python3
"""Draws the power display's icons (skin/power/*.png): battery states and the charged phone.
Run from the repository root; the PNGs are committed, so this only runs when they change."""
import struct
import zlib

SIZE = 24


def canvas():
    return [[(0, 0, 0, 0) for _ in range(SIZE)] for _ in range(SIZE)]


def rect(img, x0, y0, x1, y1, colour, fill=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                img[y][x] = colour


def line(img, points, colour):
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        steps = max(abs(xb - xa), abs(yb - ya), 1)
        for i in range(steps + 1):
            x = round(xa + (xb - xa) * i / steps)
            y = round(ya + (yb - ya) * i / steps)
            for dx in (0, 1):
                if 0 <= x + dx < SIZE:
                    img[y][x + dx] = colour


def save(img, name):
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in img)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open("skin/power/" + name, "wb") as out:
        out.write(png)


GREY, GREEN, CYAN, WHITE, ORANGE = (170, 179, 192, 255), (46, 204, 113, 255), (0, 195, 245, 255), (242, 245, 249, 255), (255, 180, 84, 255)


def battery(level, colour):
    img = canvas()
    rect(img, 2, 6, 19, 17, GREY, fill=False)
    rect(img, 20, 9, 21, 14, GREY)
    if level:
        rect(img, 4, 8, 4 + max(0, round(13 * level)) , 15, colour)
    return img


save(battery(0.45, GREY), "powered.png")
img = battery(0.45, GREEN)
line(img, [(12, 7), (9, 12), (13, 12), (10, 17)], WHITE)
save(img, "powering.png")
img = battery(0.45, CYAN)
for r, y in ((3, 3), (5, 1)):
    line(img, [(11 - r, y + 2), (11, y), (11 + r, y + 2)], CYAN)
save(img, "wuxian_powering.png")
save(battery(1.0, GREEN), "power.png")


def phone(mark):
    img = canvas()
    rect(img, 7, 2, 16, 21, GREY, fill=False)
    rect(img, 9, 5, 14, 17, (31, 53, 64, 255))
    rect(img, 11, 19, 12, 19, GREY)
    if mark == "notch":
        rect(img, 10, 3, 13, 4, GREY)
    elif mark == "dot":
        rect(img, 11, 3, 12, 3, CYAN)
    elif mark == "none":
        line(img, [(4, 4), (19, 19)], ORANGE)
    return img


save(phone("notch"), "Phone_type_iphone.png")
save(phone("dot"), "Phone_type_samsung.png")
save(phone("plain"), "Phone_type_other.png")
save(phone("none"), "Phone_type_no_device.png")
