#include <gtest/gtest.h>

#include "Desinstalar/uninstall_procedure.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_log.h"
#include "Instalador/setup/install_procedure.h"
#include "common/cp1252.h"
#include "../support/fake_batch.h"
#include "../support/fake_package.h"
#include "../support/fake_platform.h"

namespace kova {
namespace {

const std::string kDir = "C:\\Programas\\Kova";
const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA GNV";

class Recorder : public UninstallProgress {
 public:
  std::vector<std::string> statuses;
  std::vector<int> positions;
  int range = -1;
  void SetStatus(const std::string& t) override { statuses.push_back(t); }
  void SetRange(int max) override { range = max; }
  void SetPosition(int v) override { positions.push_back(v); }
};

std::string Log(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += Utf8ToCp1252(l) + "\r\n";
  return out;
}

class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    sys.MakeDirs(kDir);
    sys.RegMakeKey(RegRoot::kLocalMachine, kKey);
    sys.PutFile(kDir + "\\Desinstalar.exe", "MZ-uninstaller");
  }
  bool Run(const std::optional<std::string>& product = std::string("KOVA GNV")) {
    return Desinstalar(sys, progress, kDir, product, &report);
  }
  // The batch once the uninstaller has ended (its own file held until the
  // first pause).
  BatchRun Batch() {
    sys.locked.insert(FakePlatform::Key(kDir + "\\Desinstalar.exe"));
    return RunBatch(sys, [&](int) { sys.locked.erase(FakePlatform::Key(kDir + "\\Desinstalar.exe")); });
  }
  std::string BatchText() { return sys.Data("C:\\windows\\pelin_uni.bat"); }

  FakePlatform sys;
  Recorder progress;
  UninstallReport report;
};

TEST_F(UninstallTest, CommentOnlyLogLeavesTheFolderAndDropsTheEntry) {
  sys.PutFile(kDir + "\\uninstall.log", Log({"#NAO DELETE ESTE ARQUIVO!!!"}));
  ASSERT_TRUE(Run());
  EXPECT_EQ(sys.deletions, 0);
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_EQ(progress.range, 1);
  EXPECT_EQ(progress.positions, (std::vector<int>{1}));
  BatchRun run = Batch();
  EXPECT_TRUE(run.finished && run.deleted_itself);
  // The uninstaller and its log go; the folder was not created by the
  // install, so it stays.
  EXPECT_FALSE(sys.Exists(kDir + "\\Desinstalar.exe"));
  EXPECT_FALSE(sys.Exists(kDir + "\\uninstall.log"));
  EXPECT_TRUE(sys.IsDir(kDir));
}

TEST_F(UninstallTest, FilesGoAtOnceFoldersWithTheBatchOnceTheUninstallerHasEnded) {
  const std::string chunked = kDir + "\\" + Pad64("KOVA.exe");
  const std::string menu = "C:\\ProgramData\\Start Menu\\Programs\\Kova Oficina";
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\dados\\ação.ini", "x");
  sys.PutFile(menu + "\\Kova.lnk", "lnk");
  sys.PutFile(menu + "\\Desinstalar.lnk", "lnk");  // made by the install, never logged
  sys.PutFile(kDir + "\\uninstall.log",
              Log({"#NAO DELETE ESTE ARQUIVO!!!", "DIR=" + kDir + "\\dados", chunked, chunked, chunked,
                   kDir + "\\dados\\ação.ini", kDir + "\\nunca-existiu.txt", menu + "\\Kova.lnk",
                   "DIR=" + menu, "DIR=" + kDir}));
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_FALSE(sys.Exists(kDir + "\\dados\\ação.ini"));
  EXPECT_TRUE(sys.IsDir(kDir + "\\dados"));  // the batch removes folders
  EXPECT_EQ(progress.statuses,
            (std::vector<std::string>{"Excluindo arquivo: " + chunked,
                                      "Excluindo arquivo: " + kDir + "\\dados\\ação.ini",
                                      "Excluindo arquivo: " + menu + "\\Kova.lnk"}));
  EXPECT_EQ(progress.range, 10);
  EXPECT_EQ(progress.positions.back(), 10);
  // Paths reach the batch through its environment: the file is plain
  // ASCII whatever the names, so the interpreter's code page does not
  // matter and no name can become a command.
  for (char c : BatchText()) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  EXPECT_EQ(BatchText().find("Kova"), std::string::npos);

  BatchRun run = Batch();
  EXPECT_TRUE(run.finished && run.deleted_itself);
  EXPECT_EQ(run.pauses, 1);  // one pause: the uninstaller was still running
  EXPECT_FALSE(sys.Exists(kDir));
  EXPECT_FALSE(sys.Exists(menu));
  EXPECT_TRUE(report.kept.empty());
}

