// Names as Windows compares them: UTF-16 code unit by code unit, ignoring
// case, with no code page in between (CompareStringOrdinal). Folding
// through Windows-1252 would turn every Cyrillic or Chinese letter into
// "?" and make "Анна" equal "Иван". Texts are UTF-8.
#pragma once
#include <string_view>

namespace kova {

bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kova
