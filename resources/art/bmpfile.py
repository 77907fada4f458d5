"""8-bit palette BMP files and PNG contact sheets from RGB canvases.

The palette is chosen per picture: the most frequent colours (the flat
areas that glyph pictures must match exactly) are kept exactly, the rest
of the colours (anti-aliased edges, gradients) are grouped by median cut.
Everything is ordered explicitly, so the same canvas always gives the same
bytes.
"""

import struct
import zlib
from collections import Counter

PALETTE_SIZE = 256
EXACT_COLORS = 128


def _channels(c):
    return ((c >> 16) & 255, (c >> 8) & 255, c & 255)


def _median_cut(weighted, boxes_wanted):
    """weighted: list of (colour, count). Returns a list of boxes (lists)."""
    boxes = [sorted(weighted)]
    while len(boxes) < boxes_wanted:
        best, best_score, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                values = [_channels(c)[axis] for c, _ in box]
                spread = max(values) - min(values)
                score = spread * sum(n for _, n in box)
                if score > best_score:
                    best, best_score, best_axis = i, score, axis
        if best is None:
            break
        box = sorted(boxes[best], key=lambda cn: (_channels(cn[0])[best_axis], cn[0]))
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for k, (_, n) in enumerate(box[:-1]):
            acc += n
            cut = k + 1
            if acc * 2 >= total:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    return boxes


def _mean(box):
    total = sum(n for _, n in box)
    sums = [0, 0, 0]
    for c, n in box:
        for axis, v in enumerate(_channels(c)):
            sums[axis] += v * n
    r, g, b = ((s + total // 2) // total for s in sums)
    return (r << 16) | (g << 8) | b


def palettize(pixels, keep=()):
    """Returns (palette of 0xRRGGBB, index bytes) for a list of colours.
    The colours in keep are in the palette even when no pixel uses them."""
    counts = Counter(pixels)
    ordered = sorted(counts.items(), key=lambda cn: (-cn[1], cn[0]))
    missing = [c for c in keep if c not in counts]
    if len(ordered) + len(missing) <= PALETTE_SIZE:
        palette = [c for c, _ in ordered] + missing
        lookup = {c: i for i, c in enumerate(palette)}
    elif missing:
        raise ValueError('no room in the palette for the colours to keep')
    else:
        exact = [c for c, _ in ordered[:EXACT_COLORS]]
        lookup = {c: i for i, c in enumerate(exact)}
        palette = list(exact)
        for box in _median_cut(ordered[EXACT_COLORS:], PALETTE_SIZE - EXACT_COLORS):
            index = len(palette)
            palette.append(_mean(box))
            for c, _ in box:
                lookup[c] = index
    return palette, bytes(map(lookup.__getitem__, pixels))


def rle8_row(row):
    """One row in BI_RLE8: runs of three or more as (count, index), what
    lies between as absolute runs (three or more bytes, word-aligned) or
    single (1, index) pairs, then the end-of-line escape."""
    out = bytearray()
    literal = bytearray()

    def flush():
        while literal:
            chunk = literal[:255]
            del literal[:255]
            if len(chunk) < 3:
                for b in chunk:
                    out.extend((1, b))
            else:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) & 1:
                    out.append(0)

    i, n = 0, len(row)
    while i < n:
        j = i + 1
        while j < n and j - i < 255 and row[j] == row[i]:
            j += 1
        if j - i >= 3:
            flush()
            out.extend((j - i, row[i]))
        else:
            literal.extend(row[i:j])
        i = j
    flush()
    out.extend((0, 0))
    return out


def bmp8_bytes(width, height, pixels, keep=(), compress=False):
    """An 8-bit BMP (BITMAPINFOHEADER, 256-entry palette); run-length coded
    (BI_RLE8) when asked and smaller, otherwise uncompressed."""
    palette, indices = palettize(pixels, keep)
    palette = palette + [0] * (PALETTE_SIZE - len(palette))
    stride = (width + 3) & ~3
    pad = bytes(stride - width)
    rows = [indices[y * width:(y + 1) * width] for y in range(height - 1, -1, -1)]  # bottom-up
    image = b''.join(row + pad for row in rows)
    compression = 0
    if compress:
        coded = b''.join(bytes(rle8_row(row)) for row in rows)
        coded = coded[:-2] + bytes((0, 1))  # the last end of line ends the bitmap
        if len(coded) < len(image):
            image, compression = coded, 1
    offset = 14 + 40 + 4 * PALETTE_SIZE
    out = bytearray()
    out += struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    out += struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, compression, len(image),
                       2835, 2835, PALETTE_SIZE, 0)
    for c in palette:
        r, g, b = _channels(c)
        out += bytes((b, g, r, 0))
    out += image
    return bytes(out)


def png_bytes(width, height, pixels):
    """An RGB PNG, for looking at the pictures."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for c in pixels[y * width:(y + 1) * width]:
            raw += bytes(_channels(c))

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))
