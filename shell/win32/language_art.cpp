#include "shell/win32/language_art.h"

#include "art_languages.h"
#include "common/texts.h"

namespace kova {
namespace {

int LanguageIndex() { return static_cast<int>(CurrentLanguage()); }

}  // namespace

int LanguageBitmap(HINSTANCE instance, int id) {
  for (const art::Variant& v : art::kVariants)
    if (v.picture == id && v.language == LanguageIndex() &&
        FindResourceW(instance, MAKEINTRESOURCEW(v.bitmap), MAKEINTRESOURCEW(2 /* RT_BITMAP */)))
      return v.bitmap;
  return id;
}

HBITMAP LoadLanguagePicture(HINSTANCE instance, int id, UINT flags) {
  auto picture = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(LanguageBitmap(instance, id)), IMAGE_BITMAP, 0, 0, flags));
  if (!picture) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HDC source = CreateCompatibleDC(screen);
  HGDIOBJ old_target = SelectObject(target, picture);
  for (const art::Patch& p : art::kPatches) {
    if (p.picture != id || p.language != LanguageIndex()) continue;
    auto strip = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(p.bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) continue;  // the Portuguese words stay rather than a hole
    BITMAP bm = {};
    GetObjectW(strip, sizeof bm, &bm);
    HGDIOBJ old_source = SelectObject(source, strip);
    BitBlt(target, p.x, p.y, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old_source);
    DeleteObject(strip);
  }
  SelectObject(target, old_target);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  return picture;
}

}  // namespace kova
