"""The pictures of KOVA.exe, one function per family.

Every function returns a list of (file name, resource number, Drawing).
Resource numbers come from resource_ids.h and control places from
panel_layout.h, both read by the generator, so the templates, the code and
the pictures share one table.
"""

import math

from raster import (Drawing, Gradient, arc_band_path, arc_points, circle_path,
                    lerp_color, line_path, polyline_path, rect_path, ring_path,
                    round_rect_path)

# ------------------------------------------------------------------ palette

WHITE = 0xFFFFFF       # transparent colour of the button images
MASK_BG = 0xDCDCDC     # what button edges are smoothed against before masking
NAVY = 0x1F4E79
NAVY_DARK = 0x14304D
NAVY_DEEP = 0x0D2136
AMBER = 0xF2A900
INK = 0x1D2733
INK_SOFT = 0x55657A

BODY_TOP, BODY_BOTTOM = 0xEEF1F5, 0xDDE3EA
HEADER_TOP, HEADER_BOTTOM = 0xFFFFFF, 0xF1F4F8
CARD, CARD_BORDER, SHADOW = 0xFAFBFC, 0xC3CCD6, 0x8896A6
FOOTER_TOP, FOOTER_BOTTOM, FOOTER_LINE = 0xD6DDE5, 0xC8D0DA, 0xAEB9C6
WATERMARK = 0xE9EDF2

PANEL_DARK = 0x1A2029          # monitor panel body
CARD_DARK = 0x242D39           # instrument cards: under dots, scale, marker
CARD_DARK_BORDER = 0x3A4656
TRACK = 0x10151B
WINDOW = 0x0B1016              # readout windows: under every digit glyph
WINDOW_BORDER = 0x4A5768
LED_ON = 0x6CF58F
LED_OFF = 0x17271D
TEXT_LIGHT = 0xDCE3EA
TEXT_DIM = 0x8B9BAE
DOT_OFF = 0x3A4553
DOT_COLORS = ((16, 0x3DDC6E), (22, 0xFFC233), (28, 0xFF4B3E))  # dots below n
FORM = 0xE6EBF1                # light panel of the monitor (black labels)
WELL = 0xF7F9FB                # behind the actuator picture
STRIP_TOP, STRIP_BOTTOM = 0xD9DFE6, 0xC9D1DB
GAS = 0x6FA8E0
GAS_EMPTY = 0xDDE5EE

SEGMENTS = {  # a b c d e f g
    0: 'abcdef', 1: 'bc', 2: 'abdeg', 3: 'abcdg', 4: 'bcfg',
    5: 'acdfg', 6: 'acdefg', 7: 'abc', 8: 'abcdefg', 9: 'abcdfg',
}


# ------------------------------------------------------------------ layout

class Layout:
    """Dialog-unit places from panel_layout.h and their pixel positions."""

    def __init__(self, defines):
        self.d = defines
        self.bx = defines['ART_DLU_BASE_X']
        self.by = defines['ART_DLU_BASE_Y']

    def __getitem__(self, name):
        return self.d[name]

    def x(self, name_or_value):
        v = self.d[name_or_value] if isinstance(name_or_value, str) else name_or_value
        return (v * self.bx + 2) // 4      # MulDiv rounding, as the system maps

    def y(self, name_or_value):
        v = self.d[name_or_value] if isinstance(name_or_value, str) else name_or_value
        return (v * self.by + 4) // 8

    def arc(self, prefix):
        return [(self.x('%s_ARC_X%d' % (prefix, i)), self.y('%s_ARC_Y%d' % (prefix, i)))
                for i in range(28)]


# The monitor moves its bars and marker in pixels: a bar's zero is at
# y = 376 and its full scale 44.2 px per volt above; the marker's top is at
# 379 - 228 * steps / 240. The tracks and scales are drawn to match.
BAR_ZERO_Y = 376
BAR_PX_PER_VOLT = 44.2
MARKER_ZERO_TOP = 379
MARKER_TRAVEL = 228
MARKER_W, MARKER_H = 12, 15
SCALE_W, SCALE_H = 25, 240
BIG_W, BIG_H = 17, 27
SMALL_W, SMALL_H = 9, 14
POINT_W = 4
DOT = 9
FRAME_W, FRAME_H = 46, 69


def _name(ids, define, suffix=''):
    return define[4:].lower() + suffix + '.bmp'


# ------------------------------------------------------------------ helpers

def _hexagon_h(x0, x1, yc, t):
    h = t / 2.0
    return [[(x0, yc), (x0 + h, yc - h), (x1 - h, yc - h), (x1, yc), (x1 - h, yc + h),
             (x0 + h, yc + h)]]


def _hexagon_v(xc, y0, y1, t):
    h = t / 2.0
    return [[(xc, y0), (xc + h, y0 + h), (xc + h, y1 - h), (xc, y1), (xc - h, y1 - h),
             (xc - h, y0 + h)]]


def seven_segments(d, x, y, w, h, t, lit, on=LED_ON, off=LED_OFF):
    """Draws an LED digit in the box; lit is the set of segments lit."""
    g = t * 0.3
    xl, xr = x + t / 2.0, x + w - t / 2.0
    yt, ym, yb = y + t / 2.0, y + h / 2.0, y + h - t / 2.0
    shapes = {
        'a': _hexagon_h(xl + g, xr - g, yt, t), 'g': _hexagon_h(xl + g, xr - g, ym, t),
        'd': _hexagon_h(xl + g, xr - g, yb, t),
        'f': _hexagon_v(xl, yt + g, ym - g, t), 'b': _hexagon_v(xr, yt + g, ym - g, t),
        'e': _hexagon_v(xl, ym + g, yb - g, t), 'c': _hexagon_v(xr, ym + g, yb - g, t),
    }
    for seg in 'abcdefg':
        d.fill(shapes[seg], on if seg in lit else off)


def big_digit_cell(d, x, y, digit=None):
    seven_segments(d, x + 2, y + 2, BIG_W - 4, BIG_H - 4, 3.0,
                   SEGMENTS[digit] if digit is not None else '')


def small_digit_cell(d, x, y, digit=None):
    seven_segments(d, x + 1, y + 1, SMALL_W - 2, SMALL_H - 2, 2.0,
                   SEGMENTS[digit] if digit is not None else '')


