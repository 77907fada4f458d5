"""The pictures' words in English and Spanish.

The pictures are drawn in Portuguese. Their captions are looked up in the
program's text catalog (common/text_catalog.cpp, the one place the
translations live) and the pictures drawn again with the translated
captions:

- a small picture (a button) becomes a picture of its own per language;
- a large one (a background, the splash) gives one strip per caption: the
  rectangle that holds the Portuguese and the translated caption, cut from
  the translated picture. Loading the picture lays its strips over it.

A caption that is not in the catalog stops the build, unless it holds no
words to translate (model names, units, numbers: "BRIO  ·  VELA plus",
"x 1000 rpm"). The numbers of the new bitmaps start at IDB_LANGUAGE_FIRST
and follow the pictures' order, so a build gives the same numbers every
time; art_languages.h tells the program which is which.
"""

import re

LANGUAGES = ((1, 'en'), (2, 'es'))  # index of common/texts.h's Language, code
SMALL_AREA = 100 * 40                # up to this many pixels a picture is redrawn whole
MARGIN = 2                           # pixels around a caption's strip

# Words a picture may show in every language.
NEUTRAL_WORDS = {'KOVA', 'BRIO', 'VELA', 'plus', 'RPM', 'rpm', 'TPS', 'V', 'ms', 'x'}

_LITERAL = r'"(?:[^"\\]|\\.)*"'
_ENTRY = re.compile(r'\{\s*((?:%s\s*)+),\s*((?:%s\s*)+),\s*((?:%s\s*)+)\}'
                    % (_LITERAL, _LITERAL, _LITERAL))
_ESCAPES = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', "'": "'"}


def _c_string(literals):
    """The value of adjacent C string literals ("a" "b")."""
    out = []
    for lit in re.findall(_LITERAL, literals):
        body = lit[1:-1]
        out.append(re.sub(r'\\(.)', lambda m: _ESCAPES.get(m.group(1), m.group(1)), body))
    return ''.join(out)


def read_catalog(path):
    """Portuguese text -> (English, Spanish), from the entries of kEntries."""
    with open(path, encoding='utf-8') as f:
        text = f.read()
    start = text.find('kEntries[]')
    if start < 0:
        raise SystemExit('%s: no kEntries' % path)
    catalog = {}
    for m in _ENTRY.finditer(text, start):
        catalog[_c_string(m.group(1))] = (_c_string(m.group(2)), _c_string(m.group(3)))
    return catalog


def neutral(text):
    """Whether a caption has no words that change with the language."""
    return all(w in NEUTRAL_WORDS for w in re.findall(r'[^\W\d_]+', text))


def _captions(drawing):
    return [(k, args[2]) for k, (name, args, _) in enumerate(drawing.ops)
            if name in ('text', 'badge')]


def _translated(drawing, catalog, code):
    """A copy of the drawing with its captions in the language; None when no
    caption changes."""
    from raster import Drawing
    lang = 0 if code == 'en' else 1
    copy = Drawing(drawing.width, drawing.height, drawing.background)
    copy.keep_colors = drawing.keep_colors
    changed = False
    for name, args, kwargs in drawing.ops:
        if name in ('text', 'badge') and not neutral(args[2]):
            shown = catalog[args[2]][lang]
            if shown != args[2]:
                args = args[:2] + (shown,) + args[3:]
                changed = True
        copy.ops.append((name, args, kwargs))
    return copy if changed else None


def check_captions(entries, catalog):
    """Every caption with words has its English and Spanish form."""
    missing = []
    for file_name, _, drawing in entries:
        for name, args, _ in drawing.ops:
            if name == 'paste' and any(not neutral(t) for _, _, t in args[0].texts()):
                missing.append('%s: a pasted drawing with words' % file_name)
        for _, text in _captions(drawing):
            if not neutral(text) and text not in catalog:
                missing.append('%s: "%s"' % (file_name, text))
    if missing:
        raise SystemExit('captions without English and Spanish in common/text_catalog.cpp:\n  '
                         + '\n  '.join(missing))


def plan(entries, catalog, first_number):
    """What the other languages add, without drawing anything: a list of
    (file name, number, kind, picture number, language index, drawing,
    caption index) with kind 'variant' or 'strip'."""
    check_captions(entries, catalog)
    out, number = [], first_number
    for file_name, picture, drawing in sorted(entries, key=lambda e: e[1]):
        base = file_name[:-4]
        for index, code in LANGUAGES:
            other = _translated(drawing, catalog, code)
            if other is None:
                continue
            if drawing.width * drawing.height <= SMALL_AREA:
                out.append(('%s_%s.bmp' % (base, code), number, 'variant', picture, index,
                            other, None))
                number += 1
                continue
            for k, (op, text) in enumerate(_captions(drawing)):
                if other.ops[op][1][2] == text:
                    continue
                out.append(('%s_%s_%d.bmp' % (base, code, k), number, 'strip', picture, index,
                            other, k))
                number += 1
    return out


def _box(box):
    x, y, w, h = box
    return (x - MARGIN, y - MARGIN, x + w + MARGIN, y + h + MARGIN)


def strips(drawing, other, fonts):
    """The translated picture, and per caption the rectangle (x0, y0, x1,
    y1) its strip covers. Every pixel the translation changes lies in one
    of them, or the build stops."""
    from raster import Canvas  # noqa: F401  (the canvases come from render)
    base = drawing.render(fonts)
    shown = other.render(fonts)
    rects = []
    for before, after in zip(base.text_boxes, shown.text_boxes):
        a, b = _box(before), _box(after)
        rects.append((max(0, min(a[0], b[0])), max(0, min(a[1], b[1])),
                      min(base.w, max(a[2], b[2])), min(base.h, max(a[3], b[3]))))
    for y in range(base.h):
        row = y * base.w
        for x in range(base.w):
            if base.px[row + x] != shown.px[row + x] and not any(
                    r[0] <= x < r[2] and r[1] <= y < r[3] for r in rects):
                raise SystemExit('a translated caption changes the picture outside its strip '
                                 'at %d,%d' % (x, y))
    return shown, rects


def crop(canvas, rect):
    from raster import Canvas
    x0, y0, x1, y1 = rect
    out = Canvas(x1 - x0, y1 - y0, 0)
    for y in range(y0, y1):
        out.px[(y - y0) * out.w:(y - y0 + 1) * out.w] = canvas.px[y * canvas.w + x0:y * canvas.w + x1]
    return out


def header_text(variants, patches):
    """art_languages.h: which bitmap shows a picture in a language, and
    which strips go where over it."""
    lines = ['// Generated by resources/art/generate_art.py: the pictures in English (1)',
             '// and Spanish (2). A variant replaces a picture whole; a strip is laid',
             '// over it at x, y.',
             '#pragma once',
             '',
             'namespace kova::art {',
             '',
             'struct Variant {',
             '  int picture, language, bitmap;',
             '};',
             'struct Patch {',
             '  int picture, language, bitmap, x, y;',
             '};',
             '',
             'inline constexpr Variant kVariants[] = {']
    lines += ['    {%d, %d, %d},' % v for v in variants] or ['    {0, 0, 0},']
    lines += ['};', '', 'inline constexpr Patch kPatches[] = {']
    lines += ['    {%d, %d, %d, %d, %d},' % p for p in patches] or ['    {0, 0, 0, 0, 0},']
    lines += ['};', '', '}  // namespace kova::art', '']
    return '\n'.join(lines)
