#include "common/texts.h"

#include "common/text_catalog.h"

namespace kova {
namespace {

Language g_language = Language::kPortuguese;

}  // namespace

void SetLanguage(Language language) { g_language = language; }
Language CurrentLanguage() { return g_language; }

std::string Tr(std::string_view portuguese) {
  if (g_language == Language::kPortuguese) return std::string(portuguese);
  if (const CatalogEntry* e = FindCatalogEntry(portuguese))
    return g_language == Language::kEnglish ? e->english : e->spanish;
  return std::string(portuguese);
}

std::string TrFormat(std::string_view portuguese, std::initializer_list<std::string_view> args) {
  std::string text = Tr(portuguese);
  std::size_t n = 0;
  for (std::string_view arg : args) {
    const std::string mark = "{" + std::to_string(n++) + "}";
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + arg.size()))
      text.replace(at, mark.size(), arg);
  }
  return text;
}

}  // namespace kova
