// Where a screen's window goes: inside the work area of its monitor (the
// monitor less the taskbar, wherever the taskbar sits), centred, and scaled
// down, never up, when its picture does not fit, so that every button can
// be reached. A laptop of 1366 x 768 at 150 % gives a program that is not
// DPI-aware a work area of about 911 x 485; the data screens are 800 x 580.
#pragma once
#include "shell/control_layout.h"

namespace kova {

struct WindowPlacement {
  Rect window;         // the whole window, in screen coordinates
  double scale = 1.0;  // of the client area against the picture; at most 1
  bool operator==(const WindowPlacement&) const = default;
};

// A client area of `width` x `height` inside a frame that adds `frame_w` x
// `frame_h`, placed in `work`. An empty work area leaves the size as it is,
// at the work area's corner.
WindowPlacement PlaceInWorkArea(int width, int height, int frame_w, int frame_h, const Rect& work);

}  // namespace kova