TEST_F(UninstallTest, OnlyTheInstallAndShortcutFoldersAreTouched) {
  // A log in a folder ordinary users can write to, rewritten to reach
  // elsewhere: none of it may be deleted by an administrator's uninstall.
  sys.PutFile("C:\\windows\\system32\\kernel32.dll", "sys");
  sys.PutFile("C:\\Dados da Oficina\\clientes.VELA", "x");
  sys.PutFile("C:\\users\\Public\\Desktop\\Outro.lnk", "lnk");
  sys.PutFile("C:\\users\\Public\\Desktop\\KOVA.lnk", "lnk");
  sys.MakeDirs("C:\\Programas\\Outro");
  sys.RegMakeKey(RegRoot::kCurrentUser, "Software\\Kova");
  const std::vector<std::string> outside = {
      "C:\\windows\\system32\\kernel32.dll",
      "DIR=C:\\Dados da Oficina",
      "DIR=C:\\users\\Public\\Desktop",  // a shortcut folder itself
      kDir + "\\..\\..\\windows\\system32\\kernel32.dll",
      "DIR=" + kDir + "\\..\\Outro",
      "DIR=" + kDir + "\\x\" & rmdir /s /q \"C:\\Dados da Oficina",
  };
  std::vector<std::string> log = {"#x"};
  log.insert(log.end(), outside.begin(), outside.end());
  log.push_back("C:\\users\\Public\\Desktop\\KOVA.lnk");
  log.push_back("REG=HKCU\\Software\\Kova");  // registry lines act as before
  sys.PutFile(kDir + "\\uninstall.log", Log(log));
  ASSERT_TRUE(Run());
  Batch();
  EXPECT_EQ(sys.Data("C:\\windows\\system32\\kernel32.dll"), "sys");
  EXPECT_EQ(sys.Data("C:\\Dados da Oficina\\clientes.VELA"), "x");
  EXPECT_TRUE(sys.Exists("C:\\users\\Public\\Desktop\\Outro.lnk"));
  EXPECT_TRUE(sys.IsDir("C:\\Programas\\Outro"));
  EXPECT_FALSE(sys.Exists("C:\\users\\Public\\Desktop\\KOVA.lnk"));
  EXPECT_FALSE(sys.HasKey(RegRoot::kCurrentUser, "Software\\Kova"));
  EXPECT_EQ(report.skipped, outside);
}

TEST_F(UninstallTest, JunctionsAreRemovedNeverFollowed) {
  // A junction planted in the install folder leads to a folder of others.
  sys.PutFile("C:\\Alheio\\importante.txt", "x");
  sys.MakeLink(kDir + "\\dados", "C:\\Alheio");
  sys.PutFile(kDir + "\\uninstall.log",
              Log({"#x", "DIR=" + kDir + "\\dados", kDir + "\\dados\\importante.txt", "DIR=" + kDir}));
  ASSERT_TRUE(Run());
  BatchRun run = Batch();
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(sys.Data("C:\\Alheio\\importante.txt"), "x");
  EXPECT_FALSE(sys.Exists(kDir));  // the junction went as itself
  EXPECT_EQ(report.skipped, (std::vector<std::string>{kDir + "\\dados\\importante.txt"}));
}

