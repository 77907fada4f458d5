// Parameter files, KOVA.INI and the dump, on real files in a fresh folder
// per test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "common/clock.h"

#include "store/ckx4data.h"
#include "tests/support/temp_folder.h"
#include "store/ckx4file.h"
#include "store/customer_record.h"
#include "store/diagnostic_dump.h"
#include "store/ini.h"
#include "store/parameter_file.h"
#include "store/profile.h"
#include "store/settings.h"

namespace {

namespace fs = std::filesystem;

using kova::testing::Folder;
using kova::testing::Value;


using ConfigIni = Folder;

TEST_F(ConfigIni, WriteThenReadTheModelSectionInStoreOrder) {
  CKX4DATA s;
  s.Add("2B", "1A");
  s.Add("15", "58");
  s.Add("16", "2");
  ASSERT_EQ(s.WriteConfigINI(Path("a.VELA"), "VELA"), 0);
  EXPECT_EQ(Slurp(Path("a.VELA")), "[CONFIG_VELA]\r\n15=58\r\n16=2\r\n2B=1A\r\n");

  CKX4DATA r;
  r.Add("15", "0");
  r.Add("2B", "0");
  EXPECT_EQ(r.ReadConfigINI(Path("a.VELA"), "VELA"), 0);
  EXPECT_EQ(Value(r, "15"), "58");
  EXPECT_EQ(Value(r, "2B"), "1A");
  EXPECT_EQ(r.GetQtyUsed(), 2u);  // only the keywords it already held
  EXPECT_EQ(r.ReadConfigINI(Path("a.VELA"), "OTHER"), 0);
  EXPECT_EQ(r.ReadConfigINI(Path("missing.VELA"), "VELA"), -1);
}

// Another program holds the file for 300 ms (an antivirus scan, OneDrive):
// the save waits it out and writes both sections at once; held all along,
// the save gives up after ten tries with the old file whole. Nothing is
// left beside the file either way.
TEST_F(ConfigIni, ASaveWaitsForAProgramThatHoldsTheFile) {
  struct Releasing : kova::Clock {
    int fd = -1;
    uint32_t now = 0, release_at = 300;
    void Sleep(uint32_t ms) override {
      now += ms;
      if (now >= release_at && fd >= 0) ::close(std::exchange(fd, -1));
    }
    uint32_t Now() override { return now; }
  } clock;
  const std::string path = Path("car.VELA");
  const std::string old_text = "[VELA]\r\nMarca=Fiat\r\n[CONFIG_VELA]\r\n15=1\r\n";
  kova::CustomerRecord customer;
  customer.Set(kova::CustomerRecord::kMarca, "VW");
  customer.Set(kova::CustomerRecord::kObservacoesGerais, "a\r\nb");
  CKX4DATA store;
  store.Add("15", "58");
  store.Add("16", "2");
  kova::SetProcessClock(&clock);
  for (uint32_t release_at : {300u, 1000000u}) {
    Put(path, old_text);
    clock = {};
    clock.release_at = release_at;
    clock.fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(clock.fd, LOCK_EX), 0);
    const kova::file::ReplaceResult r = kova::WriteParameterFile(path, "VELA", customer, store);
    if (release_at == 300) {
      EXPECT_EQ(r, kova::file::ReplaceResult::kDone);
      EXPECT_EQ(clock.now, 300u);
      const std::string text = Slurp(path);
      EXPECT_EQ(kova::ini::GetString(text, "VELA", "Marca", "", 100), "VW");
      EXPECT_EQ(kova::ini::GetString(text, "VELA", "ObservacoesGerais", "", 400), "a--b");
      EXPECT_EQ(kova::ini::GetString(text, "CONFIG_VELA", "15", "", 100), "58");
      EXPECT_EQ(kova::ini::GetString(text, "CONFIG_VELA", "16", "", 100), "2");
    } else {
      EXPECT_EQ(r, kova::file::ReplaceResult::kInUse);
      EXPECT_EQ(clock.now, 900u);  // ten tries
      EXPECT_EQ(Slurp(path), old_text);
      ::close(clock.fd);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "something left beside the file";
  }
  kova::SetProcessClock(nullptr);
}

TEST_F(ConfigIni, AMissingKeywordStopsTheReadKeepingWhatCameBefore) {
  Put(Path("b.BRIO"), "[CONFIG_BRIO]\r\n10=5\r\n30=7\r\n");
  CKX4DATA r;
  for (const char* k : {"10", "20", "30"}) r.Add(k, "0");
  EXPECT_EQ(r.ReadConfigINI(Path("b.BRIO"), "BRIO"), -2);
  EXPECT_EQ(Value(r, "10"), "5");
  EXPECT_EQ(Value(r, "30"), "0");
  Put(Path("c.BRIO"), "[CONFIG_BRIO]\r\n10=\r\n");
  CKX4DATA e;
  e.Add("10", "1");
  EXPECT_EQ(e.ReadConfigINI(Path("c.BRIO"), "BRIO"), -2);
}

TEST_F(ConfigIni, SingleKeywordForms) {
  Put(Path("d.VELA"), "[CONFIG_VELA]\r\n15=3A\r\n");
  CKX4DATA s;
  std::string v = "old";
  EXPECT_EQ(s.ReadConfigINI(Path("d.VELA"), "CONFIG_VELA", "15", v), 0);
  EXPECT_EQ(v, "3A");
  EXPECT_EQ(Value(s, "15"), "3A");
  EXPECT_EQ(s.ReadConfigINI(Path("d.VELA"), "CONFIG_VELA", "16", v), -2);
  EXPECT_EQ(s.ReadConfigINI(Path("d.VELA"), "VELA", "15", v), 0);
  EXPECT_EQ(v, "");
  EXPECT_EQ(s.ReadConfigINI(Path("none"), "CONFIG_VELA", "15", v), -1);

  EXPECT_EQ(s.WriteConfigINI(Path("d.VELA"), "CONFIG_VELA", "20", "7"), 0);
  EXPECT_EQ(Value(s, "20"), "7");
  EXPECT_EQ(kova::profile::GetString(Path("d.VELA"), "CONFIG_VELA", "20", "", 100), "7");
  EXPECT_EQ(s.WriteConfigINI(Path("d.VELA"), "OTHER", "21", "7"), 0);
  EXPECT_EQ(Value(s, "21"), "<absent>");
  EXPECT_EQ(s.WriteConfigINI(Path("none"), "CONFIG_VELA", "15", "1"), -1);
  EXPECT_FALSE(fs::exists(Path("none")));
}

TEST_F(ConfigIni, AFailedWriteIsReportedAndLeavesTheOldFileWhole) {
  CKX4DATA s;
  s.Add("15", "1");
  EXPECT_EQ(s.WriteConfigINI(Unwritable("x.VELA"), "VELA"), -2);
  // An empty store still creates the file.
  CKX4DATA empty;
  EXPECT_EQ(empty.WriteConfigINI(Path("e.VELA"), "VELA"), 0);
  EXPECT_TRUE(fs::exists(Path("e.VELA")));
  EXPECT_EQ(Slurp(Path("e.VELA")), "");
  // A replaced file never shows a partial state: the old text stays until
  // the new one is complete, and no temporary is left behind.
  Put(Path("f.VELA"), "[VELA]\r\nMarca=Fiat\r\n");
  ASSERT_EQ(s.WriteConfigINI(Path("f.VELA"), "VELA"), 0);
  EXPECT_EQ(Slurp(Path("f.VELA")), "[VELA]\r\nMarca=Fiat\r\n[CONFIG_VELA]\r\n15=1\r\n");
  int files = 0;
  for (auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
  EXPECT_EQ(files, 3);  // plainfile, e.VELA, f.VELA
}

TEST(Customer, FieldsAreCutToTheirCapacity) {
  kova::CustomerRecord c;
  c.Set(kova::CustomerRecord::kClientes, std::string(60, 'c'));
  EXPECT_EQ(c.Get(kova::CustomerRecord::kClientes), std::string(49, 'c'));
  c.Set(kova::CustomerRecord::kPlaca, std::string(499, 'p'));
  EXPECT_EQ(c.Get(kova::CustomerRecord::kPlaca).size(), 29u);
  c.Set(kova::CustomerRecord::kObservacoesGerais, std::string(499, 'o'));
  EXPECT_EQ(c.Get(kova::CustomerRecord::kObservacoesGerais).size(), 298u);
  EXPECT_EQ(c.Get(kova::CustomerRecord::kMarca), "");
  EXPECT_EQ(kova::OneLine("linha1\nlinha2\r\nlinha3"), "linha1-linha2--linha3");
}

using Settings = Folder;

TEST_F(Settings, GetReadsWhatSetWroteInTheWorkingFolder) {
  kova::SettingsFolders f{dir_.string(), Path("user")};
  int port = 7;
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "GET"), 1);
  EXPECT_EQ(kova::PortSetting(f, "BRIO", port, "GET"), 2);
  EXPECT_EQ(port, 7);
  port = 3;
  EXPECT_EQ(kova::PortSetting(f, "BRIO", port, "SET"), 0);
  EXPECT_EQ(Slurp(Path("KOVA.INI")), "[CONFIG_BRIO]\r\nCOM=3\r\n");
  port = 0;
  EXPECT_EQ(kova::PortSetting(f, "BRIO", port, "GET"), 0);
  EXPECT_EQ(port, 3);
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "GET"), 1);
  EXPECT_EQ(kova::PortSetting(f, "BRIO", port, "OTHER"), 0);
  Put(Path("KOVA.INI"), "[CONFIG_VELA]\r\nCOM=\r\n");
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "GET"), 3);
  EXPECT_FALSE(fs::exists(Path("user")));
}

