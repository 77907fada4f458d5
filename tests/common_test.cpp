#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "common/clock.h"
#include "common/cp1252.h"
#include "common/text_catalog.h"
#include "common/texts.h"

namespace kova {

TEST(VirtualClock, RecordsWaitsAndAdvancesTime) {
  VirtualClock c;
  c.Sleep(400);
  c.Advance(5);
  c.Sleep(100);
  EXPECT_EQ(c.Now(), 505u);
  EXPECT_EQ(c.Waits(), (std::vector<uint32_t>{400, 100}));
  EXPECT_EQ(c.TotalWaited(), 500u);
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8AndWide) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(WideToCp1252(Cp1252ToWide(all)), all);
}

TEST(Cp1252, PortugueseTextAndSpecials) {
  EXPECT_EQ(Utf8ToCp1252("Padrão"), "Padr\xE3o");
  EXPECT_EQ(Utf8ToCp1252("€"), "\x80");
  EXPECT_EQ(Cp1252ToWide("\x80"), L"\u20AC");
  EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");  // not in 1252
  // A truncated sequence at the end is taken byte for byte, never read past.
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a\xC3");
  EXPECT_EQ(WideToUtf8(Utf8ToWide("Já existe")), "Já existe");
}

TEST(Texts, TranslatedWhereTheCatalogHasTheTextAndComposedInEachLanguage) {
  SetLanguage(Language::kEnglish);
  EXPECT_EQ(Tr("Arquivo"), "File");
  EXPECT_EQ(Tr("not in the catalog"), "not in the catalog");
  EXPECT_EQ(ShownText("Equipamento"), "Controller");
  EXPECT_EQ(ShownText("12.50"), "12.50");
  EXPECT_EQ(TrFormat("Gravando {0} ({1} de {2})…", {"2C", "2", "5"}), "Writing 2C (2 of 5)…");
  EXPECT_EQ(TrFormat("Arquivos Padrão Kova (*.{0})|*.{0}|", {"BRIO"}),
            "Kova Standard Files (*.BRIO)|*.BRIO|");
  SetLanguage(Language::kSpanish);
  EXPECT_EQ(Tr("Arquivo"), "Archivo");
  TextAudit audit;
  AuditTexts(&audit);
  EXPECT_EQ(TrFormat("Gravando em {0}", {"C:\\x.csv"}), "Grabando en C:\\x.csv");
  Tr("sem entrada");
  ShownText("nem esta");
  AuditTexts(nullptr);
  EXPECT_EQ(audit.missing, (std::set<std::string>{"sem entrada"}));
  EXPECT_EQ(audit.composed, (std::set<std::string>{"Grabando en C:\\x.csv"}));
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(Tr("Arquivo"), "Arquivo");
  EXPECT_EQ(TrFormat("Gravando {0} ({1} de {2})…", {"2C", "2", "5"}), "Gravando 2C (2 de 5)…");
  for (auto [code, language] : {std::pair{"pt", Language::kPortuguese}, {"en", Language::kEnglish},
                                {"es", Language::kSpanish}}) {
    EXPECT_STREQ(LanguageCode(language), code);
    EXPECT_EQ(LanguageOfCode(code), language);
  }
  EXPECT_EQ(LanguageOfCode("de"), Language::kPortuguese);
}

// Every entry is whole and unambiguous: one line a Portuguese text, both
// forms given with the same parts, and a text shown once is not looked up
// again as another one (the window translates what it is handed).
TEST(TextCatalog, EveryEntryIsWholeAndAShownTextStaysAsItIs) {
  const std::regex mark(R"(\{\d\})");
  auto marks = [&](const std::string& s) {
    std::multiset<std::string> m;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), mark); it != std::sregex_iterator(); ++it)
      m.insert(it->str());
    return m;
  };
  std::set<std::string> keys;
  for (const CatalogEntry& e : CatalogEntries()) {
    EXPECT_TRUE(keys.insert(e.portuguese).second) << "twice: " << e.portuguese;
    EXPECT_EQ(FindCatalogEntry(e.portuguese), &e);
    for (auto [language, text] : {std::pair{Language::kEnglish, e.english}, {Language::kSpanish, e.spanish}}) {
      EXPECT_STRNE(text, "") << e.portuguese;
      EXPECT_EQ(marks(text), marks(e.portuguese)) << text;
      SetLanguage(language);
      EXPECT_EQ(ShownText(text), text) << "shown twice it changes: " << text;
    }
  }
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(FindCatalogEntry("no such text"), nullptr);
}

}  // namespace kova