def point_cell(d, x, y, lit):
    d.circle(x + POINT_W / 2.0, y + SMALL_H - 2.2, 1.2, LED_ON if lit else LED_OFF)


def readout_window(d, x0, y0, x1, y1):
    d.framed_round_rect(x0, y0, x1, y1, 3, WINDOW_BORDER, WINDOW)


def dot_color(i):
    for below, color in DOT_COLORS:
        if i < below:
            return color
    return DOT_COLORS[-1][1]


def arc_circle(points):
    """Centre and radius of the circle through the first, middle and last
    dot centres."""
    (ax, ay), (bx, by), (cx, cy) = points[0], points[len(points) // 2], points[-1]
    dd = 2.0 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by))
    ux = ((ax * ax + ay * ay) * (by - cy) + (bx * bx + by * by) * (cy - ay)
          + (cx * cx + cy * cy) * (ay - by)) / dd
    uy = ((ax * ax + ay * ay) * (cx - bx) + (bx * bx + by * by) * (ax - cx)
          + (cx * cx + cy * cy) * (bx - ax)) / dd
    return ux, uy, math.hypot(ax - ux, ay - uy)


def speed_arc(d, dots):
    """Unlit dots where the dot controls sit, and the 0-7 thousand rpm scale
    outside them (dot 4k lights above k thousand rpm)."""
    centres = [(x + DOT / 2.0, y + DOT / 2.0) for x, y in dots]
    ux, uy, r = arc_circle(centres)
    angles = [math.degrees(math.atan2(cy - uy, cx - ux)) for cx, cy in centres]
    step = (angles[-1] - angles[0]) / 27.0
    for k in range(8):
        a = angles[0] + step * 4 * k
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        d.fill(line_path(ux + ca * (r - 7), uy + sa * (r - 7),
                         ux + ca * (r - 12), uy + sa * (r - 12), 1.6), TEXT_DIM)
        d.text(ux + ca * (r - 21), uy + sa * (r - 21), str(k), 11, TEXT_LIGHT,
               font='bold', anchor='cm')
    for i, (cx, cy) in enumerate(centres):
        d.circle(cx, cy, 3.4, DOT_OFF)


# ------------------------------------------------------------------ glyphs

def digit_glyphs(ids, layout):
    """Big (engine speed, injection time) and small (readouts) LED digits,
    drawn on the readout window colour of the backgrounds."""
    out = []
    for digit in range(10):
        d = Drawing(BIG_W, BIG_H, WINDOW)
        big_digit_cell(d, 0, 0, digit)
        out.append(('digit_big_%d.bmp' % digit, ids['IDB_DIGIT_BIG_FIRST'] + digit, d))
    for digit in range(10):
        d = Drawing(SMALL_W, SMALL_H, WINDOW)
        small_digit_cell(d, 0, 0, digit)
        out.append(('digit_small_%d.bmp' % digit, ids['IDB_DIGIT_SMALL_FIRST'] + digit, d))
    d = Drawing(POINT_W, SMALL_H, WINDOW)
    point_cell(d, 0, 0, True)
    out.append(('digit_small_point.bmp', ids['IDB_DIGIT_SMALL_POINT'], d))
    return out


def arc_dots(ids, layout):
    """One lit LED per arc dot: green up to 4000 rpm, amber to 5500, red."""
    out = []
    for i in range(ids['IDB_ARC_DOTS']):
        d = Drawing(DOT, DOT, CARD_DARK)
        c = dot_color(i)
        d.circle(DOT / 2.0, DOT / 2.0, 4.3, lerp_color(c, CARD_DARK, 0.55))
        d.circle(DOT / 2.0, DOT / 2.0, 3.4, c)
        d.circle(DOT / 2.0 - 0.9, DOT / 2.0 - 0.9, 1.2, lerp_color(c, 0xFFFFFF, 0.6))
        out.append(('arc_dot_%02d.bmp' % i, ids['IDB_ARC_DOT_FIRST'] + i, d))
    return out


def gauges(ids, layout):
    """The level bar, the two actuator scales and the marker."""
    out = []
    bar = Drawing(12, 240, 0xFFD43B)
    shades = [0xB88A00, 0xD9A800, 0xF5C518, 0xFFDD4D, 0xFFEE99, 0xFFE066,
              0xFFD43B, 0xF7C51E, 0xEDB80F, 0xDDA700, 0xC79400, 0xA67B00]
    for x, c in enumerate(shades):
        bar.rect(x, 0, x + 1, 240, c)
    bar.rect(1, 0, 11, 2, 0xFFF6C4)   # the level line at the bar's top
    out.append(('bar.bmp', ids['IDB_BAR'], bar))

    for define, base in (('IDB_SCALE_GREEN', 0x2FBF5A), ('IDB_SCALE_RED', 0xE0352B)):
        d = Drawing(SCALE_W, SCALE_H, CARD_DARK)
        d.fill(round_rect_path(7, 1, 19, 239, 3), lerp_color(base, 0x000000, 0.35))
        d.fill(round_rect_path(8, 2, 18, 238, 2.5),
               Gradient('x', 8, lerp_color(base, 0xFFFFFF, 0.35), 18, base, steps=5))
        for v in range(0, 241, 20):
            y = 233.5 - v * MARKER_TRAVEL / 240.0
            major = v % 40 == 0
            d.fill(rect_path(8, y - 0.5, 18, y + 0.5), lerp_color(base, 0x000000, 0.45))
            d.fill(rect_path(1 if major else 3, y - 0.6, 6, y + 0.6), TEXT_DIM)
        out.append((_name(ids, define), ids[define], d))

    d = Drawing(MARKER_W, MARKER_H, CARD_DARK)
    d.fill([[(0.3, 7.5), (11.0, 1.0), (11.0, 14.0)]], 0x1E8C45)
    d.fill([[(2.2, 7.5), (10.0, 2.8), (10.0, 12.2)]], 0x4BE37F)
    out.append(('scale_marker.bmp', ids['IDB_SCALE_MARKER'], d))
    return out


