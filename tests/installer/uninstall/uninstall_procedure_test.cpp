#include <gtest/gtest.h>

#include "Desinstalar/uninstall_procedure.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/install_procedure.h"
#include "Instalador/setup/uninstall_record.h"
#include "common/cp1252.h"
#include "../support/fake_batch.h"
#include "../support/fake_package.h"
#include "../support/fake_platform.h"

namespace kova {
namespace {

const std::string kDir = "C:\\Programas\\Kova";
const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA GNV";
const std::string kMenu = "C:\\ProgramData\\Start Menu\\Programs\\KOVA GNV";

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
    sys.RegSetString(RegRoot::kLocalMachine, kKey, "InstallLocation", kDir);
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
  std::string BatchText() { return sys.Data("C:\\windows\\pelin_uni_4242.bat"); }

  FakePlatform sys;
  Recorder progress;
  UninstallReport report;
};

TEST_F(UninstallTest, CommentOnlyLogLeavesTheFolderAndDropsTheEntry) {
  sys.PutFile(kDir + "\\uninstall.log", Log({"#NAO DELETE ESTE ARQUIVO!!!"}));
  ASSERT_TRUE(Run());
  EXPECT_EQ(sys.deletions, 1);  // the log itself
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
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\dados\\ação.ini", "x");
  sys.PutFile(kMenu + "\\Kova.lnk", "lnk");
  sys.PutFile(kMenu + "\\Desinstalar.lnk", "lnk");  // made by the install, never logged
  sys.PutFile(kDir + "\\uninstall.log",
              Log({"#NAO DELETE ESTE ARQUIVO!!!", "DIR=" + kDir + "\\dados", chunked, chunked, chunked,
                   kDir + "\\dados\\ação.ini", kDir + "\\nunca-existiu.txt", kMenu + "\\Kova.lnk",
                   "DIR=" + kMenu, "DIR=" + kDir}));
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_FALSE(sys.Exists(kDir + "\\dados\\ação.ini"));
  EXPECT_TRUE(sys.IsDir(kDir + "\\dados"));  // the batch removes folders
  EXPECT_EQ(progress.statuses,
            (std::vector<std::string>{"Excluindo arquivo: " + chunked,
                                      "Excluindo arquivo: " + kDir + "\\dados\\ação.ini",
                                      "Excluindo arquivo: " + kMenu + "\\Kova.lnk"}));
  EXPECT_EQ(progress.range, 10);
  EXPECT_EQ(progress.positions.back(), 10);
  // Paths reach the batch through its environment: the file is plain
  // ASCII whatever the names, so the interpreter's code page does not
  // matter and no name can become a command. It deletes one file, the
  // uninstaller's own, and only while no folder stands in its place.
  const std::string text = BatchText();
  for (char c : text) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  EXPECT_EQ(text.find("Kova"), std::string::npos);
  EXPECT_EQ(text.find("del /f"), text.rfind("del /f"));
  EXPECT_NE(text.find("if not exist \"%KOVA_UNI_F1%\\*\" del /f /q \"%KOVA_UNI_F1%\""), std::string::npos);
  EXPECT_EQ(sys.env["KOVA_UNI_F1"], kDir + "\\Desinstalar.exe");

  BatchRun run = Batch();
  EXPECT_TRUE(run.finished && run.deleted_itself);
  EXPECT_EQ(run.pauses, 1);  // one pause: the uninstaller was still running
  EXPECT_FALSE(sys.Exists(kDir));
  EXPECT_FALSE(sys.Exists(kMenu));
  EXPECT_TRUE(report.kept.empty());
}

TEST_F(UninstallTest, OnlyWhatTheInstallerPutsWhereItPutsItIsTouched) {
  // A log in a folder ordinary users can write to, rewritten to reach
  // elsewhere: none of it may be deleted by an administrator's uninstall.
  sys.PutFile("C:\\windows\\system32\\kernel32.dll", "sys");
  sys.PutFile("C:\\Dados da Oficina\\clientes.VELA", "x");
  sys.PutFile("C:\\users\\Public\\Desktop\\Outro.lnk", "lnk");
  sys.PutFile("C:\\users\\Public\\Desktop\\notas.txt", "x");
  sys.PutFile("C:\\users\\Public\\Desktop\\pasta\\Outro.lnk", "lnk");
  sys.PutFile("C:\\users\\Public\\Desktop\\KOVA.lnk", "lnk");
  sys.PutFile("C:\\users\\joao\\Start Menu\\Programs\\Outro\\Outro.lnk", "lnk");
  sys.PutFile("C:\\users\\joao\\Start Menu\\Programs\\KOVA GNV\\KOVA.lnk", "lnk");
  sys.MakeDirs("C:\\Programas\\Outro");
  const std::vector<std::string> outside = {
      "C:\\windows\\system32\\kernel32.dll",
      "DIR=C:\\Dados da Oficina",
      "DIR=C:\\users\\Public\\Desktop",  // a shortcut folder itself
      "C:\\users\\Public\\Desktop\\notas.txt",  // not a shortcut
      "C:\\users\\Public\\Desktop\\pasta\\Outro.lnk",  // not directly on the desktop
      "C:\\users\\joao\\Start Menu\\Programs\\Outro\\Outro.lnk",  // another product's menu
      "DIR=C:\\users\\joao\\Start Menu\\Programs\\Outro",
      kDir + "\\..\\..\\windows\\system32\\kernel32.dll",
      "DIR=" + kDir + "\\..\\Outro",
      "DIR=" + kDir + "\\x\" & rmdir /s /q \"C:\\Dados da Oficina",
  };
  std::vector<std::string> log = {"#x"};
  log.insert(log.end(), outside.begin(), outside.end());
  log.push_back("C:\\users\\Public\\Desktop\\KOVA.lnk");
  log.push_back("C:\\users\\joao\\Start Menu\\Programs\\KOVA GNV\\KOVA.lnk");
  sys.PutFile(kDir + "\\uninstall.log", Log(log));
  ASSERT_TRUE(Run());
  Batch();
  EXPECT_EQ(sys.Data("C:\\windows\\system32\\kernel32.dll"), "sys");
  EXPECT_EQ(sys.Data("C:\\Dados da Oficina\\clientes.VELA"), "x");
  EXPECT_TRUE(sys.Exists("C:\\users\\Public\\Desktop\\Outro.lnk"));
  EXPECT_TRUE(sys.Exists("C:\\users\\Public\\Desktop\\notas.txt"));
  EXPECT_TRUE(sys.Exists("C:\\users\\Public\\Desktop\\pasta\\Outro.lnk"));
  EXPECT_TRUE(sys.Exists("C:\\users\\joao\\Start Menu\\Programs\\Outro\\Outro.lnk"));
  EXPECT_TRUE(sys.IsDir("C:\\Programas\\Outro"));
  EXPECT_FALSE(sys.Exists("C:\\users\\Public\\Desktop\\KOVA.lnk"));
  EXPECT_FALSE(sys.Exists("C:\\users\\joao\\Start Menu\\Programs\\KOVA GNV\\KOVA.lnk"));
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

  // The same swap made after the line was checked, just before the delete:
  // the handle leads outside the install folder, and nothing goes.
  sys.MakeDirs(kDir);
  sys.PutFile(kDir + "\\dados\\importante.txt", "nosso");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\dados\\importante.txt"}));
  sys.before_erase = [&](const std::string& path) {
    if (path == kDir + "\\dados\\importante.txt" && !sys.IsLink(kDir + "\\dados"))
      sys.SwapForLink(kDir + "\\dados", "C:\\Alheio");
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(sys.Data("C:\\Alheio\\importante.txt"), "x");
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

TEST_F(UninstallTest, FileInUseGetsAFewSecondsThenIsKeptAndNamed) {
  // Held for good: kept and named, with its folder; the batch never
  // deletes it later through a path that may lead elsewhere by then.
  const std::string held = kDir + "\\dados.bin";
  sys.PutFile(held, "d");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", held, "DIR=" + kDir}));
  sys.locked.insert(FakePlatform::Key(held));
  ASSERT_TRUE(Run());
  EXPECT_EQ(sys.pauses, std::vector<int>(kInUseTries - 1, kInUsePauseMs));
  EXPECT_EQ(report.kept_files, (std::vector<std::string>{held}));
  EXPECT_EQ(report.kept, (std::vector<std::string>{kDir}));
  sys.locked.clear();
  EXPECT_TRUE(Batch().finished);
  EXPECT_EQ(sys.Data(held), "d");
  // Let go while it waits: it goes.
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", held}));
  sys.locked.insert(FakePlatform::Key(held));
  sys.on_pause = [&] { sys.locked.clear(); };
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.Exists(held));
  EXPECT_TRUE(report.kept_files.empty());
}

TEST_F(UninstallTest, RunningProgramOrEarlierCleanupStopsItBeforeAnythingIsRemoved) {
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\" + Pad64("KOVA.exe")}));
  sys.mutexes.insert("Kova_aplication");
  sys.answers = {kBoxAnswerCancel};
  EXPECT_FALSE(Run());
  EXPECT_EQ(report.refused, SetupRefusal::kProgramRunning);
  EXPECT_EQ(sys.boxes.size(), 1u);
  // Unattended, no question: a copy running in another session shows as
  // its file held open; an earlier cleanup that does not end stops it too.
  sys.mutexes.clear();
  sys.locked.insert(FakePlatform::Key(kDir + "\\KOVA.exe"));
  EXPECT_FALSE(Desinstalar(sys, progress, kDir, std::string("KOVA GNV"), &report, true));
  EXPECT_EQ(report.refused, SetupRefusal::kProgramRunning);
  sys.locked.clear();
  sys.cleanup_running_for = 1000;
  EXPECT_FALSE(Desinstalar(sys, progress, kDir, std::string("KOVA GNV"), &report, true));
  EXPECT_EQ(report.refused, SetupRefusal::kCleanupRunning);
  EXPECT_EQ(sys.boxes.size(), 1u);
  EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
}

TEST_F(UninstallTest, RegistryLinesActOnlyOnTheProductsRecordedKeys) {
  const RegRoot hklm = RegRoot::kLocalMachine;
  // Recorded at install, where only administrators write; the rule holds
  // even for what is recorded.
  sys.RegSetStrings(hklm, kKey, "RegistryKeys",
                    {"HKCU\\Software\\KOVA GNV", "HKLM\\SOFTWARE\\Microsoft\\Windows"});
  const std::vector<std::string> refused = {
      "REG=HKLM\\SOFTWARE\\KOVA GNV\\Extra",  // the product's, but never recorded
      "REG=HKLM\\SYSTEM\\ControlSet001", "REG=HKLM\\SOFTWARE\\Microsoft\\Windows",
      "REG=HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro",
      "REG=HKU\\S-1-5-21-1\\Software\\KOVA GNV", "REG=HKLM"};
  std::vector<std::string> log = {"#x", "REG=HKCU\\software\\kova gnv"};
  for (const std::string& line : refused) {
    log.push_back(line);
    size_t slash = line.find('\\');
    if (slash != std::string::npos) sys.RegMakeKey(line[6] == 'L' ? hklm : RegRoot::kUsers, line.substr(slash + 1));
  }
  sys.RegMakeKey(RegRoot::kCurrentUser, "Software\\KOVA GNV\\Sub");
  sys.PutFile(kDir + "\\uninstall.log", Log(log));
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.HasKey(RegRoot::kCurrentUser, "Software\\KOVA GNV\\Sub"));
  for (const std::string& line : refused) {
    if (line.find('\\') != std::string::npos) {
      EXPECT_TRUE(sys.HasKey(line[6] == 'L' ? hklm : RegRoot::kUsers, line.substr(line.find('\\') + 1)))
          << line;
    }
  }
  EXPECT_EQ(report.skipped, refused);
}

TEST_F(UninstallTest, TheEntryGoesFirstAndOnlyWhenItIsThisInstallations) {
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  // No log, or a batch that cannot be written: nothing happens.
  EXPECT_FALSE(Run());
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x", kDir + "\\KOVA.exe"}));
  sys.fail_create.insert(FakePlatform::Key("C:\\windows\\pelin_uni_4242.bat"));
  EXPECT_FALSE(Run());
  EXPECT_TRUE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  // Once it can go ahead, the entry is removed before any file.
  sys.fail_create.clear();
  sys.journal.clear();
  ASSERT_TRUE(Run());
  auto entry = std::find(sys.journal.begin(), sys.journal.end(),
                         "reg-delete " + FakePlatform::RegKey(RegRoot::kLocalMachine, kKey));
  auto erase = std::find_if(sys.journal.begin(), sys.journal.end(),
                            [](const std::string& c) { return c.rfind("erase ", 0) == 0; });
  ASSERT_NE(erase, sys.journal.end());
  EXPECT_LT(entry, erase);
  // An entry naming another folder (the product installed elsewhere, or a
  // copy of this folder) is that installation's: it stays, and the keys it
  // records are not this log's to delete.
  const std::string other = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro";
  sys.RegSetString(RegRoot::kLocalMachine, other, "InstallLocation", "C:\\Outro");
  sys.RegSetStrings(RegRoot::kLocalMachine, other, "RegistryKeys", {"HKCU\\Software\\Outro"});
  sys.RegMakeKey(RegRoot::kCurrentUser, "Software\\Outro");
  for (const std::optional<std::string>& product : {std::optional<std::string>("Outro"), std::optional<std::string>()}) {
    sys.PutFile(kDir + "\\uninstall.log", Log({"#x", "REG=HKCU\\Software\\Outro"}));
    ASSERT_TRUE(Run(product));  // without a name no entry is known at all
  }
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, other));
  EXPECT_TRUE(sys.HasKey(RegRoot::kCurrentUser, "Software\\Outro"));
}