TEST_F(UninstallTest, FoldersHoldingOtherFilesAreKeptAndNamed) {
  // A technician saved a parameter file in the install folder; \dados
  // holds only what was installed.
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\dados\\modelo.ini", "x");
  sys.PutFile(kDir + "\\cliente João.VELA", "param");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", "DIR=" + kDir + "\\dados", kDir + "\\KOVA.exe",
                                             kDir + "\\dados\\modelo.ini", "DIR=" + kDir}));
  ASSERT_TRUE(Run());
  EXPECT_EQ(report.kept, (std::vector<std::string>{kDir}));
  BatchRun run = Batch();
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.pauses, 1);  // no waiting for the folder that stays
  EXPECT_EQ(sys.Data(kDir + "\\cliente João.VELA"), "param");
  EXPECT_EQ(sys.Below(kDir).size(), 1u);  // the rest went
}

TEST_F(UninstallTest, FilesInUseAreRetriedAboutASecondApartForAboutAMinute) {
  auto install_locked = [&] {
    sys.MakeDirs(kDir);
    sys.PutFile(kDir + "\\KOVA.exe", "MZ");
    sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\KOVA.exe", "DIR=" + kDir}));
    sys.locked.insert(FakePlatform::Key(kDir + "\\KOVA.exe"));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
  };
  // Released after a few seconds: everything goes.
  install_locked();
  BatchRun run = RunBatch(sys, [&](int n) {
    if (n == 3) sys.locked.clear();
  });
  EXPECT_TRUE(run.finished && run.deleted_itself);
  EXPECT_EQ(run.pauses, 3);
  EXPECT_FALSE(sys.Exists(kDir));
  // Never released: the batch gives up after kBatchTries and deletes itself.
  install_locked();
  run = RunBatch(sys);
  EXPECT_TRUE(run.finished && run.deleted_itself);
  EXPECT_EQ(run.pauses, kBatchTries - 1);
  EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
}

TEST_F(UninstallTest, RunningProgramIsClosedFirstOrNothingIsRemoved) {
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\KOVA.exe"}));
  sys.mutexes.insert("Kova_aplication");
  sys.answers = {kBoxAnswerCancel};
  EXPECT_FALSE(Run());
  EXPECT_TRUE(report.program_running);
  EXPECT_EQ(sys.boxes.size(), 1u);
  EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_FALSE(sys.Exists("C:\\windows\\pelin_uni.bat"));

  // Unattended: no question, nothing done.
  EXPECT_FALSE(Desinstalar(sys, progress, kDir, std::string("KOVA GNV"), &report, true));
  EXPECT_TRUE(report.program_running);
  EXPECT_EQ(sys.boxes.size(), 1u);
}

TEST_F(UninstallTest, RegistryLinesDeleteOnlyUnderKnownRoots) {
  for (RegRoot r : {RegRoot::kClassesRoot, RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kUsers})
    sys.RegMakeKey(r, "Software\\Kova\\Sub");
  sys.RegMakeKey(RegRoot::kLocalMachine, "Software\\Outro");
  sys.PutFile(kDir + "\\uninstall.log",
              Log({"#x", "REG=HKCR\\Software\\Kova", "REG=HKCU\\Software\\Kova", "REG=HKLM\\Software\\Kova",
                   "REG=HKU\\Software\\Kova", "REG=HKCC\\Software\\Outro", "REG=HKLM", "REG=HKLM\\"}));
  ASSERT_TRUE(Run());
  for (RegRoot r : {RegRoot::kClassesRoot, RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kUsers})
    EXPECT_FALSE(sys.HasKey(r, "Software\\Kova\\Sub"));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, "Software\\Outro"));
  // Four package keys plus the Uninstall entry; nothing for HKCC or an empty subkey.
  EXPECT_EQ(sys.reg_deletes.size(), 5u);
}

TEST_F(UninstallTest, NothingIsRemovedWhileTheEntryCouldStillPointAtIt) {
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  // No log: nothing happens.
  EXPECT_FALSE(Run());
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  // A batch that cannot be written stops the uninstall before any removal.
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\KOVA.exe"}));
  sys.fail_create.insert(FakePlatform::Key("C:\\windows\\pelin_uni.bat"));
  EXPECT_FALSE(Run());
  EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  // Once it can go ahead, the entry is the first thing removed.
  sys.fail_create.clear();
  sys.locked.insert(FakePlatform::Key(kDir + "\\KOVA.exe"));
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine, kKey));
}