def actuator_frames(ids, layout):
    """The stepper actuator: the motor lifts the plug off its seat as the
    step count rises; frame 0 is wide open (240 steps), the last frame
    closed."""
    out = []
    count = ids['IDB_ACTUATOR_FRAMES']
    for j in range(count):
        opening = (count - 1 - j) / float(count - 1)
        lift = 11.0 * opening
        flow = lerp_color(GAS_EMPTY, GAS, opening)
        d = Drawing(FRAME_W, FRAME_H, WELL)
        # motor with cooling fins and its connector
        d.fill(round_rect_path(9, 1, 37, 25, 3), 0x2F3742)
        d.fill(round_rect_path(10, 2, 36, 24, 2.5), Gradient('x', 10, 0x6B7685, 36, 0x3F4956, 6))
        for fy in (6, 10, 14, 18):
            d.fill(rect_path(11, fy, 35, fy + 1.2), 0x343C47)
        d.fill(rect_path(37, 9, 43, 17), 0x22272E)
        d.fill(rect_path(41, 10.5, 44, 11.7), 0xB0B8C2)
        d.fill(rect_path(41, 14.3, 44, 15.5), 0xB0B8C2)
        d.fill(rect_path(6, 25, 40, 29), 0x8792A0)
        # valve body: inlet channel below the seat, chamber and outlet above
        d.fill(round_rect_path(3, 29, 43, 67, 3), 0x7B8794)
        d.fill(round_rect_path(4, 30, 42, 66, 2.5), Gradient('x', 4, 0xD9DFE6, 42, 0xB8C1CC, 6))
        d.fill(rect_path(3, 50, 43, 61), GAS)
        d.fill(rect_path(12, 33, 34, 46), flow)
        d.fill(rect_path(34, 35, 43, 43), flow)
        d.fill(rect_path(12, 46, 17, 50), 0x5B6675)
        d.fill(rect_path(29, 46, 34, 50), 0x5B6675)
        d.fill(rect_path(17, 46, 29, 50), GAS)
        # arrows: gas always waits at the inlet, leaves as the plug opens
        d.fill([[(5, 54), (10, 54), (10, 52), (14, 55.5), (10, 59), (10, 57), (5, 57)]], 0xFAFCFE)
        if opening > 0:
            d.fill([[(35, 38), (38, 38), (38, 36), (42, 39), (38, 42), (38, 40), (35, 40)]],
                   0x1F5FA8, min(1.0, 0.25 + opening))
        # shaft and plug
        d.fill(rect_path(21.5, 25, 24.5, 40 - lift), 0xA9B2BD)
        d.fill(rect_path(15, 39 - lift, 31, 46 - lift), 0x9C6B1F)
        d.fill(rect_path(16, 40 - lift, 30, 45 - lift), Gradient('x', 16, 0xE3B15A, 30, 0xB07A26, 5))
        out.append(('actuator_%02d.bmp' % j, ids['IDB_ACTUATOR_FIRST'] + j, d))
    return out


# ------------------------------------------------------------------ buttons

def _disc(d, cx, cy, r, light, dark):
    d.circle(cx, cy, r + 0.8, lerp_color(dark, 0x000000, 0.35))
    d.circle(cx, cy, r, Gradient('y', cy - r, light, cy + r, dark, 8))
    d.fill(arc_band_path(cx, cy, r - 1.2, r - 3.2, 200, 340), lerp_color(light, 0xFFFFFF, 0.35), 0.6)


def _arrow_right(cx, cy, s):
    return [[(cx - 8 * s, cy - 2.8 * s), (cx + 0.5 * s, cy - 2.8 * s), (cx + 0.5 * s, cy - 7.5 * s),
             (cx + 8.5 * s, cy), (cx + 0.5 * s, cy + 7.5 * s), (cx + 0.5 * s, cy + 2.8 * s),
             (cx - 8 * s, cy + 2.8 * s)]]


def _mirror(path, cx):
    return [[(2 * cx - x, y) for x, y in reversed(contour)] for contour in path]


def _button(w, h):
    return Drawing(w, h, MASK_BG)


def _masked(d):
    # White is the transparent colour: whatever was left of the background
    # becomes white; edges keep their blend with a light button face.
    # White also stays in the palette when no pixel is white (the flags):
    # masking a palette image picks the entry nearest to the mask colour,
    # which would otherwise be a colour of the picture.
    d.replace(MASK_BG, WHITE)
    d.keep_colors = (WHITE,)
    return d


