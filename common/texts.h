// The texts KOVA.exe shows, in the language the technician chose. The
// Portuguese text stays in the code as it is and is the key of a catalog
// that gives its English and Spanish forms; a text the catalog lacks is
// shown as it is. Files (parameter files, KOVA.INI keys, dumps) never go
// through here: they are the same in every language.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace kova {

enum class Language { kPortuguese, kEnglish, kSpanish };

void SetLanguage(Language language);
Language CurrentLanguage();

// The text in the current language.
std::string Tr(std::string_view portuguese);
// A text with {0}, {1} ... in it: translated, then each placeholder
// replaced by its argument (values, names, numbers: never translated).
std::string TrFormat(std::string_view portuguese, std::initializer_list<std::string_view> args);

}  // namespace kova
