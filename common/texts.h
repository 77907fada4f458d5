// The texts KOVA.exe shows, in the language the technician chose. The
// Portuguese text stays in the code as it is and is the key of a catalog
// that gives its English and Spanish forms; a text the catalog lacks is
// shown as it is. Files (parameter files, KOVA.INI keys, dumps) never go
// through here: they are the same in every language.
//
// Texts are translated where they are shown: the window side passes every
// text it is handed through ShownText, and the dialog templates' texts when
// a screen opens. A text made of parts is put together with TrFormat where
// it is made, so that its parts can stand in another order.
#pragma once
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

namespace kova {

enum class Language { kPortuguese, kEnglish, kSpanish };

void SetLanguage(Language language);
Language CurrentLanguage();

// The language's code in KOVA.INI ("pt", "en", "es"), and back: anything
// else is Portuguese.
const char* LanguageCode(Language language);
Language LanguageOfCode(std::string_view code);

// The text in the current language.
std::string Tr(std::string_view portuguese);
// A text with {0}, {1} ... in it: translated, then each placeholder
// replaced by its argument (values, names, numbers: never translated).
std::string TrFormat(std::string_view portuguese, std::initializer_list<std::string_view> args);

// Whether a text is this Portuguese text in any of the three languages (a
// file written in another language read back).
bool InAnyLanguage(std::string_view text, std::string_view portuguese);

// What a window shows for a text it was handed: the catalog's form when
// the text is a catalog key, anything else as it is (a text already put
// together by TrFormat, a number, what the user typed).
std::string ShownText(std::string_view text);

// For the checks of the catalog: while set, every Tr and TrFormat whose
// key has no entry is noted in `missing` (in every language, Portuguese
// too), and every text TrFormat put together in `composed`.
struct TextAudit {
  std::set<std::string> missing;
  std::set<std::string> composed;
};
void AuditTexts(TextAudit* audit);

}  // namespace kova