def buttons(ids, layout):
    out = []
    s = 0xFAFAFA  # near-white details, so that they are not transparent

    d = _button(32, 32)
    _disc(d, 16, 16, 14, 0x4CC26A, 0x1E7A36)
    d.fill(_arrow_right(16.5, 16, 1.0), s)
    out.append(('btn_next.bmp', ids['IDB_BTN_NEXT'], _masked(d)))

    d = _button(32, 32)
    _disc(d, 16, 16, 14, 0x4A97E0, 0x1A528F)
    d.fill(_mirror(_arrow_right(16.5, 16, 1.0), 16), s)
    out.append(('btn_return.bmp', ids['IDB_BTN_RETURN'], _masked(d)))

    d = _button(32, 32)
    _disc(d, 16, 16, 14, 0xF0625A, 0xA8231C)
    d.fill(line_path(10.5, 10.5, 21.5, 21.5, 3.8), s)
    d.fill(line_path(21.5, 10.5, 10.5, 21.5, 3.8), s)
    out.append(('btn_exit.bmp', ids['IDB_BTN_EXIT'], _masked(d)))

    d = _button(32, 32)   # open folder with a sheet coming out
    d.fill(round_rect_path(3, 7, 14, 12, 1.5), 0xB7791F)
    d.fill(round_rect_path(3, 9, 28, 27, 2), 0xC98A1E)
    d.fill([[(10, 4), (24, 4), (24, 20), (10, 20)]], 0x8A94A0)
    d.fill([[(10.8, 4.8), (23.2, 4.8), (23.2, 20), (10.8, 20)]], s)
    for ly in (8, 11, 14):
        d.fill(rect_path(13, ly, 21, ly + 1), 0x9AA6B4)
    d.fill([[(1.5, 14), (30.5, 14), (27.5, 28), (4.5, 28)]], 0x9E6A12)
    d.fill([[(2.6, 15), (29.3, 15), (26.7, 27), (5.3, 27)]],
           Gradient('y', 15, 0xFFD066, 27, 0xF0A820, 6))
    out.append(('btn_load_file.bmp', ids['IDB_BTN_LOAD_FILE'], _masked(d)))

    d = _button(33, 33)   # diskette
    d.fill(round_rect_path(3, 3, 30, 30, 2.5), 0x142B4A)
    d.fill([[(4, 4), (27, 4), (29, 6), (29, 29), (4, 29)]], Gradient('y', 4, 0x3868A8, 29, 0x234C82, 6))
    d.fill(rect_path(9, 4, 24, 13), 0xC8CFD8)
    d.fill(rect_path(19, 5.5, 22, 11.5), 0x2B3440)
    d.fill(rect_path(7, 17, 26, 29), 0xF4F3EC)
    for ly in (20, 23, 26):
        d.fill(rect_path(9, ly, 24, ly + 1), 0x9AA6B4)
    out.append(('btn_save_file.bmp', ids['IDB_BTN_SAVE_FILE'], _masked(d)))

    d = _button(32, 32)   # gauge
    d.circle(16, 16, 14.6, 0x111820)
    d.circle(16, 16, 13.6, Gradient('y', 2, 0x3A4656, 30, 0x1C232C, 6))
    d.fill(arc_band_path(16, 17, 11, 8.2, 150, 250), 0x3DDC6E)
    d.fill(arc_band_path(16, 17, 11, 8.2, 250, 320), 0xFFC233)
    d.fill(arc_band_path(16, 17, 11, 8.2, 320, 390), 0xFF4B3E)
    d.fill(line_path(16, 17, 22.5, 9.5, 2.2), 0xF4F6F8)
    d.circle(16, 17, 2.6, 0xF4F6F8)
    d.circle(16, 17, 1.2, 0x1C232C)
    out.append(('btn_monitor.bmp', ids['IDB_BTN_MONITOR'], _masked(d)))

    d = _button(93, 27)   # write everything on this screen to the controller
    d.fill(round_rect_path(5, 9, 22, 24, 2), 0x232B35)
    for px in (7.5, 11.5, 15.5, 19.5):
        d.fill(rect_path(px - 0.6, 24, px + 0.6, 26), 0x6C7786)
    d.fill(rect_path(8, 15, 19, 17), 0x49C06A)
    d.fill([[(11, 2), (16, 2), (16, 7), (19.5, 7), (13.5, 13.5), (7.5, 7), (11, 7)]], 0x2C9E4F)
    d.text(26, 13.5, 'GRAVAR', 13, NAVY_DARK, font='bold', anchor='lm', fit=64)
    out.append(('btn_write_all.bmp', ids['IDB_BTN_WRITE_ALL'], _masked(d)))

    d = _button(93, 27)   # write a loaded parameter file to the controller
    d.fill(rect_path(5, 4, 17, 23), 0xF4F3EC)
    d.fill([[(13, 4), (17, 8), (13, 8)]], 0x9AA6B4)
    for ly in (11, 14, 17):
        d.fill(rect_path(7.5, ly, 14.5, ly + 1), 0x9AA6B4)
    d.fill([[(15, 14), (20, 14), (20, 10.5), (25, 16), (20, 21.5), (20, 18), (15, 18)]], 0x2C9E4F)
    d.text(27, 13.5, 'ARQUIVO', 11, NAVY_DARK, font='bold', anchor='lm', fit=63)
    out.append(('btn_apply_file.bmp', ids['IDB_BTN_APPLY_FILE'], _masked(d)))

    d = _button(93, 27)   # calibrate the actuator
    d.fill(ring_path(12, 13.5, 8, 6), 0x1F4E79)
    for a in (0, 90, 180, 270):
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        d.fill(line_path(12 + ca * 3.5, 13.5 + sa * 3.5, 12 + ca * 11, 13.5 + sa * 11, 1.8),
               0x1F4E79)
    d.circle(12, 13.5, 2.2, 0xD62F26)
    d.text(24, 13.5, 'CALIBRAR', 11, NAVY_DARK, font='bold', anchor='lm', fit=66)
    out.append(('btn_calibrate.bmp', ids['IDB_BTN_CALIBRATE'], _masked(d)))

    d = _button(32, 32)   # the installation report: a page out of a printer
    d.fill(rect_path(7, 2, 25, 16), 0x8A94A0)
    d.fill(rect_path(7.8, 2.8, 24.2, 16), s)
    d.fill(rect_path(10, 5, 22, 7), NAVY)
    for ly in (9.5, 12.5):
        d.fill(rect_path(10, ly, 22, ly + 1), 0x9AA6B4)
    d.fill(round_rect_path(2, 13, 30, 25, 2.5), 0x232B35)
    d.fill(round_rect_path(3, 14, 29, 24, 2), Gradient('y', 14, 0x5A6A7E, 24, 0x36414F, 6))
    d.circle(25.5, 17.5, 1.3, 0x3DDC6E)
    d.fill(rect_path(6, 20.5, 26, 22.5), 0x10151B)
    d.fill(rect_path(8, 21.5, 24, 30), 0x8A94A0)
    d.fill(rect_path(8.8, 21.5, 23.2, 29.2), s)
    for ly in (24, 26.5):
        d.fill(rect_path(11, ly, 21, ly + 1), 0x9AA6B4)
    out.append(('btn_report.bmp', ids['IDB_BTN_REPORT'], _masked(d)))

    d = _button(32, 32)   # record: a red dot on a dark disc
    _disc(d, 16, 16, 14, 0x56606C, 0x232B35)
    d.circle(16, 16, 7, 0xE0342B)
    out.append(('btn_record.bmp', ids['IDB_BTN_RECORD'], _masked(d)))

    d = _button(32, 32)   # recording: a stop square on a red disc
    _disc(d, 16, 16, 14, 0xF0625A, 0xA8231C)
    d.fill(round_rect_path(10.5, 10.5, 21.5, 21.5, 1.5), s)
    out.append(('btn_record_stop.bmp', ids['IDB_BTN_RECORD_STOP'], _masked(d)))
    return out + chart_buttons(ids, s)