TEST_F(UninstallTest, UnknownProductLeavesEveryUninstallEntry) {
  sys.RegMakeKey(RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x"}));
  ASSERT_TRUE(Run(std::nullopt));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro"));
}

TEST_F(UninstallTest, BatchIsStartedHiddenThroughTheInterpreterByItsFullPath) {
  ASSERT_TRUE(StartBatch(sys));
  EXPECT_EQ(sys.started, (std::vector<std::string>{
                             "\"C:\\windows\\system32\\cmd.exe\" /d /v:off /c "
                             "\"C:\\windows\\pelin_uni.bat\" [hidden]"}));
}

TEST(ProductNameTrailer, ReadsNameOrReportsWhy) {
  FakePlatform sys;
  const std::string image(pkg::kUninstallerImageSize, 'U');
  sys.PutFile("C:\\K\\Desinstalar.exe", image + std::string("\x0A\0\0\0", 4) + "KOVA G\xE1s \xE9");
  ProductName n = ReadProductName(sys, "C:\\K");
  EXPECT_EQ(n.kind, ProductName::kFound);
  EXPECT_EQ(n.name, Cp1252ToUtf8("KOVA G\xE1s \xE9"));

  sys.PutFile("C:\\K\\Desinstalar.exe", image);
  EXPECT_EQ(ReadProductName(sys, "C:\\K").kind, ProductName::kNoTrailer);
  // A length running past the file, or absurdly long, is not a name.
  sys.PutFile("C:\\K\\Desinstalar.exe", image + std::string("\x20\0\0\0", 4) + "short");
  EXPECT_EQ(ReadProductName(sys, "C:\\K").kind, ProductName::kNotFound);
  sys.PutFile("C:\\K\\Desinstalar.exe", image + std::string("\xFF\xFF\xFF\x7F", 4) + "x");
  EXPECT_EQ(ReadProductName(sys, "C:\\K").kind, ProductName::kNotFound);
  // Renamed: the fixed name is missing.
  EXPECT_EQ(ReadProductName(sys, "C:\\Outro").kind, ProductName::kNotFound);
}

TEST(InstallThenUninstall, LeavesNothingBehindOnceTheBatchHasRun) {
  FakePlatform sys;
  FakePackage source;
  source.image = std::string(pkg::kUninstallerImageSize, 'U');
  source.dirs = {"\\", "\\dados"};
  source.files = {{1, Pad64("KOVA.exe"), 0, {Stored("MZ")}},
                  {2, Pad64("big.bin"), 2, {Stored("a"), Stored("b")}}};
  StoredDecoder decoder;
  InstallPackage pkg;
  pkg.product_name = pkg.product_name_bytes = "KOVA";
  pkg.desktop = {{"\\KOVA.exe", Pad64("KOVA")}};
  pkg.start_menu = {{"\\KOVA.exe", Pad64("KOVA")}};
  pkg.registry_keys = {"HKCU\\Software\\KovaTeste"};
  sys.RegMakeKey(RegRoot::kCurrentUser, "Software\\KovaTeste");
  InstallChoices choices;
  choices.directory = "C:\\Oficina\\Kova";
  RecordingProgress ip;
  ASSERT_TRUE(Instalar(sys, source, decoder, pkg, choices, ip).ok);

  ProductName name = ReadProductName(sys, choices.directory);
  ASSERT_EQ(name.kind, ProductName::kFound);
  Recorder up;
  ASSERT_TRUE(Desinstalar(sys, up, choices.directory, name.name));
  EXPECT_TRUE(RunBatch(sys).finished);
  EXPECT_FALSE(sys.Exists("C:\\Oficina\\Kova"));
  EXPECT_TRUE(sys.IsDir("C:\\Oficina"));  // made by the install, but only the full path is recorded
  EXPECT_FALSE(sys.Exists("C:\\users\\Public\\Desktop\\KOVA.lnk"));
  EXPECT_FALSE(sys.Exists("C:\\ProgramData\\Start Menu\\Programs\\KOVA"));
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"));
  EXPECT_FALSE(sys.HasKey(RegRoot::kCurrentUser, "Software\\KovaTeste"));
}

}  // namespace
}  // namespace kova
