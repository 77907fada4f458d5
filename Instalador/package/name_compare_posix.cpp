// Off Windows (the tools, the native tests) the system's upper-case table
// is not at hand; this one covers the scripts a workshop PC meets in folder
// and user names: Latin, Greek, Cyrillic, Armenian and full-width Latin.
// A letter it does not know compares only with itself, which can only make
// two names differ: the safe answer for every caller.
#include "Instalador/package/name_compare.h"

#include <string>

#include "common/cp1252.h"

namespace kova {

namespace {

// Case pairs laid out as upper, lower, upper, lower ... from `first`.
bool Alternating(char32_t c, char32_t first, char32_t last) {
  return c >= first && c <= last && (c - first) % 2 == 1;
}

char32_t Upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0x80) return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0xB5) return 0x39C;
  if (Alternating(c, 0x100, 0x12F) || Alternating(c, 0x132, 0x137) ||
      Alternating(c, 0x14A, 0x177) || Alternating(c, 0x1E00, 0x1E95) ||
      Alternating(c, 0x1EA0, 0x1EFF) || Alternating(c, 0x460, 0x481) ||
      Alternating(c, 0x48A, 0x4BF) || Alternating(c, 0x4D0, 0x52F))
    return c - 1;
  if (Alternating(c, 0x139, 0x148) || Alternating(c, 0x179, 0x17E) || Alternating(c, 0x4C1, 0x4CE))
    return c - 1;
  if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0x561 && c <= 0x586) return c - 0x30;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

std::u32string Code(std::string_view utf8) {
  const std::wstring wide = Utf8ToWide(utf8);  // 32-bit code points here
  return std::u32string(wide.begin(), wide.end());
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  const std::u32string ca = Code(a), cb = Code(b);
  if (ca.size() != cb.size()) return false;
  for (size_t i = 0; i < ca.size(); ++i)
    if (Upper(ca[i]) != Upper(cb[i])) return false;
  return true;
}

}  // namespace kova