TEST_F(UninstallTest, BatchIsStartedHiddenThroughTheInterpreterByItsFullPath) {
  // Named after the process: a second uninstall never rewrites a running one.
  EXPECT_EQ(BatchPath(sys), "C:\\windows\\pelin_uni_4242.bat");
  ASSERT_TRUE(StartBatch(sys));
  EXPECT_EQ(sys.started, (std::vector<std::string>{
                             "\"C:\\windows\\system32\\cmd.exe\" /d /v:off /c "
                             "\"C:\\windows\\pelin_uni_4242.bat\" [cleanup]"}));
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
  // A length running past the file, or absurdly long, is not a name; nor
  // is one the package writer refuses, since it picks keys to delete.
  for (const std::string& trailer : {std::string("\x20\0\0\0short", 9), std::string("\xFF\xFF\xFF\x7Fx", 5),
                                     std::string("\x05\0\0\0..\\x\\", 9), std::string("\x07\0\0\0Startup", 11),
                                     std::string("\0\0\0\0", 4)}) {
    sys.PutFile("C:\\K\\Desinstalar.exe", image + trailer);
    EXPECT_EQ(ReadProductName(sys, "C:\\K").kind, ProductName::kNotFound) << trailer;
  }
  // Renamed: the fixed name is missing.
  EXPECT_EQ(ReadProductName(sys, "C:\\Outro").kind, ProductName::kNotFound);
}

