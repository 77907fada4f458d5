// What the installer records for the uninstaller: the log's line forms and
// stored text.
#include <gtest/gtest.h>

#include "Instalador/setup/uninstall_record.h"

namespace kova {
namespace {

TEST(UninstallLog, LinesAsStoredAndRead) {
  EXPECT_EQ(SplitLogLines("a\r\nb\nc\r\n"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitLogLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLogLines("\xE7\r\n"), (std::vector<std::string>{"ç"}));
  EXPECT_EQ(LogBytes("C:\\Ação", false), "C:\\A\xE7\xE3o\r\n");
  EXPECT_EQ(LogBytes("C:\\Анна", true), "C:\\Анна\r\n");
  EXPECT_TRUE(FitsCp1252("C:\\Ação € Š"));
  EXPECT_FALSE(FitsCp1252("C:\\Анна"));
  // A log in UTF-8 says so with its first bytes.
  EXPECT_EQ(SplitLogLines(std::string(kUtf8Mark) + "#x\r\nC:\\Анна\r\n"),
            (std::vector<std::string>{"#x", "C:\\Анна"}));
  for (const std::string& path : {std::string("C:\\K\\a.txt   "), std::string("DIR=x")}) {
    EXPECT_EQ(ParseLogLine(DirLine(path)).kind, LogLine::kDirectory);
    EXPECT_EQ(ParseLogLine(DirLine(path)).value, path);
    EXPECT_EQ(ParseLogLine(RegLine(path)).kind, LogLine::kRegistry);
    EXPECT_EQ(ParseLogLine(RegLine(path)).value, path);
  }
  EXPECT_EQ(ParseLogLine(kLogHeader).kind, LogLine::kComment);
  EXPECT_EQ(ParseLogLine("C:\\K\\KOVA.exe").kind, LogLine::kFile);
  EXPECT_EQ(ParseLogLine("dir=C:\\K").kind, LogLine::kFile);  // the prefixes are upper case
}

}  // namespace
}  // namespace kova
