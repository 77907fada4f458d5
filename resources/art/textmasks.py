"""Caption rendering through ImageMagick, all captions in one call.

Each caption becomes a grey mask (255 = ink). ImageMagick's `label:` draws
it with the first font of each family that this machine has; DejaVu comes
with fontconfig on the machines we build on.
"""

import subprocess

FONT_CHOICES = {
    'bold': ['DejaVu-Sans-Bold', 'Liberation-Sans-Bold', 'Nimbus-Sans-Bold',
             'Helvetica-Bold'],
    'regular': ['DejaVu-Sans', 'Liberation-Sans', 'Nimbus-Sans-Regular', 'Helvetica'],
    'condensed': ['DejaVu-Sans-Condensed-Bold', 'Liberation-Sans-Narrow-Bold',
                  'Nimbus-Sans-Narrow-Bold', 'DejaVu-Sans-Bold', 'Helvetica-Narrow-Bold'],
}


def _available_fonts(convert):
    out = subprocess.run([convert, '-list', 'font'], check=True,
                         capture_output=True, text=True).stdout
    return {line.split(':', 1)[1].strip() for line in out.splitlines()
            if line.strip().startswith('Font:')}


def _escape(text):
    # label: expands %-escapes and backslashes, and a leading @ names a file.
    text = text.replace('\\', '\\\\').replace('%', '%%')
    return '\\@' + text[1:] if text.startswith('@') else text


def _read_pgm_stream(data):
    """Splits concatenated binary PGM (P5, 8-bit) images."""
    images, pos = [], 0
    while pos < len(data):
        fields = []
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b'#':
                pos = data.index(b'\n', pos)
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pos += 1  # the single whitespace before the pixels
        if fields[0] != b'P5' or int(fields[3]) != 255:
            raise ValueError('unexpected image from ImageMagick: %r' % fields)
        w, h = int(fields[1]), int(fields[2])
        images.append((w, h, data[pos:pos + w * h]))
        pos += w * h
    return images


class Fonts:
    def __init__(self, convert='convert'):
        self.convert = convert
        self.masks = {}
        available = _available_fonts(convert)
        self.faces = {}
        for family, choices in FONT_CHOICES.items():
            self.faces[family] = next((f for f in choices if f in available), None)

    def prepare(self, keys):
        """Renders every (font, size, text) not rendered yet, in one call."""
        todo = sorted(set(k for k in keys if k not in self.masks),
                      key=lambda k: (k[0], k[1], k[2]))
        if not todo:
            return
        args = [self.convert, '-background', 'black', '-fill', 'white',
                '-density', '72', '-depth', '8']
        for font, size, text in todo:
            face = self.faces.get(font)
            if face:
                args += ['-font', face]
            args += ['-pointsize', str(size), 'label:' + _escape(text)]
        args += ['-colorspace', 'gray', 'pgm:-']
        data = subprocess.run(args, check=True, capture_output=True).stdout
        images = _read_pgm_stream(data)
        if len(images) != len(todo):
            raise RuntimeError('ImageMagick returned %d captions for %d'
                               % (len(images), len(todo)))
        for key, (w, h, pixels) in zip(todo, images):
            self.masks[key] = (w, h, bytes(pixels))

    def mask(self, font, size, text):
        key = (font, size, text)
        if key not in self.masks:
            self.prepare([key])
        return self.masks[key]