TEST_F(Settings, AnUnwritableWorkingFolderFallsBackToTheUserFolder) {
  kova::SettingsFolders f{Unwritable("install"), Path("cfg/kova")};
  int port = 12;
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "SET"), 0);
  EXPECT_EQ(Slurp(Path("cfg/kova/KOVA.INI")), "[CONFIG_VELA]\r\nCOM=12\r\n");
  port = 0;
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "GET"), 0);
  EXPECT_EQ(port, 12);
  // Neither place writable: reported, not claimed as done.
  kova::SettingsFolders none{Unwritable("a"), Unwritable("b")};
  EXPECT_EQ(kova::PortSetting(none, "VELA", port, "SET"), -1);
}

TEST_F(Settings, WorkshopDataIsKeptBesideThePortAndReadBack) {
  kova::SettingsFolders f{dir_.string(), Path("user")};
  EXPECT_EQ(kova::ReadWorkshopData(f), kova::WorkshopData{});  // no file yet
  int port = 4;
  ASSERT_EQ(kova::PortSetting(f, "VELA", port, "SET"), 0);
  const kova::WorkshopData data{"Oficina São José", "Rua das Acácias, 12\r\nCentro",
                                "\"(11) 5555-0101\" "};
  ASSERT_TRUE(kova::WriteWorkshopData(f, data));
  // Windows-1252 on disk, one line per value, the port untouched; a value
  // with quotes at its ends is quoted so that it reads back whole.
  EXPECT_EQ(Slurp(Path("KOVA.INI")),
            "[CONFIG_VELA]\r\nCOM=4\r\n[OFICINA]\r\nNome=Oficina S\xe3o Jos\xe9\r\n"
            "Endereco=Rua das Ac\xe1\x63ias, 12  Centro\r\nTelefone=\"\"(11) 5555-0101\"\"\r\n");
  EXPECT_EQ(kova::ReadWorkshopData(f),
            (kova::WorkshopData{"Oficina São José", "Rua das Acácias, 12  Centro",
                                "\"(11) 5555-0101\""}));
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "GET"), 0);
  EXPECT_EQ(port, 4);
  // Longer texts keep their capacity; an unwritable place is reported.
  ASSERT_TRUE(kova::WriteWorkshopData(f, {std::string(80, 'N'), "", ""}));
  EXPECT_EQ(kova::ReadWorkshopData(f).name, std::string(kova::kWorkshopNameCapacity, 'N'));
  EXPECT_FALSE(kova::WriteWorkshopData({Unwritable("a"), Unwritable("b")}, data));
}

