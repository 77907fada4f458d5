#include "monitor/recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/texts.h"
#include "tests/support/temp_folder.h"

namespace kova {
namespace {

const LocalTime kWhen{2024, 1, 2, 3, 4, 5, 678};

TEST(Recorder, NameAndLinesForExcel) {
  EXPECT_EQ(Recorder::FileName(kWhen), "monitor-20240102-030405.csv");
  RecordSample s{850, 0.56, 0.1, 60, "verde", ""};
  EXPECT_EQ(Recorder::Line(1200, kWhen, s), "1200;02/01/2024 03:04:05;850;0,56;0,10;60;verde;");
  s.mark = "fim; da\r\ncalibração";  // a mark never breaks the line or its fields
  EXPECT_EQ(Recorder::Line(0, kWhen, s),
            "0;02/01/2024 03:04:05;850;0,56;0,10;60;verde;fim  da  calibração");
}

// An English Windows splits on "," and reads a decimal point; the words
// follow the chosen language. A separator that is the decimal symbol too
// would make the numbers unreadable.
TEST(Recorder, TheUsersSeparatorAndDecimalSymbolAndTheChosenLanguage) {
  SetLanguage(Language::kEnglish);
  const CsvFormat english{",", "."};
  RecordSample s{850, 0.56, 0.1, 60, "vermelha", "a, b"};
  EXPECT_EQ(Recorder::Header(english),
            "Time (ms),Date and time,Engine speed (rpm),TPS (V),Lambda probe (V),Actuator "
            "(steps),Actuator scale,Event");
  EXPECT_EQ(Recorder::Line(1200, kWhen, s, english), "1200,02/01/2024 03:04:05,850,0.56,0.10,60,red,a  b");
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(Recorder::Header(), "Tempo (ms);Data e hora;Rotação (rpm);TPS (V);Sonda lambda (V);"
                                "Atuador (passos);Escala do atuador;Evento");
  EXPECT_EQ(UsableCsvFormat({",", ","}), (CsvFormat{";", ","}));
  EXPECT_EQ(UsableCsvFormat({";", ";"}), (CsvFormat{",", ";"}));
  EXPECT_EQ(UsableCsvFormat({"", ""}), (CsvFormat{";", ","}));
}

using RecorderFile = testing::Folder;

TEST_F(RecorderFile, WritesAPlatformFileInWindows1252) {
  Recorder r(MakePlatformRecordFile());
  ASSERT_TRUE(r.Start(Path("KOVA"), kWhen, 1000));  // the folder is made
  RecordSample s{3000, 3.6, 0.9, 120, "vermelha", "calibração concluída"};
  for (uint32_t t = 1000; t <= 1500; t += 100) EXPECT_TRUE(r.Append(t, kWhen, s));
  // Not a second yet: only the header is in the file (where the system
  // lets another reader open it meanwhile; Windows keeps it to the writer).
  if (std::ifstream early{r.path(), std::ios::binary}) {
    std::string head((std::istreambuf_iterator<char>(early)), {});
    EXPECT_EQ(std::count(head.begin(), head.end(), '\n'), 1);
  }
  EXPECT_TRUE(r.Stop());
  const std::string all = Slurp(r.path());
  EXPECT_EQ(all.substr(0, 30), "Tempo (ms);Data e hora;Rota\xE7\xE3o");
  EXPECT_NE(all.find("500;02/01/2024 03:04:05;3000;3,60;0,90;120;vermelha;calibra\xE7\xE3o "
                     "conclu\xED" "da\r\n"),
            std::string::npos);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 7);
}

TEST_F(RecorderFile, AFolderThatCannotBeMadeIsRefused) {
  Recorder r(MakePlatformRecordFile());
  EXPECT_FALSE(r.Start(Unwritable("KOVA"), kWhen, 0));
  EXPECT_FALSE(r.active());
  EXPECT_NE(r.error().find("Não foi possível criar"), std::string::npos);
}

}  // namespace
}  // namespace kova