def _magnifier(d, s):
    d.fill(ring_path(13.5, 13.5, 10, 7.6), 0x1F4E79)
    d.circle(13.5, 13.5, 7.6, 0xEAF2FA)
    d.fill(line_path(20.5, 20.5, 28.5, 28.5, 4.2), 0x1F4E79)
    d.fill(line_path(21.5, 21.5, 27.5, 27.5, 2.2), 0x3C78B4)


def chart_buttons(ids, s):
    """The live chart's pause and continue, opening a recording, and the
    viewer's zoom buttons."""
    out = []
    d = _button(32, 32)   # pause: two bars on a dark disc
    _disc(d, 16, 16, 14, 0x56606C, 0x232B35)
    d.fill(round_rect_path(10.5, 9.5, 14, 22.5, 1), s)
    d.fill(round_rect_path(18, 9.5, 21.5, 22.5, 1), s)
    out.append(('btn_chart_pause.bmp', ids['IDB_BTN_CHART_PAUSE'], _masked(d)))

    d = _button(32, 32)   # continue: a play triangle on a green disc
    _disc(d, 16, 16, 14, 0x4CC26A, 0x1E7A36)
    d.fill([[(12.5, 9), (23, 16), (12.5, 23)]], s)
    out.append(('btn_chart_continue.bmp', ids['IDB_BTN_CHART_CONTINUE'], _masked(d)))

    d = _button(32, 32)   # open a recording: a folder holding a chart
    d.fill(round_rect_path(3, 7, 14, 12, 1.5), 0xB7791F)
    d.fill(round_rect_path(3, 9, 28, 27, 2), 0xC98A1E)
    d.fill([[(7, 3), (27, 3), (27, 20), (7, 20)]], 0x8A94A0)
    d.fill([[(7.8, 3.8), (26.2, 3.8), (26.2, 20), (7.8, 20)]], 0x1A2029)
    d.fill(polyline_path([(9, 15), (13, 9), (16, 13), (20, 6), (25, 11)], 1.6), 0x4FC3F7)
    d.fill(polyline_path([(9, 17), (14, 14), (18, 16), (25, 13)], 1.4), 0xFFD43B)
    d.fill([[(1.5, 14), (30.5, 14), (27.5, 28), (4.5, 28)]], 0x9E6A12)
    d.fill([[(2.6, 15), (29.3, 15), (26.7, 27), (5.3, 27)]],
           Gradient('y', 15, 0xFFD066, 27, 0xF0A820, 6))
    out.append(('btn_open_recording.bmp', ids['IDB_BTN_OPEN_RECORDING'], _masked(d)))

    d = _button(32, 32)   # zoom in: a magnifier with a plus
    _magnifier(d, s)
    d.fill(rect_path(9.5, 12.5, 17.5, 14.5), 0x1F4E79)
    d.fill(rect_path(12.5, 9.5, 14.5, 17.5), 0x1F4E79)
    out.append(('btn_zoom_in.bmp', ids['IDB_BTN_ZOOM_IN'], _masked(d)))

    d = _button(32, 32)   # zoom out: a magnifier with a minus
    _magnifier(d, s)
    d.fill(rect_path(9.5, 12.5, 17.5, 14.5), 0x1F4E79)
    out.append(('btn_zoom_out.bmp', ids['IDB_BTN_ZOOM_OUT'], _masked(d)))

    d = _button(32, 32)   # the whole run: arrows out to both ends of a track
    d.fill(round_rect_path(2, 8, 30, 24, 3), 0x1F4E79)
    d.fill(round_rect_path(3.2, 9.2, 28.8, 22.8, 2.2), 0xEAF2FA)
    d.fill(rect_path(9, 15, 23, 17), 0x1F4E79)
    d.fill([[(5, 16), (10, 11.5), (10, 20.5)]], 0x1F4E79)
    d.fill([[(27, 16), (22, 11.5), (22, 20.5)]], 0x1F4E79)
    out.append(('btn_zoom_whole.bmp', ids['IDB_BTN_ZOOM_WHOLE'], _masked(d)))
    return out


def language_buttons(ids, layout):
    """Flags for Português (Brazil), English and Español."""
    out = []
    w, h = 47, 31
    off_white = 0xFAFAFA

    def frame(d):
        d.fill([rect_path(0, 0, w, h)[0], list(reversed(rect_path(1, 1, w - 1, h - 1)[0]))], 0x4A4F57)

    d = _button(w, h)
    d.rect(1, 1, w - 1, h - 1, 0x009C3B)
    d.fill([[(23.5, 3.5), (43, 15.5), (23.5, 27.5), (4, 15.5)]], 0xFEDF00)
    d.circle(23.5, 15.5, 7.4, 0x002776)
    d.fill(arc_band_path(23.5, 27, 12.4, 11.0, 232, 308), off_white)
    frame(d)
    out.append(('btn_lang_pt.bmp', ids['IDB_BTN_LANG_PT'], _masked(d)))

    d = _button(w, h)
    d.rect(1, 1, w - 1, h - 1, 0x012169)
    for (x0, y0, x1, y1) in ((1, 1, w - 1, h - 1), (w - 1, 1, 1, h - 1)):
        d.fill(line_path(x0, y0, x1, y1, 6), off_white)
        d.fill(line_path(x0, y0, x1, y1, 2), 0xC8102E)
    d.rect(19, 1, 28, h - 1, off_white)
    d.rect(1, 11, w - 1, 20, off_white)
    d.rect(21, 1, 26, h - 1, 0xC8102E)
    d.rect(1, 13, w - 1, 18, 0xC8102E)
    frame(d)
    out.append(('btn_lang_en.bmp', ids['IDB_BTN_LANG_EN'], _masked(d)))

    d = _button(w, h)
    d.rect(1, 1, w - 1, h - 1, 0xAA151B)
    d.rect(1, 8, w - 1, 23, 0xF1BF00)
    frame(d)
    out.append(('btn_lang_es.bmp', ids['IDB_BTN_LANG_ES'], _masked(d)))
    return out


# ------------------------------------------------------------------ brand