TEST_F(Settings, TheLanguageIsKeptBesideThePortsAndAnythingElseIsPortuguese) {
  kova::SettingsFolders f{dir_.string(), Path("user")};
  EXPECT_EQ(kova::LanguageSetting(f), kova::Language::kPortuguese);  // no file yet
  int port = 3;
  kova::PortSetting(f, "VELA", port, "SET");
  EXPECT_TRUE(kova::SetLanguageSetting(f, kova::Language::kSpanish));
  EXPECT_EQ(Slurp(Path("KOVA.INI")), "[CONFIG_VELA]\r\nCOM=3\r\n[KOVA]\r\nIdioma=es\r\n");
  EXPECT_EQ(kova::LanguageSetting(f), kova::Language::kSpanish);
  for (const char* other : {"fr", "EN", ""}) {
    Put(Path("KOVA.INI"), std::string("[KOVA]\r\nIdioma=") + other + "\r\n");
    EXPECT_EQ(kova::LanguageSetting(f), kova::Language::kPortuguese) << other;
  }
  kova::SettingsFolders none{Unwritable("a"), Unwritable("b")};
  EXPECT_FALSE(kova::SetLanguageSetting(none, kova::Language::kEnglish));
}

using Dump = Folder;

TEST_F(Dump, LinesOfEveryEntryAppendedInStoreOrder) {
  CKX4DATA s;
  CKX4FILE f;
  ASSERT_EQ(f.KX4OpenFile(Path("d.txt")), CKX4FILE_OK);
  EXPECT_EQ(s.Dump(f.Handle(), 0), 0);
  s.Add("20", "1");
  s.Add("15", "1A");
  EXPECT_EQ(s.Dump(f.Handle(), 0), 37);
  s.Add("X", "CFG", 2, "v");
  EXPECT_EQ(s.Dump(f.Handle(), 0), 37 + 19);
  f.KX4CloseFile();
  EXPECT_EQ(Slurp(Path("d.txt")),
            "000000=|20|-1|1|\r\n000001=|15|-1|1A|\r\n"
            "000000=|15|-1|1A|\r\n000001=|20|-1|1|\r\n000002=CFG|X|2|v|\r\n");
}

