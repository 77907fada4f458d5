#include "shell/control_layout.h"

#include <algorithm>

namespace kova {

ButtonLayout ComputeButtonLayout(int width, int height, int w, int h, unsigned style) {
  ButtonLayout l;
  int left = 6, top = 6;
  if (style & kButtonImageRight) left = width - w - 6;
  if ((style & kButtonCentreV) && height - h >= 1)
    top = std::max((height - h) / 2, 4);
  else if (style & kButtonImageBottom)
    top = std::max(height - h - 6, 6);
  if ((style & kButtonCentreH) && width - w > 0) left = std::max((width - w) / 2, 4);
  l.image = {left, top, left + w, top + h};
  if (style & kButtonText) {
    // The caption takes the width beside the image (or the whole inside
    // when the image is centred), with a 4-pixel margin.
    Rect t{4, 4, width - 4, height - 4};
    if (!(style & kButtonCentreH)) {
      if (style & kButtonImageRight)
        t.right = std::max(t.left, l.image.left - 4);
      else
        t.left = std::min(t.right, l.image.right + 4);
    }
    l.text = t;
    l.focus = {t.left - 2, t.top - 2, t.right + 2, t.bottom + 2};
  }
  return l;
}

Rect FocusFrame(const Rect& item, const ButtonLayout& layout, unsigned style) {
  if ((style & kButtonFocusText) && (style & kButtonText)) return layout.focus;
  return {item.left + 3, item.top + 3, item.right - 3, item.bottom - 3};
}

void LabelStyle::Apply(unsigned flags) {
  if (flags & 1) bold = true;
  if (flags & 2) italic = true;
  if (flags & 4) underline = true;
  if (flags & 8) strike = true;
  if (flags & 16) antialias = true;
  if (flags & 32)
    align = Align::Centre;
  else if (flags >= 128)
    align = Align::Right;
  else
    align = Align::Left;
}

}  // namespace kova