def _emblem(d, cx, cy, r, face=NAVY_DEEP):
    """The KOVA gauge: a rev arc from green to red and a needle."""
    d.circle(cx, cy, r, face)
    d.fill(ring_path(cx, cy, r, r - 2.5), AMBER)
    rb = r - 7
    d.fill(arc_band_path(cx, cy, rb, rb - r * 0.16, 140, 260), 0x3DDC6E)
    d.fill(arc_band_path(cx, cy, rb, rb - r * 0.16, 260, 330), 0xFFC233)
    d.fill(arc_band_path(cx, cy, rb, rb - r * 0.16, 330, 400), 0xFF4B3E)
    a = math.radians(300)
    d.fill(line_path(cx, cy, cx + math.cos(a) * rb * 0.92, cy + math.sin(a) * rb * 0.92,
                     max(2.0, r * 0.07)), 0xF4F6F8)
    d.circle(cx, cy, r * 0.12, 0xF4F6F8)
    d.circle(cx, cy, r * 0.05, face)


def splash(ids, layout):
    d = Drawing(498, 289, NAVY_DEEP)
    d.rect(0, 0, 498, 289, Gradient('y', 0, 0x1A3C60, 289, 0x0B1A2B, 40))
    _emblem(d, 112, 132, 74)
    d.text(214, 64, 'KOVA', 66, 0xFFFFFF, font='bold', anchor='lt')
    d.rect(218, 140, 470, 143, AMBER)
    d.text(218, 152, 'Configuração de centrais', 16, TEXT_LIGHT, font='regular', fit=272)
    d.text(218, 173, 'de injeção de gás', 16, TEXT_LIGHT, font='regular', fit=272)
    d.text(218, 204, 'BRIO  ·  VELA  ·  VELA plus', 14, AMBER, font='bold')
    d.rect(0, 262, 498, 289, 0x08131F)
    d.text(18, 275, 'Ferramenta de oficina', 11, TEXT_DIM, font='regular', anchor='lm', fit=250)
    d.text(480, 275, 'Iniciando...', 11, TEXT_DIM, font='regular', anchor='rm', fit=200)
    d.rect(0, 260, 498, 262, AMBER)
    return [('splash.bmp', ids['IDB_SPLASH'], d)]


# ------------------------------------------------------------------ screens

def selection_background(ids, layout):
    """Language, model and port screens: a light field under their black
    centred titles, the brand in the corners."""
    w, h = 487, 190
    d = Drawing(w, h, BODY_TOP)
    d.rect(0, 0, w, h, Gradient('y', 0, 0xF6F8FB, h, 0xDCE3EA, 24))
    d.rect(0, 0, w, 6, NAVY)
    d.rect(0, 6, w, 8, AMBER)
    d.rect(0, h - 4, w, h, NAVY)
    _pictogram(d, 'brand', 440, 92, 0.8, 0xE1E7EE)
    d.text(w - 12, h - 10, 'KOVA', 16, 0xB4C0CE, font='bold', anchor='rb')
    return [('bg_selection.bmp', ids['IDB_BG_SELECTION'], d)]


def _pictogram(d, kind, cx, cy, s, color):
    """Large faint figure naming the screen's subject."""
    if kind == 'customer':
        d.circle(cx, cy - 22 * s, 17 * s, color)
        d.fill([arc_points(cx, cy + 40 * s, 38 * s, 40 * s, 180, 360)], color)
    elif kind == 'vehicle':
        body = [(cx - 58 * s, cy + 12 * s), (cx - 56 * s, cy - 6 * s), (cx - 30 * s, cy - 12 * s),
                (cx - 14 * s, cy - 30 * s), (cx + 24 * s, cy - 30 * s), (cx + 42 * s, cy - 12 * s),
                (cx + 58 * s, cy - 6 * s), (cx + 60 * s, cy + 12 * s)]
        d.fill([body], color)
        for wx in (-32, 34):
            d.fill(ring_path(cx + wx * s, cy + 12 * s, 13 * s, 6 * s), color)
    elif kind == 'aux':
        teeth = []
        for k in range(16):
            a0 = k * 22.5
            r = 40 * s if k % 2 == 0 else 31 * s
            teeth += arc_points(cx, cy, r, r, a0 - 11.25, a0 + 11.25, 3)
        d.fill([teeth, list(reversed(circle_path(cx, cy, 14 * s)[0]))], color)
    elif kind == 'lambda':
        wave = []
        x = cx - 60 * s
        for k in range(4):
            y_hi, y_lo = cy - 24 * s, cy + 24 * s
            wave += [(x, y_lo), (x, y_hi), (x + 15 * s, y_hi), (x + 15 * s, y_lo)]
            x += 30 * s
        wave.append((x, y_lo))
        d.fill(polyline_path(wave, 7 * s), color)
    else:  # the gauge of the brand, for the shared backgrounds
        d.fill(ring_path(cx, cy, 46 * s, 38 * s), color)
        d.fill(arc_band_path(cx, cy, 30 * s, 22 * s, 140, 400), color)
        d.fill(line_path(cx, cy, cx + 24 * s, cy - 20 * s, 6 * s), color)
        d.circle(cx, cy, 7 * s, color)


def _data_screen(family, kind, live=None, layout=None):
    """Header with the brand (the screen's title label sits on its left),
    a light card under the fields, a footer under the buttons."""
    w, h = 800, 580
    d = Drawing(w, h, BODY_TOP)
    d.rect(0, 0, w, h, Gradient('y', 0, BODY_TOP, h, BODY_BOTTOM, 24))
    d.rect(0, 0, w, 56, Gradient('y', 0, HEADER_TOP, 56, HEADER_BOTTOM, 6))
    d.rect(0, 56, w, 59, NAVY)
    d.rect(0, 59, w, 61, AMBER)
    d.text(786, 28, 'KOVA', 26, NAVY, font='bold', anchor='rm')
    d.badge(700, 28, family, 13, 0xFFFFFF, NAVY, anchor='rm')
    d.shadow(12, 68, 788, 496, 8, SHADOW, spread=3, strength=0.3)
    d.framed_round_rect(12, 68, 788, 496, 8, CARD_BORDER, CARD)
    if live is None:
        _pictogram(d, kind, 700, 410, 1.0, WATERMARK)
    d.rect(0, 502, w, 504, FOOTER_LINE)
    d.rect(0, 504, w, h, Gradient('y', 504, FOOTER_TOP, h, FOOTER_BOTTOM, 6))
    if live is not None:
        _live_display(d, layout)
    return d