TEST_F(Dump, ScrambledLinesUnscrambleLineByLine) {
  struct Open : CKX4DATA {
    using CKX4DATA::Decrypt;
  } s;
  s.Add("15", "1A");
  CKX4FILE f;
  ASSERT_EQ(f.KX4OpenFile(Path("s.txt")), CKX4FILE_OK);
  EXPECT_EQ(s.Dump(f.Handle(), 1), 19);
  f.KX4CloseFile();
  std::string line = Slurp(Path("s.txt"));
  ASSERT_EQ(line.size(), 19u);
  EXPECT_NE(line, "000000=|15|-1|1A|\r\n");
  s.Decrypt(reinterpret_cast<unsigned char*>(line.data()), 19);
  EXPECT_EQ(line, "000000=|15|-1|1A|\r\n");
}

TEST_F(Dump, FileObjectOpenCloseWriteAndFixedLineRead) {
  CKX4FILE f;
  EXPECT_EQ(f.KX4OpenFile(Unwritable("x.txt")), CKX4FILE_OPEN_ERROR);
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.KX4CloseFile(), CKX4FILE_OK);
  EXPECT_EQ(f.KX4WriteFile("abc", 3), CKX4FILE_OPEN_ERROR);  // nothing open

  ASSERT_EQ(f.KX4OpenFile(Path("w.txt")), CKX4FILE_OK);
  EXPECT_EQ(f.KX4WriteFile("abc", 3), CKX4FILE_OK);
  // A failed open keeps the file that is open.
  EXPECT_EQ(f.KX4OpenFile(Unwritable("y.txt")), CKX4FILE_OPEN_ERROR);
  EXPECT_TRUE(f.IsOpen());
  f.KX4CloseFile();
  EXPECT_EQ(Slurp(Path("w.txt")), "abc");

  Put(Path("l.txt"), "AAAAAAAAAAAAAAAAA\r\nBBBBBBBBBBBBBBBBB\r\nCCCC");
  std::string text = "junk";
  ASSERT_EQ(f.KX4ReadFile(text, Path("l.txt")), CKX4FILE_OK);
  EXPECT_TRUE(f.IsOpen());
  EXPECT_EQ(text, "AAAAAAAAAAAAAAAAABBBBBBBBBBBBBBBBBCCCC");
  f.KX4CloseFile();
  EXPECT_EQ(f.KX4ReadFile(text, Path("none.txt")), CKX4FILE_OPEN_ERROR);
  EXPECT_EQ(text, "");
}

TEST_F(Dump, DiagnosticDumpPerModelAndSkippedWithoutFolder) {
  CKX4DATA s;
  s.Add("15", "1A");
  CKX4FILE f;
  EXPECT_TRUE(kova::DiagnosticDump(f, s, 1, dir_.string()));
  EXPECT_TRUE(kova::DiagnosticDump(f, s, 2, dir_.string()));
  EXPECT_TRUE(kova::DiagnosticDump(f, s, 2, dir_.string()));  // afresh, not appended
  EXPECT_EQ(Slurp(Path("novoVELA.txt")), "000000=|15|-1|1A|\r\n");
  EXPECT_EQ(Slurp(Path("novoBRIO.txt")), "000000=|15|-1|1A|\r\n");
  EXPECT_FALSE(f.IsOpen());
  EXPECT_FALSE(kova::DiagnosticDump(f, s, 0, Path("missing")));
  EXPECT_FALSE(fs::exists(Path("missing")));
  ::setenv("KOVA_DUMP_DIR", dir_.c_str(), 1);
  EXPECT_EQ(kova::DiagnosticDumpPath(0), Path("novoBRIO.txt"));
  ::unsetenv("KOVA_DUMP_DIR");
}

}  // namespace
