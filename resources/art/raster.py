"""Small anti-aliased rasteriser for the artwork (no third-party modules).

A picture is first described as a Drawing (a list of drawing operations),
then rendered onto a Canvas of 0xRRGGBB integers. The split lets the
generator collect every caption of every picture and have ImageMagick
render them all in one call before any picture is painted.

Blend factors are rounded to sixteenths so that anti-aliased edges add few
distinct colours: every picture ends up as an 8-bit palette image.
"""

import math

AA_LEVELS = 16
SUBROWS = 4


def rgb(c):
    return (c >> 16) & 255, (c >> 8) & 255, c & 255


def mix(c0, c1, a):
    """c0 blended towards c1 by a (0..1), a rounded to the AA level grid."""
    q = int(a * AA_LEVELS + 0.5)
    if q <= 0:
        return c0
    if q >= AA_LEVELS:
        return c1
    r0, g0, b0 = rgb(c0)
    r1, g1, b1 = rgb(c1)
    r = (r0 * (AA_LEVELS - q) + r1 * q + AA_LEVELS // 2) // AA_LEVELS
    g = (g0 * (AA_LEVELS - q) + g1 * q + AA_LEVELS // 2) // AA_LEVELS
    b = (b0 * (AA_LEVELS - q) + b1 * q + AA_LEVELS // 2) // AA_LEVELS
    return (r << 16) | (g << 8) | b


def lerp_color(c0, c1, t):
    """Exact linear blend (for gradients, which choose their own steps)."""
    t = min(max(t, 0.0), 1.0)
    r0, g0, b0 = rgb(c0)
    r1, g1, b1 = rgb(c1)
    r = int(r0 + (r1 - r0) * t + 0.5)
    g = int(g0 + (g1 - g0) * t + 0.5)
    b = int(b0 + (b1 - b0) * t + 0.5)
    return (r << 16) | (g << 8) | b


class Gradient:
    """Linear gradient between two colours along x or y, in a few steps."""

    def __init__(self, axis, p0, c0, p1, c1, steps=12):
        self.axis, self.p0, self.c0, self.p1, self.c1 = axis, p0, c0, p1, c1
        self.steps = steps

    def at(self, x, y):
        p = y if self.axis == 'y' else x
        t = (p + 0.5 - self.p0) / float(self.p1 - self.p0)
        t = min(max(t, 0.0), 1.0)
        t = math.floor(t * self.steps + 0.5) / self.steps
        return lerp_color(self.c0, self.c1, t)


def color_at(paint, x, y):
    return paint if isinstance(paint, int) else paint.at(x, y)


# ---------------------------------------------------------------- geometry

def rect_path(x0, y0, x1, y1):
    return [[(x0, y0), (x1, y0), (x1, y1), (x0, y1)]]


def arc_points(cx, cy, rx, ry, a0, a1, n=None):
    """Points along an ellipse arc, angles in degrees, y pointing down."""
    if n is None:
        n = max(4, int(abs(a1 - a0) / 360.0 * max(rx, ry) * 1.6) + 4)
    pts = []
    for i in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * i / n)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def circle_path(cx, cy, r):
    return [arc_points(cx, cy, r, r, 0, 360)[:-1]]


def ring_path(cx, cy, r_out, r_in):
    outer = arc_points(cx, cy, r_out, r_out, 0, 360)[:-1]
    inner = arc_points(cx, cy, r_in, r_in, 360, 0)[:-1]
    return [outer, inner]


def round_rect_path(x0, y0, x1, y1, r):
    r = min(r, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
    if r <= 0:
        return rect_path(x0, y0, x1, y1)
    pts = []
    pts += arc_points(x1 - r, y0 + r, r, r, -90, 0)
    pts += arc_points(x1 - r, y1 - r, r, r, 0, 90)
    pts += arc_points(x0 + r, y1 - r, r, r, 90, 180)
    pts += arc_points(x0 + r, y0 + r, r, r, 180, 270)
    return [pts]


def arc_band_path(cx, cy, r_out, r_in, a0, a1):
    """A thick circular arc (annulus sector), angles in degrees."""
    outer = arc_points(cx, cy, r_out, r_out, a0, a1)
    inner = arc_points(cx, cy, r_in, r_in, a1, a0)
    return [outer + inner]


def _clockwise(contour):
    """The contour turning one way (positive area with y down), so that
    overlapping pieces of one path add up instead of cancelling out."""
    area = sum(xa * yb - xb * ya for (xa, ya), (xb, yb) in zip(contour, contour[1:] + contour[:1]))
    return contour if area >= 0 else list(reversed(contour))


def line_path(x0, y0, x1, y1, width):
    """A straight stroke as a quadrilateral with square ends."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy) or 1.0
    nx, ny = -dy / length * width / 2.0, dx / length * width / 2.0
    return [_clockwise([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                        (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])]


def polyline_path(points, width):
    """A stroked polyline, as one quadrilateral per segment plus round joints."""
    path = []
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        path += line_path(x0, y0, x1, y1, width)
    for x, y in points[1:-1]:
        path += [_clockwise(circle_path(x, y, width / 2.0)[0])]
    return path


def translate(path, dx, dy):
    return [[(x + dx, y + dy) for x, y in contour] for contour in path]


def rotate(path, cx, cy, degrees):
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    return [[(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca)
             for x, y in contour] for contour in path]


# ---------------------------------------------------------------- drawing

class Drawing:
    """A picture still to be painted: size, background and operations.

    Every Canvas method can be recorded here by calling it on the drawing;
    render() replays them in order.
    """

    def __init__(self, width, height, background):
        self.width, self.height, self.background = width, height, background
        self.ops = []
        self.keep_colors = ()   # palette entries the picture must have

    def __getattr__(self, name):
        if name.startswith('_') or not hasattr(Canvas, name):
            raise AttributeError(name)

        def record(*args, **kwargs):
            self.ops.append((name, args, kwargs))
        return record

    def texts(self):
        """The (font, size, text) of every caption this drawing paints.
        Captions take their font as a keyword argument."""
        for name, args, kwargs in self.ops:
            if name in ('text', 'badge'):
                yield (kwargs.get('font', 'bold'), args[3], args[2])
            elif name == 'paste':
                yield from args[0].texts()

    def render(self, fonts):
        canvas = Canvas(self.width, self.height, self.background, fonts)
        for name, args, kwargs in self.ops:
            getattr(canvas, name)(*args, **kwargs)
        return canvas


class Canvas:
    def __init__(self, width, height, background, fonts=None):
        self.w, self.h = width, height
        self.px = [background] * (width * height)
        self.fonts = fonts
        self.text_boxes = []   # (x, y, w, h) of every caption, in drawing order
        self.shrunk = []       # captions drawn smaller than asked, to fit

    # -- pixels

    def get(self, x, y):
        return self.px[y * self.w + x]

    def _blend(self, x, y, paint, a):
        i = y * self.w + x
        self.px[i] = mix(self.px[i], color_at(paint, x, y), a)

    def _span(self, y, x0, x1, paint, alpha):
        if x0 >= x1:
            return
        base = y * self.w
        if alpha >= 1.0 and isinstance(paint, int):
            self.px[base + x0:base + x1] = [paint] * (x1 - x0)
        elif alpha >= 1.0 and isinstance(paint, Gradient) and paint.axis == 'y':
            c = paint.at(x0, y)
            self.px[base + x0:base + x1] = [c] * (x1 - x0)
        elif isinstance(paint, int) or paint.axis == 'y':
            # One paint colour over the run: blend each distinct colour once.
            top = color_at(paint, x0, y)
            done = {}
            run = self.px[base + x0:base + x1]
            for k, c in enumerate(run):
                m = done.get(c)
                if m is None:
                    m = done[c] = mix(c, top, alpha)
                run[k] = m
            self.px[base + x0:base + x1] = run
        else:
            for x in range(x0, x1):
                self._blend(x, y, paint, alpha)

    # -- shapes

    def rect(self, x0, y0, x1, y1, paint, alpha=1.0):
        """Fills whole pixels x0 <= x < x1, y0 <= y < y1."""
        x0, x1 = max(0, int(x0)), min(self.w, int(x1))
        for y in range(max(0, int(y0)), min(self.h, int(y1))):
            self._span(y, x0, x1, paint, alpha)

    def fill(self, path, paint, alpha=1.0):
        """Fills a path (list of closed contours, non-zero winding) with
        anti-aliased edges: SUBROWS samples down, exact coverage across."""
        edges = []
        for contour in path:
            n = len(contour)
            for i in range(n):
                xa, ya = contour[i]
                xb, yb = contour[(i + 1) % n]
                if ya == yb:
                    continue
                d = 1
                if ya > yb:
                    xa, ya, xb, yb, d = xb, yb, xa, ya, -1
                edges.append((ya, yb, xa, (xb - xa) / (yb - ya), d))
        if not edges:
            return
        top = max(0, int(math.floor(min(e[0] for e in edges))))
        bottom = min(self.h, int(math.ceil(max(e[1] for e in edges))))
        for y in range(top, bottom):
            rows = []
            for k in range(SUBROWS):
                sy = y + (k + 0.5) / SUBROWS
                xs = sorted((xa + (sy - ya) * dxdy, d)
                            for ya, yb, xa, dxdy, d in edges if ya <= sy < yb)
                spans, wind, start = [], 0, 0.0
                for x, d in xs:
                    if wind == 0:
                        start = x
                    wind += d
                    if wind == 0 and x > start:
                        spans.append((max(start, 0.0), min(x, float(self.w))))
                rows.append([s for s in spans if s[0] < s[1]])
            self._fill_row(y, rows, paint, alpha)

    def _fill_row(self, y, rows, paint, alpha):
        # Pixels covered on every sub-row are filled as solid runs; only the
        # pixels along the edges get a coverage of their own.
        inner = [(math.ceil(a), math.floor(b)) for a, b in rows[0]]
        for spans in rows[1:]:
            inner = _intersect(inner, [(math.ceil(a), math.floor(b)) for a, b in spans])
        inner = [(a, b) for a, b in inner if a < b]
        cover = {}
        for spans in rows:
            for a, b in spans:
                x = int(math.floor(a))
                end = int(math.ceil(b))
                j = 0
                while x < end:
                    while j < len(inner) and inner[j][1] <= x:
                        j += 1
                    if j < len(inner) and inner[j][0] <= x:
                        x = inner[j][1]
                        continue
                    overlap = min(b, x + 1) - max(a, x)
                    if overlap > 0:
                        cover[x] = cover.get(x, 0.0) + overlap
                    x += 1
        for a, b in inner:
            self._span(y, a, b, paint, alpha)
        for x in sorted(cover):
            self._blend(x, y, paint, alpha * cover[x] / len(rows))

    def stroke(self, points, width, paint, alpha=1.0):
        self.fill(polyline_path(points, width), paint, alpha)

    def round_rect(self, x0, y0, x1, y1, r, paint, alpha=1.0):
        self.fill(round_rect_path(x0, y0, x1, y1, r), paint, alpha)

    def framed_round_rect(self, x0, y0, x1, y1, r, border, paint, width=1.0):
        """A rounded panel with an outline of the given width."""
        self.fill(round_rect_path(x0, y0, x1, y1, r), border)
        self.fill(round_rect_path(x0 + width, y0 + width, x1 - width, y1 - width,
                                  max(0.0, r - width)), paint)

    def shadow(self, x0, y0, x1, y1, r, color, spread=4, strength=0.35):
        """A soft drop shadow made of a few widening, faint layers, drawn
        only outside the panel that will cover it."""
        hole = list(reversed(round_rect_path(x0, y0, x1, y1, r)[0]))
        for i in range(spread, 0, -1):
            outer = round_rect_path(x0 - i + 2, y0 - i + 3, x1 + i + 2, y1 + i + 3, r + i)[0]
            self.fill([outer, hole], color, strength / spread)

    def circle(self, cx, cy, r, paint, alpha=1.0):
        self.fill(circle_path(cx, cy, r), paint, alpha)

    def replace(self, old, new):
        """Turns every pixel of one exact colour into another (button masks)."""
        self.px = [new if c == old else c for c in self.px]

    def blit(self, other, x, y):
        for row in range(other.h):
            yy = y + row
            if 0 <= yy < self.h:
                start = yy * self.w + x
                self.px[start:start + other.w] = other.px[row * other.w:(row + 1) * other.w]

    def paste(self, drawing, x, y):
        """Paints another drawing (rendered with this canvas's fonts) at x, y."""
        self.blit(drawing.render(self.fonts), x, y)

    # -- text

    def text(self, x, y, text, size, color=0, *, font='bold', anchor='lt', alpha=1.0, fit=None):
        """Draws a caption. anchor: l/c/r across, t/m/b down, of its box.
        fit: the widest it may be; a wider caption (another language's) is
        drawn a point smaller until it fits."""
        mw, mh, mask = self.fonts.mask(font, size, text)
        asked = size
        while fit and mw > fit and size > 7:
            size -= 1
            mw, mh, mask = self.fonts.mask(font, size, text)
        if size != asked:
            self.shrunk.append(text)
        x, y = _anchor(x, y, mw, mh, anchor)
        self.text_boxes.append((x, y, mw, mh))
        self._draw_mask(x, y, mw, mh, mask, color, alpha)
        return mw, mh

    def badge(self, x, y, text, size, color, fill, *, pad_x=10, pad_y=4, radius=6,
              font='bold', anchor='lt'):
        """A caption inside a rounded box sized to it."""
        mw, mh, mask = self.fonts.mask(font, size, text)
        bw, bh = mw + 2 * pad_x, mh + 2 * pad_y
        bx, by = _anchor(x, y, bw, bh, anchor)
        self.text_boxes.append((bx, by, bw, bh))
        self.round_rect(bx, by, bx + bw, by + bh, radius, fill)
        self._draw_mask(bx + pad_x, by + pad_y, mw, mh, mask, color, 1.0)

    def _draw_mask(self, x, y, mw, mh, mask, color, alpha):
        for row in range(mh):
            yy = y + row
            if not 0 <= yy < self.h:
                continue
            line = mask[row * mw:(row + 1) * mw]
            for col, m in enumerate(line):
                if m:
                    xx = x + col
                    if 0 <= xx < self.w:
                        self._blend(xx, yy, color, alpha * m / 255.0)


def _anchor(x, y, w, h, anchor):
    ax, ay = anchor[0], anchor[1]
    if ax == 'c':
        x -= w // 2
    elif ax == 'r':
        x -= w
    if ay == 'm':
        y -= h // 2
    elif ay == 'b':
        y -= h
    return int(round(x)), int(round(y))


def _intersect(a, b):
    out, i, j = [], 0, 0
    while i < len(a) and j < len(b):
        lo, hi = max(a[i][0], b[j][0]), min(a[i][1], b[j][1])
        if lo < hi:
            out.append((lo, hi))
        if a[i][1] < b[j][1]:
            i += 1
        else:
            j += 1
    return out