// What an install puts on disk, for the end-to-end runs below.
struct KovaPackage {
  KovaPackage() {
    source.image = std::string(pkg::kUninstallerImageSize, 'U');
    source.dirs = {"\\", "\\dados"};
    source.files = {{1, Pad64("KOVA.exe"), 0, {Stored("MZ")}},
                    {2, Pad64("big.bin"), 2, {Stored("a"), Stored("b")}}};
    pkg.product_name = pkg.product_name_bytes = "KOVA";
    pkg.desktop = {{"\\KOVA.exe", Pad64("KOVA")}};
    pkg.start_menu = {{"\\KOVA.exe", Pad64("KOVA")}};
    pkg.registry_keys = {"HKCU\\Software\\KOVA"};
    choices.directory = "C:\\Oficina\\Kova";
  }
  InstallOutcome Install(FakePlatform& sys) {
    RecordingProgress progress;
    return Instalar(sys, source, decoder, pkg, choices, progress);
  }
  FakePackage source;
  StoredDecoder decoder;
  InstallPackage pkg;
  InstallChoices choices;
};

TEST(InstallThenUninstall, LeavesNothingBehindOnceTheBatchHasRun) {
  FakePlatform sys;
  KovaPackage kova;
  sys.RegMakeKey(RegRoot::kCurrentUser, "Software\\KOVA\\Opcoes");  // made by the program
  ASSERT_TRUE(kova.Install(sys).ok);

  ProductName name = ReadProductName(sys, kova.choices.directory);
  ASSERT_EQ(name.kind, ProductName::kFound);
  Recorder up;
  ASSERT_TRUE(Desinstalar(sys, up, kova.choices.directory, name.name));
  EXPECT_TRUE(RunBatch(sys).finished);
  EXPECT_FALSE(sys.Exists("C:\\Oficina\\Kova"));
  EXPECT_TRUE(sys.IsDir("C:\\Oficina"));  // made by the install, but only the full path is recorded
  EXPECT_FALSE(sys.Exists("C:\\users\\Public\\Desktop\\KOVA.lnk"));
  EXPECT_FALSE(sys.Exists("C:\\ProgramData\\Start Menu\\Programs\\KOVA"));
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"));
  EXPECT_FALSE(sys.HasKey(RegRoot::kCurrentUser, "Software\\KOVA\\Opcoes"));
}

