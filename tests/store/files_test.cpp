// Parameter files, KOVA.INI, the dump and the Load/Save actions, on real
// files in a fresh folder per test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "store/ckx4data.h"
#include "store/ckx4file.h"
#include "store/customer_record.h"
#include "store/diagnostic_dump.h"
#include "store/ini.h"
#include "store/parameter_file.h"
#include "store/profile.h"
#include "store/settings.h"
#include "tests/support/fake_view.h"

namespace {

namespace fs = std::filesystem;

class Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> n{0};
    dir_ = fs::temp_directory_path() /
           ("kova-store-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  static void Put(const std::string& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary);
    f << text;
  }
  // A path that no one (root included) can create: its parent is a file.
  std::string Unwritable(const std::string& name) {
    Put(Path("plainfile"), "x");
    return Path("plainfile") + "/" + name;
  }

  fs::path dir_;
};

std::string Value(CKX4DATA& s, const char* kw) {
  std::string v;
  return s.GetText(kw, v) ? v : std::string("<absent>");
}

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

// ---- Load File / Save File ----

class Actions : public Folder {
 protected:
  static constexpr int kSelector = 1040;
  CKX4DATA equipment, file_store;
  kova::CustomerRecord customer;
  std::string current_path;
  unsigned char source = 0, loaded = 0;
  kova::FakeView view;

  kova::ParameterFileContext Ctx(int model) {
    return {equipment, file_store, customer, current_path, model,
            source,    loaded,     view,     kSelector};
  }
};

TEST_F(Actions, SavedVelaFileHoldsParametersAndCustomerAndLoadsBack) {
  equipment.Add("15", "58");
  equipment.Add("16", "2");
  customer.Set(kova::CustomerRecord::kClientes, "Jo\xe3o da Silva");
  customer.Set(kova::CustomerRecord::kPlaca, "ABC-1234");
  customer.Set(kova::CustomerRecord::kModeloRedutor, "R1");
  customer.Set(kova::CustomerRecord::kModeloMisturador, "M2");
  customer.Set(kova::CustomerRecord::kObservacoesGerais, "linha1\nlinha2\r\nlinha3");
  customer.changed = true;
  const std::string path = Path("cliente.VELA");
  view.dialog_answers.push_back(path);
  auto ctx = Ctx(1);
  ASSERT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kDone);

  ASSERT_EQ(view.dialogs.size(), 1u);
  EXPECT_TRUE(view.dialogs[0].save);
  EXPECT_EQ(view.dialogs[0].filter, "Arquivos Padrão Kova (*.VELA)|*.VELA|");
  EXPECT_EQ(view.dialogs[0].default_ext, "VELA");
  EXPECT_EQ(view.dialogs[0].initial, "");
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "O arquivo vai receber os valores de configuração do Equipamento.");
  EXPECT_EQ(view.messages[0].caption, "Gravando...");
  EXPECT_EQ(view.messages[0].flags, kova::kMbIconInformation);
  EXPECT_EQ(Slurp(path),
            "[VELA]\r\nClientes=Jo\xe3o da Silva\r\nDataInstalacao=\r\nMarca=\r\nModelo=\r\n"
            "AnoFabricacao=\r\nPlaca=ABC-1234\r\nModeloRedutor=R1\r\nModeloMisturador=M2\r\n"
            "ObservacoesGerais=linha1-linha2--linha3\r\n"
            "[CONFIG_VELA]\r\n15=58\r\n16=2\r\n");
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kObservacoesGerais), "linha1-linha2--linha3");
  EXPECT_FALSE(customer.changed);
  EXPECT_EQ(current_path, path);
  EXPECT_EQ(source, 1);
  EXPECT_EQ(view.controls[kSelector].selection, 0);

  // Load it back into a fresh run: the store and the record come back.
  CKX4DATA equipment2, file2;
  equipment2.Add("15", "0");
  equipment2.Add("16", "0");
  kova::CustomerRecord customer2;
  std::string path2;
  unsigned char source2 = 0, loaded2 = 0;
  kova::FakeView view2;
  view2.dialog_answers.push_back(path);
  kova::ParameterFileContext ctx2{equipment2, file2, customer2, path2, 1,
                                  source2,    loaded2, view2,   kSelector};
  ASSERT_EQ(kova::LoadParameterFile(ctx2), kova::FileAction::kDone);
  EXPECT_FALSE(view2.dialogs[0].save);
  EXPECT_EQ(view2.dialogs[0].default_ext, "");
  EXPECT_EQ(Value(file2, "15"), "58");
  EXPECT_EQ(Value(file2, "16"), "2");
  EXPECT_EQ(Value(equipment2, "15"), "0");
  for (int i = 0; i < kova::CustomerRecord::kFieldCount; ++i) {
    auto fld = static_cast<kova::CustomerRecord::Field>(i);
    EXPECT_EQ(customer2.Get(fld), customer.Get(fld)) << kova::CustomerRecord::Key(fld);
  }
  EXPECT_EQ(path2, path);
  EXPECT_EQ(source2, 1);
  EXPECT_EQ(loaded2, 1);
  EXPECT_TRUE(view2.controls[kSelector].visible);
  EXPECT_EQ(view2.controls[kSelector].selection, 0);
  EXPECT_TRUE(view2.messages.empty());
}

