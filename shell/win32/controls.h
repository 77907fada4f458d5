// The home-made controls of the screens: bitmap button, font label,
// floating-point spin control and the splash window. They paint and relay
// messages; their arithmetic lives in control_layout.h and float_spin.h.
#pragma once
#include "shell/win32/win32.h"
#include <commctrl.h>

#include <string>

#include "shell/control_layout.h"
#include "shell/float_spin.h"

namespace kova {

// Owner-drawn push button showing a bitmap resource.
class BitmapButton {
 public:
  BitmapButton() = default;
  BitmapButton(const BitmapButton&) = delete;
  BitmapButton& operator=(const BitmapButton&) = delete;
  ~BitmapButton() { Release(); }

  void Attach(HWND button) { button_ = button; }
  HWND hwnd() const { return button_; }
  // Loads the image, shrunk by `scale` when the screen is shown smaller
  // than its picture; the mask colour is transparent. False when the
  // resource is missing (the button then shows no image).
  bool SetBitmaps(HINSTANCE instance, int bitmap_id, COLORREF mask, double scale = 1.0);
  void SetStyle(unsigned style);
  void SetTextColour(COLORREF colour) { text_colour_ = colour; }
  void Draw(const DRAWITEMSTRUCT& item);
  void Relayout();

 private:
  void Release();
  HWND button_ = nullptr;
  HBITMAP image_ = nullptr, disabled_ = nullptr;
  HIMAGELIST list_ = nullptr;
  int width_ = 0, height_ = 0;
  bool loaded_ = false;
  unsigned style_ = kButtonDefaultStyle;
  ButtonLayout layout_;
  COLORREF text_colour_ = GetSysColor(COLOR_WINDOWTEXT);
};

// The font a font label paints with (null when it cannot be made); the
// caller deletes it.
HFONT CreateLabelFont(const std::wstring& face, int height, const LabelStyle& style);

// Static text painted with its own font over the screen's background.
class FontLabel {
 public:
  FontLabel() = default;
  FontLabel(const FontLabel&) = delete;
  FontLabel& operator=(const FontLabel&) = delete;
  ~FontLabel();

  void Attach(HWND label);
  void SetFont(const std::wstring& face, int height, COLORREF colour, unsigned flags);
  void SetStyle(unsigned flags) { style_.Apply(flags); }
  void SetColour(COLORREF colour);
  HWND hwnd() const { return label_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Paint();
  HWND label_ = nullptr;
  LabelStyle style_;
  std::wstring face_ = L"MS Sans Serif";
  std::wstring text_;
  COLORREF colour_ = 0;
  int height_ = 8;
};

// Up-down control whose buddy edit holds a floating-point value.
class FloatSpinControl {
 public:
  FloatSpinControl();
  void Attach(HWND updown);  // applies the current range and step again
  HWND hwnd() const { return updown_; }
  void SetRangeAndStep(double min, double max, double step);
  void SetPosition(double value);
  double GetPosition() const;
  void SetDecimals(int n) { model_.SetDecimals(n); }
  void SetFormat(const std::string& format) { model_.SetFormat(format); }
  // UDN_DELTAPOS: steps the value; the notification is always accepted.
  LRESULT OnDeltaPos(const NMUPDOWN& change);

 private:
  HWND Buddy() const;
  HWND updown_ = nullptr;
  FloatSpinModel model_;
  double value_ = 0.0;
};

// The start-up picture: bitmap 180, 1000 ms or the first key or click.
namespace splash {
void Enable(bool allowed);
// Shows it over `parent` when allowed and none is showing.
void Show(HINSTANCE instance, HWND parent, int bitmap_id);
// Whether the message was swallowed (it hid the splash).
bool PreTranslate(const MSG& msg);
bool Visible();
}  // namespace splash

// Paints the part of `parent`'s tiled background that lies under `child`.
void PaintParentBackground(HWND child, HDC dc);

// A new bitmap of `bitmap` shrunk (or grown) by `scale`; `smooth` blends
// neighbouring pixels, which pictures want and masked images must not have.
// Null when it cannot be made.
HBITMAP ScaledCopy(HBITMAP bitmap, double scale, bool smooth);

}  // namespace kova