// An install killed at any change of the system (power cut, task manager)
// leaves nothing its log does not name: the uninstall, run as it would be
// after the crash, takes everything back but the folder above the install
// folder (never recorded) and, when the kill came before the log existed,
// the still empty install folder itself.
TEST(InstallThenUninstall, AnInstallKilledAtAnyStepLeavesNothingTheUninstallMisses) {
  int kills = 0;
  for (int kill = 0;; ++kill) {
    FakePlatform sys;
    KovaPackage kova;
    const std::vector<std::string> before = sys.Below("C:");
    sys.kill_after = kill;
    bool killed = false;
    try {
      EXPECT_TRUE(kova.Install(sys).ok);
    } catch (const FakePlatform::Killed&) {
      killed = true;
    }
    sys.kill_after = -1;
    Recorder up;
    if (Desinstalar(sys, up, kova.choices.directory, std::string("KOVA"))) RunBatch(sys);
    for (const std::string& left : sys.Below("C:")) {
      if (std::find(before.begin(), before.end(), left) != before.end() || left == "c:\\oficina") continue;
      EXPECT_TRUE(left == "c:\\oficina\\kova" && sys.Below(left).empty())
          << "killed at change " << kill << " (" << (kill > 0 ? sys.journal[kill - 1] : "") << "): " << left;
    }
    EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"))
        << "killed at change " << kill;
    if (!killed) break;
    ++kills;
  }
  EXPECT_GT(kills, 20);
}

}  // namespace
}  // namespace kova
