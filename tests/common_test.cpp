#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "common/clock.h"
#include "common/cp1252.h"
#include "common/rle8.h"
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

TEST(Texts, TranslatedWhereTheCatalogHasTheTextComposedAndAudited) {
  TextAudit audit;
  AuditTexts(&audit);
  SetLanguage(Language::kSpanish);
  EXPECT_EQ(Tr("Arquivo"), "Archivo");
  EXPECT_EQ(TrFormat("Gravando {0} ({1} de {2})…", {"2C", "2", "5"}), "Grabando 2C (2 de 5)…");
  EXPECT_EQ(Tr("sem entrada"), "sem entrada");
  EXPECT_EQ(ShownText("12.50"), "12.50");  // not audited: what a window is handed
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(TrFormat("Arquivos Padrão Kova (*.{0})|*.{0}|", {"VELA"}), "Arquivos Padrão Kova (*.VELA)|*.VELA|");
  AuditTexts(nullptr);
  EXPECT_EQ(audit.missing, (std::set<std::string>{"sem entrada"}));
  EXPECT_EQ(audit.composed, (std::set<std::string>{"Grabando 2C (2 de 5)…", "Arquivos Padrão Kova (*.VELA)|*.VELA|"}));
  EXPECT_EQ(LanguageOfCode(LanguageCode(Language::kEnglish)), Language::kEnglish);
  EXPECT_EQ(LanguageOfCode("de"), Language::kPortuguese);
}

// Every entry is whole: one line a Portuguese text, both forms given with
// the same parts, and a shown text is not looked up again as another one
// (the window translates what it is handed, composed texts included).
TEST(TextCatalog, EveryEntryIsWholeAndAShownTextStaysAsItIs) {
  const std::regex mark(R"(\{\d\})");
  auto marks = [&](const std::string& s) {
    std::multiset<std::string> m;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), mark); it != std::sregex_iterator(); ++it) m.insert(it->str());
    return m;
  };
  std::set<std::string> keys;
  for (const CatalogEntry& e : CatalogEntries()) {
    EXPECT_TRUE(keys.insert(e.portuguese).second) << "twice: " << e.portuguese;
    for (auto [language, text] : {std::pair{Language::kEnglish, e.english}, {Language::kSpanish, e.spanish}}) {
      SetLanguage(language);
      EXPECT_STRNE(text, "") << e.portuguese;
      EXPECT_EQ(marks(text), marks(e.portuguese)) << text;
      EXPECT_EQ(ShownText(text), text) << "shown twice it changes: " << text;
    }
  }
  SetLanguage(Language::kPortuguese);
}

// A 5 x 2 picture, rows of stride 8 bottom row first, through each of the
// codes; damaged data is refused rather than written past the picture.
TEST(Rle8, ExpandsEveryCodeAndRefusesDamagedData) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool ok;
    std::string rows;  // ".": a pixel left as it was
  } cases[] = {
      {"runs", {3, 'a', 2, 'b', 0, 0, 5, 'c', 0, 1}, true, "aaabb...ccccc..."},
      {"absolute, padded", {0, 3, 'x', 'y', 'z', 0, 2, 'q', 0, 0, 0, 4, 'l', 'm', 'n', 'o', 0, 1},
       true, "xyzqq...lmno...."},
      {"delta", {1, 'a', 0, 2, 2, 1, 1, 'b', 0, 1}, true, "a..........b...."},
      {"a run past its row", {6, 'a', 0, 1}, false, ""},
      {"absolute past its row", {2, 'a', 0, 4, 'w', 'x', 'y', 'z', 0, 1}, false, ""},
      {"past the last row", {0, 0, 0, 0, 1, 'a', 0, 1}, false, ""},
      {"delta out of the picture", {0, 2, 6, 0, 0, 1}, false, ""},
      {"cut before the end mark", {5, 'a', 0, 0, 5, 'b'}, false, ""},
      {"absolute cut short", {0, 5, 'a', 'b'}, false, ""},
  };
  for (const Case& c : cases) {
    std::string rows(16, '.');
    EXPECT_EQ(ExpandRle8(c.data.data(), c.data.size(), 5, 2,
                         reinterpret_cast<uint8_t*>(rows.data()), 8),
              c.ok)
        << c.what;
    if (c.ok) {
      EXPECT_EQ(rows, c.rows) << c.what;
    }
  }
}

}  // namespace kova