TEST_F(Actions, LoadingAFileThatLacksAKeywordFailsForBothFamilies) {
  for (int model : {0, 1, 2}) {
    const std::string name = model == 1 ? "VELA" : "BRIO";
    const std::string path = Path("short." + name);
    Put(path, "[" + name + "]\r\nClientes=X\r\n[CONFIG_" + name + "]\r\n15=1\r\n");
    CKX4DATA eq, fs_;
    eq.Add("15", "9");
    eq.Add("16", "9");
    kova::CustomerRecord c;
    c.Set(kova::CustomerRecord::kClientes, "kept");
    std::string cur = "previous";
    unsigned char src = 1, ld = 0;
    kova::FakeView v;
    v.dialog_answers.push_back(path);
    kova::ParameterFileContext ctx{eq, fs_, c, cur, model, src, ld, v, kSelector};
    EXPECT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kFailed);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_EQ(v.messages[0].text, "Ocorreu um erro na tentativa de Carregar o Arquivo.");
    EXPECT_EQ(v.messages[0].caption, "Leitura incompleta");
    EXPECT_EQ(v.messages[0].flags, kova::kMbIconInformation);
    EXPECT_EQ(v.dialogs[0].filter, "Arquivos Padrão Kova (*." + name + ")|*." + name + "|");
    EXPECT_EQ(v.dialogs[0].initial, "previous");
    EXPECT_EQ(Value(fs_, "15"), "1");  // read before the missing one
    EXPECT_EQ(Value(fs_, "16"), "9");
    EXPECT_EQ(c.Get(kova::CustomerRecord::kClientes), "kept");
    EXPECT_EQ(cur, "previous");
    EXPECT_EQ(src, 0);
    EXPECT_EQ(ld, 0);
    EXPECT_EQ(v.controls[kSelector].selection, 1);
  }
}

TEST_F(Actions, CancelledLoadStillMergesAndEmptyStoresLoadAnything) {
  equipment.Add("15", "1");
  file_store.Add("30", "3");
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kCancelled);
  EXPECT_EQ(Value(file_store, "15"), "1");
  EXPECT_EQ(Value(file_store, "30"), "3");
  EXPECT_EQ(loaded, 0);

  CKX4DATA e2, f2;
  Put(Path("nokeys.BRIO"), "[OTHER]\r\nx=1\r\n");
  customer.Set(kova::CustomerRecord::kMarca, "old");
  view.dialog_answers.push_back(Path("nokeys.BRIO"));
  kova::ParameterFileContext ctx2{e2, f2, customer, current_path, 0, source, loaded, view,
                                  kSelector};
  EXPECT_EQ(kova::LoadParameterFile(ctx2), kova::FileAction::kDone);
  EXPECT_EQ(f2.GetQtyUsed(), 0u);
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kMarca), "");  // missing keys empty the record
  EXPECT_EQ(loaded, 1);
}

TEST_F(Actions, LongCustomerValuesFromAFileAreCut) {
  const std::string path = Path("long.BRIO");
  Put(path, "[BRIO]\r\nClientes=" + std::string(499, 'c') + "\r\nObservacoesGerais=" +
                std::string(600, 'o') + "\r\n");
  view.dialog_answers.push_back(path);
  auto ctx = Ctx(2);
  ASSERT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kDone);
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kClientes), std::string(49, 'c'));
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kObservacoesGerais), std::string(298, 'o'));
}

TEST_F(Actions, ExistingFileAsksFirstAndNoWritesNothing) {
  const std::string path = Path("old.BRIO");
  Put(path, "[BRIO]\r\nMarca=Fiat\r\n");
  equipment.Add("10", "A");
  view.dialog_answers.push_back(path);
  view.answers.push_back(kova::kIdNo);
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kCancelled);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Precione \"Yes\" para sobrescreve-lo ou \"No\" para cancelar a gravação");
  EXPECT_EQ(view.messages[0].caption, "Arquivo Existente");
  EXPECT_EQ(view.messages[0].flags, kova::kMbYesNo | kova::kMbIconQuestion);
  EXPECT_EQ(Slurp(path), "[BRIO]\r\nMarca=Fiat\r\n");
  EXPECT_EQ(file_store.GetQtyUsed(), 0u);

  view.dialog_answers.push_back(path);
  view.answers.push_back(kova::kIdYes);
  customer.Set(kova::CustomerRecord::kMarca, "VW");
  ctx.save_selects_file_source = false;
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kDone);
  EXPECT_EQ(kova::ini::GetString(Slurp(path), "BRIO", "Marca", "", 100), "VW");
  EXPECT_EQ(kova::ini::GetString(Slurp(path), "CONFIG_BRIO", "10", "", 100), "A");
  EXPECT_EQ(source, 0);  // this screen keeps its source
  EXPECT_EQ(view.dialogs[1].initial, "");
  EXPECT_EQ(current_path, path);
}

TEST_F(Actions, SaveThatCannotWriteSaysSoAndKeepsThePath) {
  equipment.Add("10", "A");
  current_path = "before";
  view.dialog_answers.push_back(Unwritable("x.BRIO"));
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kFailed);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, kova::kSaveErrorText);
  EXPECT_EQ(current_path, "before");
  EXPECT_EQ(view.dialogs[0].initial, "before");
  view.dialog_answers.clear();
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kCancelled);
}

}  // namespace