def _live_display(d, layout):
    """Engine speed and injection time of the lambda screen's "Real" mode."""
    dots = layout.arc('LIVE')
    x0 = min(x for x, _ in dots) - 34
    x1 = layout.x('LIVE_RPM_X3') + BIG_W + 48
    y0, y1 = min(y for _, y in dots) - 52, layout.y('LIVE_INJ_Y') + BIG_H + 30
    d.shadow(x0, y0, x1, y1, 8, SHADOW, spread=3, strength=0.3)
    d.framed_round_rect(x0, y0, x1, y1, 8, CARD_DARK_BORDER, CARD_DARK)
    d.text(x0 + 12, y0 + 10, 'LEITURA EM TEMPO REAL', 11, TEXT_DIM, font='bold', fit=x1 - x0 - 24)
    speed_arc(d, dots)
    ry = layout.y('LIVE_RPM_Y')
    rx = [layout.x('LIVE_RPM_X%d' % i) for i in range(4)]
    readout_window(d, rx[0] - 4, ry - 4, rx[3] + BIG_W + 4, ry + BIG_H + 4)
    for x in rx:
        big_digit_cell(d, x, ry)
    d.text((rx[0] + rx[3] + BIG_W) / 2, ry + BIG_H + 8, 'ROTAÇÃO DO MOTOR (RPM)', 10,
           TEXT_LIGHT, font='bold', anchor='ct', fit=x1 - x0 - 16)
    iy = layout.y('LIVE_INJ_Y')
    ix = [layout.x('LIVE_INJ_X%d' % i) for i in range(3)]
    readout_window(d, ix[0] - 4, iy - 4, ix[2] + BIG_W + 4, iy + BIG_H + 4)
    for x in ix:
        big_digit_cell(d, x, iy)
    d.circle((ix[1] + BIG_W + ix[2]) / 2.0, iy + BIG_H - 3.5, 1.8, LED_ON)
    d.text((ix[0] + ix[2] + BIG_W) / 2, iy + BIG_H + 8, 'TEMPO DE INJEÇÃO (ms)', 10,
           TEXT_LIGHT, font='bold', anchor='ct', fit=x1 - x0 - 16)


DATA_SCREENS = (
    # (define, file, family badge, pictogram)
    ('IDB_BG_CUSTOMER_VELA', 'VELA', 'customer'),
    ('IDB_BG_CUSTOMER_BRIO', 'BRIO · VELA plus', 'customer'),
    ('IDB_BG_VEHICLE_VELA', 'VELA', 'vehicle'),
    ('IDB_BG_VEHICLE_VELAPLUS', 'VELA plus', 'vehicle'),
    ('IDB_BG_VEHICLE_BRIO', 'BRIO', 'vehicle'),
    ('IDB_BG_AUX_VELA', 'VELA', 'aux'),
    ('IDB_BG_AUX_BRIO', 'BRIO · VELA plus', 'aux'),
    ('IDB_BG_DATA_VELA', 'VELA', 'brand'),
    ('IDB_BG_DATA_BRIO', 'BRIO · VELA plus', 'brand'),
    ('IDB_BG_LAMBDA_VELA', 'VELA', 'lambda'),
)


def data_backgrounds(ids, layout):
    out = []
    for define, family, kind in DATA_SCREENS:
        out.append((_name(ids, define), ids[define], _data_screen(family, kind)))
    out.append((_name(ids, 'IDB_BG_LAMBDA_REAL'), ids['IDB_BG_LAMBDA_REAL'],
                _data_screen('BRIO · VELA plus', 'lambda', live=True, layout=layout)))
    return out


# ------------------------------------------------------------------ monitor

def _panel(layout, strip, chart_top, chart_h):
    """The full-screen panels' frame: the header with the emblem, the dark
    body, a light strip of buttons, and the chart's place below it (the
    chart control paints itself; a border shows round it)."""
    L = layout
    w, h = 1024, 768
    d = Drawing(w, h, PANEL_DARK)
    d.rect(0, 0, w, h, Gradient('y', 120, 0x1D2430, 768, 0x161B23, 10))
    d.rect(0, 0, w, 118, Gradient('y', 0, 0x1E466E, 118, NAVY_DEEP, 10))
    d.rect(0, 118, w, 121, AMBER)
    _emblem(d, 58, 59, 40)
    d.text(1004, 59, 'KOVA', 30, 0x7F9DBD, font='bold', anchor='rm')

    # the strip of buttons (pixel rows y0 to y1), the chart's frame
    y0, y1 = strip
    d.rect(0, y0 - 2, w, y0, 0x0E1218)
    d.rect(0, y0, w, y1, Gradient('y', y0, STRIP_TOP, y1, STRIP_BOTTOM, 4))
    d.rect(0, y1, w, y1 + 1, 0x0E1218)
    cx0, cy0 = L.x('MON_CHART_X'), L.y(chart_top)
    cx1, cy1 = L.x(L['MON_CHART_X'] + L['MON_CHART_W']), L.y(L[chart_top] + L[chart_h])
    d.framed_round_rect(cx0 - 3, cy0 - 3, cx1 + 3, cy1 + 3, 4, CARD_DARK_BORDER, TRACK)
    return d


