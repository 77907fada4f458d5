// Reading recordings back: what the recorder writes comes back as it was,
// in both CSV forms; a cut or damaged file gives what precedes the line
// that stopped it; other files are not taken for recordings.
#include "monitor/recording_reader.h"

#include <gtest/gtest.h>

#include "monitor/recorder.h"
#include "tests/monitor/panel_bench.h"

namespace kova {
namespace {

const LocalTime kWhen{2024, 5, 17, 14, 3, 9, 0};

// A run through the recorder itself: idle, a calibration, a rev.
std::string Recorded() {
  MemoryFile::Shared shared;
  Recorder r(std::make_unique<MemoryFile>(shared));
  EXPECT_TRUE(r.Start("/docs", kWhen, 1000));
  const struct {
    uint32_t t;
    RecordSample s;
  } lines[] = {
      {1100, {850, 0.56, 0.1, 60, "verde", ""}},
      {1200, {860, 0.58, 0.94, 61, "verde", kCalibrationStartEvent}},
      {1300, {870, 0.6, 0.5, 120, "verde", "calibração concluída"}},
      {1400, {3000, 3.6, 0.9, 120, "vermelha", ""}},
  };
  for (const auto& l : lines) EXPECT_TRUE(r.Append(l.t, kWhen, l.s));
  EXPECT_TRUE(r.Stop());
  return shared.bytes;
}

// The same text in the other form: "," between fields, decimal points.
std::string CommaForm(std::string text) {
  for (char& c : text) c = c == ',' ? '.' : c == ';' ? ',' : c;
  return text;
}

TEST(RecordingReader, WhatTheRecorderWroteComesBackInBothForms) {
  for (const std::string& bytes : {Recorded(), CommaForm(Recorded())}) {
    const std::optional<Recording> rec = ReadRecording(bytes);
    ASSERT_TRUE(rec) << bytes.substr(0, 40);
    ASSERT_EQ(rec->samples.size(), 4u);
    EXPECT_EQ(rec->stopped_line, 0);
    EXPECT_EQ(rec->started, "17/05/2024 14:03:09");
    const ChartSample& s = rec->samples[1];
    EXPECT_EQ(s.t_ms, 200u);
    EXPECT_TRUE(s.answered);
    EXPECT_EQ(s.values, (std::array<double, kTraces>{860, 0.58, 0.94, 61}));
    EXPECT_EQ(rec->samples[3].values[0], 3000);
    EXPECT_EQ(rec->marks, (std::vector<ChartMark>{{200, MarkKind::kCalibrationStart},
                                                  {300, MarkKind::kCalibrationEnd}}));
    EXPECT_EQ(rec->lambda_full_scale, 1);
  }
  // Made in English, read in Portuguese: the calibration is marked all the same.
  std::string english = Recorded();
  english.replace(english.find("in\xed" "cio da calibra\xe7\xe3o"), 20, "calibration start");
  EXPECT_EQ(ReadRecording(english)->marks.size(), 2u);
}

TEST(RecordingReader, ACutOrDamagedFileGivesWhatPrecedesTheBadLine) {
  const std::string whole = Recorded();
  const size_t last = whole.rfind("400;");  // line 5, the rev
  struct Case {
    std::string bytes;
    size_t samples;
    int stopped;
  } cases[] = {
      {whole.substr(0, last + 30), 3, 5},          // cut in the middle of its values
      {whole.substr(0, whole.size() - 2), 4, 0},   // only its line break lost
      {whole.substr(0, last), 3, 0},               // cut between two lines
      {whole.substr(0, last) + "\r\n\r\n;;;;;;;\r\n" + whole.substr(last), 4, 0},  // blank lines
      {whole.substr(0, last) + "4OO;x;3000\r\n" + whole.substr(last), 3, 5},
      {whole.substr(0, last) + "90;17/05/2024;850;0,5;0,5;60;verde;\r\n", 3, 5},  // time went back
      {whole.substr(0, whole.find('\n') + 1) + "\x01\x02garbage\r\n", 0, 2},
  };
  for (const Case& c : cases) {
    const std::optional<Recording> rec = ReadRecording(c.bytes);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->samples.size(), c.samples) << c.bytes.substr(c.bytes.size() - 40);
    EXPECT_EQ(rec->stopped_line, c.stopped) << c.bytes.substr(c.bytes.size() - 40);
  }
}

TEST(RecordingReader, OtherFilesAreNotRecordings) {
  for (std::string bytes : {std::string(), std::string("\x7F" "ELF\x02\x01", 6),
                            std::string("[CONFIG_VELA]\r\n3D=3C\r\n"),
                            std::string("a;b;c\r\n1;2;3\r\n"),
                            std::string("Nome;Placa;Marca;Modelo;Ano;Cor;Motor;Obs\r\nx;y\r\n")})
    EXPECT_FALSE(ReadRecording(bytes)) << bytes;
  // A header alone is a recording without measurements; a spreadsheet's
  // quotes and byte-order mark do not hide one.
  EXPECT_TRUE(ReadRecording(Recorder::Header() + "\r\n"));
  const auto quoted = ReadRecording(
      "\xEF\xBB\xBF\"Tempo (ms)\";\"Data e hora\";a;b;c;d;e;f\r\n"
      "\"0\";\"17/05/2024 14:03:09\";\"850\";\"0,56\";\"2,40\";\"60\";\"verde\";\"\"\r\n");
  ASSERT_TRUE(quoted);
  ASSERT_EQ(quoted->samples.size(), 1u);
  EXPECT_EQ(quoted->lambda_full_scale, 5);  // a voltage above 1 V: a 0-5 V probe
}

}  // namespace
}  // namespace kova
