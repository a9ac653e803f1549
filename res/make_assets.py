#!/usr/bin/env python3
"""Writes the bridge's 16-colour bitmaps and icons (run from anywhere).

The pictures are simple enough to draw in code, which keeps them exact:
the light colours are entries of the standard 16-colour palette. Each icon
holds its 16-colour images and, from the same drawing, 32-bit images at the
sizes Windows asks for at 100 % to 200 % (title bar 16-32, Alt+Tab and the
About box 32-64). Those are PNG-compressed, as Windows reads them since
Vista: a few hundred bytes each, where plain 32-bit images of six sizes
would cost 26 KB per icon.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, GREY, WHITE, GREEN, DARK_GREY = 0, 2, 7, 15, 10, 8


def rows_4bpp(pixels, width):
    """Bottom-up rows of 4-bit pixels, each padded to 4 bytes."""
    out = b""
    for row in reversed(pixels):
        data = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            data.append((hi << 4) | lo)
        while len(data) % 4:
            data.append(0)
        out += bytes(data)
    return out


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def write_bmp(name, pixels):
    width, height = len(pixels[0]), len(pixels)
    image = rows_4bpp(pixels, width)
    header = info_header(width, height, len(image)) + palette_bytes()
    offset = 14 + len(header)
    with open(os.path.join(HERE, "bitmaps", name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset))
        f.write(header + image)


def icon_image(pixels, transparent):
    """One icon entry: colour bitmap plus AND mask (1 = transparent)."""
    size = len(pixels)
    xor = rows_4bpp(pixels, size)
    mask = b""
    for row, mrow in zip(reversed(pixels), reversed(transparent)):
        bits = bytearray((size + 31) // 32 * 4)
        for x, t in enumerate(mrow):
            if t:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return info_header(size, size * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask


def png_image(pixels, transparent):
    """One icon entry in 32-bit colour: an RGBA PNG of the same pixels."""
    size = len(pixels)
    raw = b""
    for row, mrow in zip(pixels, transparent):
        raw += b"\0" + b"".join(bytes(PALETTE[p]) + (b"\0" if t else b"\xff")
                                for p, t in zip(row, mrow))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(name, images):
    """images: (size, colour count, bits per pixel, blob); 0 colours means more than 256."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, colours, bits, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob),
                               offset + len(blobs))
        blobs += blob
    with open(os.path.join(HERE, "icons", name), "wb") as f:
        f.write(header + entries + blobs)


def light(colour):
    """17 x 17: a coloured square inside a one-pixel black border."""
    n = 17
    return [[BLACK if x in (0, n - 1) or y in (0, n - 1) else colour for x in range(n)]
            for y in range(n)]


# 5 x 7 letters for the badge.
GLYPHS = {
    "P": ["1110", "1001", "1001", "1110", "1000", "1000", "1000"],
    "B": ["1110", "1001", "1001", "1110", "1001", "1001", "1110"],
}


def badge():
    """33 x 21: green frame and "PB" on black, with a little wave."""
    w, h = 33, 21
    px = [[BLACK] * w for _ in range(h)]
    for x in range(w):
        px[0][x] = px[h - 1][x] = GREEN
    for y in range(h):
        px[y][0] = px[y][w - 1] = GREEN
    for i, letter in enumerate("PB"):
        for y, row in enumerate(GLYPHS[letter]):
            for x, bit in enumerate(row):
                if bit == "1":
                    px[3 + y][4 + i * 6 + x] = GREEN
    # a small sine-like wave to the right: the radio link. It stops three
    # pixels short of the frame, as the letters start three pixels inside it.
    wave = [2, 1, 0, 0, 1, 2, 3, 4, 4, 3, 2, 1, 0]
    for i, dy in enumerate(wave):
        px[4 + dy][16 + i] = GREEN
    for x in range(3, w - 3):
        px[13][x] = DARK_GREEN
    for x in range(4, w - 4, 3):
        px[16][x] = GREEN
    return px


def app_icon(size, document=False):
    """A green light with a wave on a grey tile; the document icon on white."""
    s = size
    px = [[GREY if not document else WHITE] * s for _ in range(s)]
    transparent = [[False] * s for _ in range(s)]
    for i in range(s):
        px[0][i] = px[s - 1][i] = px[i][0] = px[i][s - 1] = BLACK
    inner = s // 4
    for y in range(inner, s - inner):
        for x in range(inner, s - inner):
            px[y][x] = GREEN if not document else DARK_GREEN
    for i in range(inner, s - inner):
        px[inner][i] = px[s - inner - 1][i] = px[i][inner] = px[i][s - inner - 1] = BLACK
    return px, transparent


# 100, 125, 150 and 200 %: small icons 16, 20, 24, 32; large ones 32, 40, 48, 64.
TRUE_COLOUR_SIZES = (16, 20, 24, 32, 40, 48, 64)


def main():
    write_bmp("light_off.bmp", light(GREY))
    write_bmp("light_on.bmp", light(GREEN))
    write_bmp("badge.bmp", badge())
    for name, document in (("plovik_bridge.ico", False), ("plovik_document.ico", True)):
        write_ico(name, [(s, 16, 4, icon_image(*app_icon(s, document))) for s in (32, 16)] +
                  [(s, 0, 32, png_image(*app_icon(s, document))) for s in TRUE_COLOUR_SIZES])


if __name__ == "__main__":
    main()