def _monitor(layout, heading):
    L = layout
    d = _panel(L, (L.y('MON_STRIP_TOP'), L.y('MON_CHART_Y') - 5), 'MON_CHART_Y', 'MON_CHART_H')
    d.text(114, 22, 'MONITOR EM TEMPO REAL', 14, 0xAFC3D8, font='bold', fit=560)
    d.text(112, 42, heading, 40, 0xFFFFFF, font='bold')

    def card(x0, y0, x1, y1):
        d.framed_round_rect(x0, y0, x1, y1, 6, CARD_DARK_BORDER, CARD_DARK)

    def ticks(x, top_volt_y, zero_y):
        for k in range(11):
            y = zero_y - (zero_y - top_volt_y) * k / 10.0
            major = k % 2 == 0
            d.fill(rect_path(x, y - 0.6, x + (8 if major else 5), y + 0.6),
                   TEXT_DIM if major else CARD_DARK_BORDER)

    def track(x, y):
        d.framed_round_rect(x - 2, y - 2, x + 14, y + 243, 3, CARD_DARK_BORDER, TRACK)

    def small_readout(xs, point_x, y, caption, cx, fit):
        xs = [L.x(v) for v in xs]
        right = max(xs) + SMALL_W
        readout_window(d, xs[0] - 4, y - 3, right + 4, y + SMALL_H + 3)
        for x in xs:
            small_digit_cell(d, x, y)
        if point_x is not None:
            point_cell(d, L.x(point_x), y, False)
        d.text(cx, y + SMALL_H + 8, caption, 10, TEXT_LIGHT, font='bold', anchor='ct', fit=fit)

    ry = L.y('MON_READOUT_Y')
    full_y = BAR_ZERO_Y - 5 * BAR_PX_PER_VOLT

    # TPS: bar, ticks, readout
    card(12, 130, 88, 470)
    tx, ty = L.x('MON_TPS_BAR_X'), L.y('MON_TPS_BAR_Y')
    track(tx, ty)
    ticks(tx + 16, full_y, BAR_ZERO_Y)
    small_readout([L['MON_TPS_X_UNITS'], L['MON_TPS_X_TENTHS'], L['MON_TPS_X_HUNDREDTHS']],
                  L['MON_TPS_X_POINT'], ry, 'TPS (V)', 50, 70)

    # engine speed: arc, digits
    card(96, 130, 362, 470)
    d.text(108, 138, 'ROTAÇÃO DO MOTOR', 11, TEXT_DIM, font='bold', fit=244)
    speed_arc(d, L.arc('MON'))
    dy = L.y('MON_RPM_Y')
    dxs = [L.x('MON_RPM_X%d' % i) for i in range(4)]
    readout_window(d, dxs[0] - 4, dy - 4, dxs[3] + BIG_W + 4, dy + BIG_H + 4)
    for x in dxs:
        big_digit_cell(d, x, dy)
    d.text((dxs[0] + dxs[3] + BIG_W) / 2, dy + BIG_H + 8, 'RPM', 11, TEXT_LIGHT,
           font='bold', anchor='ct')
    d.text(150, 300, 'x 1000 rpm', 10, TEXT_DIM, font='regular', anchor='lt')
    legend = (('até 4000 rpm', 0), ('4000 a 5500 rpm', 16), ('acima de 5500 rpm', 22))
    for k, (label, dot) in enumerate(legend):
        y = 392 + k * 22
        d.circle(118, y, 4, dot_color(dot))
        d.text(130, y, label, 11, TEXT_LIGHT, font='regular', anchor='lm', fit=224)

    # lambda probe: bar, ticks, readout
    card(370, 130, 430, 470)
    lx, ly = L.x('MON_LAMBDA_BAR_X'), L.y('MON_LAMBDA_BAR_Y')
    track(lx, ly)
    ticks(lx + 16, full_y, BAR_ZERO_Y)
    small_readout([L['MON_LAMBDA_X_UNITS'], L['MON_LAMBDA_X_TENTHS'],
                   L['MON_LAMBDA_X_HUNDREDTHS']], L['MON_LAMBDA_X_POINT'], ry, 'SONDA', 400, 64)
    d.text(400, ry + SMALL_H + 22, 'LAMBDA (V)', 9, TEXT_LIGHT, font='bold', anchor='ct', fit=64)

    # actuator: scale track, 0-240 labels, marker column, readout
    card(438, 130, 548, 470)
    d.text(493, 138, 'ATUADOR', 11, TEXT_DIM, font='bold', anchor='ct', fit=104)
    sx, sy = L.x('MON_SCALE_X'), L.y('MON_SCALE_Y')
    d.framed_round_rect(sx + 6, sy, sx + 20, sy + SCALE_H, 3, CARD_DARK_BORDER, CARD_DARK)
    mx = L.x('MON_MARKER_X')
    for v in range(0, 241, 40):
        y = MARKER_ZERO_TOP + MARKER_H // 2 - MARKER_TRAVEL * v / 240.0
        d.fill(rect_path(mx + MARKER_W + 1, y - 0.6, mx + MARKER_W + 5, y + 0.6), TEXT_DIM)
        d.text(mx + MARKER_W + 8, y, str(v), 10, TEXT_LIGHT, font='bold', anchor='lm')
    small_readout([L['MON_STEP_X0'], L['MON_STEP_X1'], L['MON_STEP_X2']], None, ry,
                  'PASSOS', (L.x('MON_STEP_X0') + L.x('MON_STEP_X2') + SMALL_W) / 2, 104)

    # light form: default positions, calibration and the actuator picture
    d.framed_round_rect(556, 130, 1012, 470, 6, 0xB8C3CF, FORM)
    ax, ay = L.x('MON_ACTUATOR_X'), L.y('MON_ACTUATOR_Y')
    d.text(ax + FRAME_W / 2, ay - 10, 'ATUADOR DE PASSO', 10, INK_SOFT, font='bold', anchor='cb',
           fit=220)
    d.framed_round_rect(ax - 6, ay - 6, ax + FRAME_W + 6, ay + FRAME_H + 6, 4, 0xAEB9C6, WELL)
    return d


def monitor_backgrounds(ids, layout):
    # The viewer's title and file name are labels over its header.
    viewer = _panel(layout, (layout.y('VIEW_STRIP_TOP'), 768), 'VIEW_CHART_Y', 'VIEW_CHART_H')
    return [('bg_monitor_vela.bmp', ids['IDB_BG_MONITOR_VELA'], _monitor(layout, 'VELA')),
            ('bg_monitor_brio.bmp', ids['IDB_BG_MONITOR_BRIO'],
             _monitor(layout, 'BRIO  ·  VELA plus')),
            ('bg_viewer.bmp', ids['IDB_BG_VIEWER'], viewer)]


FAMILIES = (buttons, language_buttons, splash, selection_background, data_backgrounds,
            monitor_backgrounds, digit_glyphs, arc_dots, gauges, actuator_frames)


def all_pictures(ids, defines):
    layout = Layout(defines)
    pictures = []
    for family in FAMILIES:
        pictures += family(ids, layout)
    return sorted(pictures, key=lambda p: p[1])
