#include "shell/win32/language_art.h"

#include <cstring>
#include <vector>

#include "art_languages.h"
#include "common/rle8.h"
#include "common/texts.h"

namespace kova {
namespace {

int LanguageIndex() { return static_cast<int>(CurrentLanguage()); }

// Bitmap resource `id` as LoadImage loads it, except that a run-length-coded
// one (which LoadImage cannot make a DIB section of) is expanded here.
HBITMAP LoadPicture(HINSTANCE instance, int id, UINT flags) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2 /* RT_BITMAP */));
  const auto* data =
      found ? static_cast<const uint8_t*>(LockResource(LoadResource(instance, found))) : nullptr;
  const DWORD size = found ? SizeofResource(instance, found) : 0;
  BITMAPINFOHEADER header = {};
  if (data && size >= sizeof header) std::memcpy(&header, data, sizeof header);
  if (header.biCompression != BI_RLE8)
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags));
  const DWORD colours = header.biClrUsed ? header.biClrUsed : 256;
  const size_t bits_at = header.biSize + 4 * static_cast<size_t>(colours);
  if (header.biBitCount != 8 || colours > 256 || header.biHeight <= 0 || bits_at > size)
    return nullptr;
  // The same header and palette, uncompressed.
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 4 * 256);
  std::memcpy(info.data(), data, sizeof header);
  std::memcpy(info.data() + sizeof header, data + header.biSize, 4 * colours);
  auto* plain = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  plain->biSize = sizeof header;
  plain->biCompression = BI_RGB;
  plain->biSizeImage = 0;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!picture) return nullptr;
  const size_t stride = (static_cast<size_t>(header.biWidth) + 3) & ~size_t{3};
  std::memset(bits, 0, stride * static_cast<size_t>(header.biHeight));
  if (!ExpandRle8(data + bits_at, size - bits_at, header.biWidth, header.biHeight,
                  static_cast<uint8_t*>(bits), stride)) {
    DeleteObject(picture);
    return nullptr;
  }
  if (flags & LR_CREATEDIBSECTION) return picture;
  // In the screen's own format, as LoadImage gives it: quick to paint.
  HDC screen = GetDC(nullptr);
  HBITMAP device = CreateCompatibleBitmap(screen, header.biWidth, header.biHeight);
  HDC target = CreateCompatibleDC(screen), source = CreateCompatibleDC(screen);
  if (device) {
    HGDIOBJ old_target = SelectObject(target, device), old_source = SelectObject(source, picture);
    BitBlt(target, 0, 0, header.biWidth, header.biHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old_source);
    SelectObject(target, old_target);
  }
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  if (!device) return picture;
  DeleteObject(picture);
  return device;
}

}  // namespace

int LanguageBitmap(HINSTANCE instance, int id) {
  for (const art::Variant& v : art::kVariants)
    if (v.picture == id && v.language == LanguageIndex() &&
        FindResourceW(instance, MAKEINTRESOURCEW(v.bitmap), MAKEINTRESOURCEW(2 /* RT_BITMAP */)))
      return v.bitmap;
  return id;
}

HBITMAP LoadLanguagePicture(HINSTANCE instance, int id, UINT flags) {
  HBITMAP picture = LoadPicture(instance, LanguageBitmap(instance, id), flags);
  if (!picture) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HDC source = CreateCompatibleDC(screen);
  HGDIOBJ old_target = SelectObject(target, picture);
  for (const art::Patch& p : art::kPatches) {
    if (p.picture != id || p.language != LanguageIndex()) continue;
    HBITMAP strip = LoadPicture(instance, p.bitmap, LR_CREATEDIBSECTION);
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
