#include <windows.h>

#include "Instalador/package/name_compare.h"
#include "common/cp1252.h"

namespace kova {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  const std::wstring wa = Utf8ToWide(a), wb = Utf8ToWide(b);
  return ::CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace kova
