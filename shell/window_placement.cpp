#include "shell/window_placement.h"

#include <algorithm>

namespace kova {

WindowPlacement PlaceInWorkArea(int width, int height, int frame_w, int frame_h, const Rect& work) {
  WindowPlacement p;
  if (width > 0 && height > 0 && work.width() > frame_w && work.height() > frame_h) {
    p.scale = std::min({1.0, static_cast<double>(work.width() - frame_w) / width,
                        static_cast<double>(work.height() - frame_h) / height});
  }
  // Rounded down, so the scaled window never spills a pixel past the area.
  const int w = static_cast<int>(width * p.scale) + frame_w;
  const int h = static_cast<int>(height * p.scale) + frame_h;
  const int left = work.left + std::max(0, (work.width() - w) / 2);
  const int top = work.top + std::max(0, (work.height() - h) / 2);
  p.window = {left, top, left + w, top + h};
  return p;
}

}  // namespace kova
