// What the language checks of the native and the Windows-side tests share:
// which words are the same in every language, and which Portuguese catalog
// texts must never show in English or Spanish.
#pragma once
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_catalog.h"
#include "common/texts.h"

namespace kova {

// Words that are the same in every language: model names, units, the
// ports' names. A text of such words and numbers needs no translation.
inline bool Neutral(std::string_view text) {
  static const std::set<std::string> kWords = {"KOVA", "BRIO", "VELA", "plus", "rpm", "RPM", "TPS",
                                               "V",    "s",    "ms",   "min",  "Min", "COM"};
  static const std::regex kWord(R"([A-Za-z\x80-\xff]+)");
  const std::string s(text);
  for (auto it = std::sregex_iterator(s.begin(), s.end(), kWord); it != std::sregex_iterator(); ++it)
    if (!kWords.count(it->str())) return false;
  return true;
}

// The Portuguese catalog texts that must not show in `language`: those
// whose translation differs. Short ones ("Real", "Erro") may be words of
// the other language, alone or inside another word, and are left out.
inline std::vector<std::string> ForeignKeys(Language language) {
  std::vector<std::string> keys;
  for (const CatalogEntry& e : CatalogEntries()) {
    const std::string key = e.portuguese;
    const std::string shown = language == Language::kEnglish ? e.english : e.spanish;
    if (key.size() >= 5 && shown != key && !Neutral(key)) keys.push_back(key);
  }
  return keys;
}

// The first Portuguese catalog text that shows in `text`, or "".
inline std::string PortugueseIn(const std::string& text, const std::vector<std::string>& foreign) {
  for (const std::string& key : foreign)
    if (text.find(key) != std::string::npos) return key;
  return {};
}

}  // namespace kova
