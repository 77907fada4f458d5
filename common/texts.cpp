#include "common/texts.h"

#include "common/text_catalog.h"

namespace kova {
namespace {

Language g_language = Language::kPortuguese;
TextAudit* g_audit = nullptr;

std::string Lookup(std::string_view portuguese, bool audited) {
  const CatalogEntry* e = portuguese.empty() ? nullptr : FindCatalogEntry(portuguese);
  if (audited && g_audit && !e && !portuguese.empty()) g_audit->missing.emplace(portuguese);
  if (!e || g_language == Language::kPortuguese) return std::string(portuguese);
  return g_language == Language::kEnglish ? e->english : e->spanish;
}

}  // namespace

void SetLanguage(Language language) { g_language = language; }
Language CurrentLanguage() { return g_language; }

const char* LanguageCode(Language language) {
  switch (language) {
    case Language::kEnglish: return "en";
    case Language::kSpanish: return "es";
    case Language::kPortuguese: break;
  }
  return "pt";
}

Language LanguageOfCode(std::string_view code) {
  if (code == "en") return Language::kEnglish;
  if (code == "es") return Language::kSpanish;
  return Language::kPortuguese;
}

std::string Tr(std::string_view portuguese) { return Lookup(portuguese, true); }

bool InAnyLanguage(std::string_view text, std::string_view portuguese) {
  if (text == portuguese) return true;
  const CatalogEntry* e = FindCatalogEntry(portuguese);
  return e && (text == e->english || text == e->spanish);
}

std::string TrFormat(std::string_view portuguese, std::initializer_list<std::string_view> args) {
  std::string text = Lookup(portuguese, true);
  std::size_t n = 0;
  for (std::string_view arg : args) {
    const std::string mark = "{" + std::to_string(n++) + "}";
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + arg.size()))
      text.replace(at, mark.size(), arg);
  }
  if (g_audit) g_audit->composed.insert(text);
  return text;
}

std::string ShownText(std::string_view text) { return Lookup(text, false); }

void AuditTexts(TextAudit* audit) { g_audit = audit; }

}  // namespace kova
