"""Unit tests of the rasteriser and the palette/BMP writer of the generator."""

import math
import os
import struct
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))

import bmpfile  # noqa: E402
import raster  # noqa: E402


def channel_error(a, b):
    return max(abs(((a >> s) & 255) - ((b >> s) & 255)) for s in (16, 8, 0))


class PaletteTest(unittest.TestCase):
    def test_few_colours_are_kept_exactly(self):
        pixels = [0x102030, 0xFFFFFF, 0x102030, 0x0000FF] * 10
        palette, index = bmpfile.palettize(pixels)
        self.assertEqual([palette[i] for i in index], pixels)

    def test_many_colours_keep_the_frequent_ones_and_stay_close(self):
        # 64 flat colours covering most of the picture, plus a smooth ramp of
        # 2000 rarer colours that must share the remaining entries.
        flat = [(k * 37 % 256) << 16 | (k * 91 % 256) << 8 | (k * 13 % 256) for k in range(64)]
        pixels = [c for c in flat for _ in range(50)]
        ramp = [(i % 256) << 16 | (i // 8 % 256) << 8 | 0x40 for i in range(2000)]
        pixels += ramp
        palette, index = bmpfile.palettize(pixels)
        self.assertLessEqual(len(palette), bmpfile.PALETTE_SIZE)
        self.assertEqual(len(index), len(pixels))
        mapped = [palette[i] for i in index]
        self.assertEqual(mapped[:64 * 50], pixels[:64 * 50])
        worst = max(channel_error(a, b) for a, b in zip(mapped[64 * 50:], ramp))
        self.assertLess(worst, 40)

    def test_kept_colour_is_in_the_palette_once_even_when_unused(self):
        palette, _ = bmpfile.palettize([0xF1BF00] * 10 + [0xAA151B] * 5, keep=(0xFFFFFF,))
        self.assertEqual(palette.count(0xFFFFFF), 1)
        palette, _ = bmpfile.palettize([0xFFFFFF, 0x000000], keep=(0xFFFFFF,))
        self.assertEqual(palette.count(0xFFFFFF), 1)

    def test_same_pixels_give_the_same_bytes(self):
        pixels = [(i * 7919) % 0x1000000 for i in range(5000)]
        self.assertEqual(bmpfile.bmp8_bytes(100, 50, pixels), bmpfile.bmp8_bytes(100, 50, list(pixels)))


class BmpTest(unittest.TestCase):
    def test_run_length_coding_only_where_it_is_smaller(self):
        w, h = 40, 10
        flat = [0x123456] * (w * h)
        coded = bmpfile.bmp8_bytes(w, h, flat, compress=True)
        compression, size = struct.unpack_from('<II', coded, 30)
        self.assertEqual(compression, 1)
        self.assertEqual(coded[-size:], bytes((40, 0, 0, 0) * 9 + (40, 0, 0, 1)))
        self.assertEqual(struct.unpack_from('<I', coded, 2)[0], len(coded))
        noisy = [(i * 7919) % 256 for i in range(w * h)]  # no two neighbours alike
        self.assertEqual(bmpfile.bmp8_bytes(w, h, noisy, compress=True),
                         bmpfile.bmp8_bytes(w, h, noisy))

    def test_rows_are_bottom_up_and_padded_to_four_bytes(self):
        w, h = 5, 2
        pixels = [0xFF0000] * 5 + [0x00FF00] * 5      # top row red, bottom row green
        data = bmpfile.bmp8_bytes(w, h, pixels)
        offset, = struct.unpack_from('<I', data, 10)
        header, width, height, planes, bits, compression, size = struct.unpack_from('<IiiHHII', data, 14)
        self.assertEqual((header, width, height, planes, bits, compression), (40, 5, 2, 1, 8, 0))
        self.assertEqual(size, 8 * 2)
        self.assertEqual(len(data), offset + 16)
        self.assertEqual(struct.unpack_from('<I', data, 2)[0], len(data))

        def colour(i):
            b, g, r, _ = data[54 + 4 * i:58 + 4 * i]
            return (r << 16) | (g << 8) | b
        first_row = data[offset:offset + 8]           # stored first: the bottom row
        self.assertEqual(colour(first_row[0]), 0x00FF00)
        self.assertEqual(first_row[5:], bytes(3))
        self.assertEqual(colour(data[offset + 8]), 0xFF0000)


class RasterTest(unittest.TestCase):
    def test_pixel_aligned_rectangle_has_hard_edges(self):
        c = raster.Canvas(10, 10, 0x000000)
        c.fill(raster.rect_path(2, 3, 7, 8), 0xFFFFFF)
        for y in range(10):
            for x in range(10):
                inside = 2 <= x < 7 and 3 <= y < 8
                self.assertEqual(c.get(x, y), 0xFFFFFF if inside else 0, (x, y))

    def test_half_covered_pixels_are_blended_halfway(self):
        c = raster.Canvas(10, 4, 0x000000)
        c.fill(raster.rect_path(2.5, 0, 6.5, 4), 0xFFFFFF)
        self.assertEqual(c.get(2, 1), 0x808080)
        self.assertEqual(c.get(6, 1), 0x808080)
        self.assertEqual(c.get(4, 1), 0xFFFFFF)
        self.assertEqual(c.get(1, 1), 0x000000)

    def test_circle_covers_its_area(self):
        c = raster.Canvas(40, 40, 0x000000)
        c.circle(20, 20, 12.3, 0xFF0000)
        covered = sum(((p >> 16) & 255) / 255.0 for p in c.px)
        self.assertAlmostEqual(covered, math.pi * 12.3 ** 2, delta=6)

    def test_overlapping_pieces_of_a_stroke_do_not_cancel(self):
        c = raster.Canvas(20, 20, 0x000000)
        # A bent stroke: both segments and the round joint overlap at the bend.
        c.fill(raster.polyline_path([(2, 10), (10, 10), (10, 2)], 4), 0xFFFFFF)
        for x, y in ((9, 9), (9, 10), (10, 9), (5, 10), (10, 5)):
            self.assertEqual(c.get(x, y), 0xFFFFFF, (x, y))

    def test_ring_leaves_its_hole_empty(self):
        c = raster.Canvas(30, 30, 0x000000)
        c.fill(raster.ring_path(15, 15, 12, 6), 0xFFFFFF)
        self.assertEqual(c.get(15, 15), 0x000000)
        self.assertEqual(c.get(15, 15 - 9), 0xFFFFFF)

    def test_recorded_drawing_replays_in_order_and_lists_its_captions(self):
        d = raster.Drawing(8, 8, 0x000000)
        d.rect(0, 0, 8, 8, 0x112233)
        d.rect(2, 2, 4, 4, 0x445566)
        d.text(1, 1, 'Ação', 12, 0xFFFFFF, font='bold')
        self.assertEqual(list(d.texts()), [('bold', 12, 'Ação')])

        class NoFonts:
            def mask(self, font, size, text):
                return (1, 1, b'\x00')
        c = d.render(NoFonts())
        self.assertEqual(c.get(0, 0), 0x112233)
        self.assertEqual(c.get(3, 3), 0x445566)

    def test_unknown_operation_is_refused(self):
        d = raster.Drawing(4, 4, 0)
        with self.assertRaises(AttributeError):
            d.paint_everything(1)


if __name__ == '__main__':
    unittest.main()
