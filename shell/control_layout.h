// Portable geometry and style rules of the custom controls: where a bitmap
// button puts its image, text and focus frame, and how a font label reads
// its style flags. The Win32 controls paint with these results.
#pragma once
#include <string>

namespace kova {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// Bitmap button style flags.
enum : unsigned {
  kButtonText = 1,          // draw the caption
  kButtonImageRight = 2,    // image at the right edge
  kButtonCentreV = 4,       // image centred vertically
  kButtonImageBottom = 8,   // image at the bottom edge
  kButtonCentreH = 16,      // image centred horizontally
  kButtonFocusText = 32,    // focus frame round the text, not the inside
  kButtonDefaultStyle = 37,
  kButtonScreenStyle = kButtonCentreV | kButtonCentreH,  // what every screen uses
};

struct ButtonLayout {
  Rect image, text, focus;
};

// Layout for a client area of width x height and an image of w x h.
ButtonLayout ComputeButtonLayout(int width, int height, int w, int h, unsigned style);

// The frame drawn as the dotted focus rectangle of an item rectangle.
Rect FocusFrame(const Rect& item, const ButtonLayout& layout, unsigned style);

// Font label style: five style bytes and one of three alignments.
enum class Align { Left, Centre, Right };

struct LabelStyle {
  bool bold = false, italic = false, underline = false, strike = false, antialias = false;
  Align align = Align::Left;
  // Bits 0-4 switch style bytes on (never off); the alignment is then
  // reset: bit 5 centres, else 128 or more aligns right, else left.
  void Apply(unsigned flags);
  int Weight() const { return bold ? 900 : 400; }
};

// The label fonts of the screens: titles and field labels.
struct LabelFont {
  std::string face;
  int height;
  unsigned flags;
};
inline const LabelFont kTitleFontCentred{"Ms Sans Serif", 20, 1u | 32u};
inline const LabelFont kTitleFontLeft{"Ms Sans Serif", 20, 1u};
inline const LabelFont kFieldLabelFont{"Ms Sans Serif", 14, 1u};

}  // namespace kova
