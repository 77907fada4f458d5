// Names compared as Windows compares them: ordinal, ignoring case, never
// through a code page.
#include <gtest/gtest.h>

#include "Instalador/package/name_compare.h"

namespace kova {
namespace {

TEST(NameCompare, OrdinalIgnoringCaseInEveryScript) {
  struct Case {
    const char *a, *b;
    bool same;
  } const cases[] = {
      {"KOVA", "kova", true},        {"Ação", "AÇÃO", true},      {"Anna", "Ivan", false},
      {"Анна", "АННА", true},        {"Анна", "Иван", false},     {"Ёлка", "ёлка", true},
      {"Σοφία", "ΣΟΦΊΑ", true},      {"用户", "用户", true},
      {"用户", "文件", false},       {"Kova", "Kova ", false},    {"ÿ", "Ÿ", true},
      {"Ärger", "ärger", true},      {"a", "á", false},           {"", "", true},
  };
  for (const Case& c : cases) EXPECT_EQ(SameNameIgnoringCase(c.a, c.b), c.same) << c.a << " " << c.b;
}

}  // namespace
}  // namespace kova
