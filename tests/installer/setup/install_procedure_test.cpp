#include <gtest/gtest.h>

#include <functional>

#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"
#include "Instalador/setup/install_procedure.h"
#include "common/cp1252.h"
#include "../support/fake_package.h"
#include "../support/fake_platform.h"

namespace kova {
namespace {

const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA GNV";

class InstallTest : public ::testing::Test {
 protected:
  InstallTest() {
    pkg.product_name = "KOVA GNV";
    pkg.product_name_bytes = "KOVA GNV";
    pkg.desktop.push_back({"\\KOVA.exe", Pad64("KOVA")});
    pkg.start_menu.push_back({"\\KOVA.exe", Pad64("KOVA")});
    source.files.push_back({1, Pad64("KOVA.exe"), 0, {Stored("MZ-program")}});
    choices.directory = "C:\\Programas\\Kova";
  }

  InstallOutcome Run() { return Instalar(sys, source, decoder, pkg, choices, progress); }
  std::vector<std::string> LogLines(const std::string& dir = "C:\\Programas\\Kova") {
    return SplitLogLines(sys.Data(dir + "\\uninstall.log"));
  }

  FakePlatform sys;
  FakePackage source;
  StoredDecoder decoder;
  InstallPackage pkg;
  InstallChoices choices;
  RecordingProgress progress;
};

TEST_F(InstallTest, FreshInstallWritesTreeLogShortcutsAndUninstallEntry) {
  source.dirs = {"\\", "\\dados", "\\dados\\modelos"};
  source.files.push_back({2, Pad64("Configuração.ini"), 0, {Stored("x=1")}});
  pkg.registry_keys = {"HKCU\\Software\\KOVA GNV", "HKLM\\SOFTWARE\\kova gnv\\Opções"};
  InstallOutcome out = Run();
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.directory, "C:\\Programas\\Kova");

  const std::string d = "C:\\Programas\\Kova";
  EXPECT_EQ(sys.Data(d + "\\KOVA.exe"), "MZ-program");
  EXPECT_EQ(sys.Data(d + "\\dados\\Configuração.ini"), "x=1");
  EXPECT_EQ(sys.Data(d + "\\Desinstalar.exe"), source.image + std::string("\x08\0\0\0", 4) + "KOVA GNV");

  const std::string desk = "C:\\users\\Public\\Desktop\\KOVA.lnk";
  const std::string menu = "C:\\ProgramData\\Start Menu\\Programs\\KOVA GNV";
  // Each line comes before what it names is made.
  std::vector<std::string> expected = {
      "#NAO DELETE ESTE ARQUIVO!!!",
      "DIR=" + d,
      "REG=HKCU\\Software\\KOVA GNV",
      "REG=HKLM\\SOFTWARE\\kova gnv\\Opções",
      "DIR=" + d + "\\dados",
      "DIR=" + d + "\\dados\\modelos",
      d + "\\" + Pad64("KOVA.exe"),
      d + "\\dados\\" + Pad64("Configuração.ini"),
      desk,
      "DIR=" + menu,
      menu + "\\KOVA.lnk",
  };
  EXPECT_EQ(LogLines(), expected);
  // CR LF line ends and 1252 bytes on disk.
  std::string raw = sys.Data(d + "\\uninstall.log");
  EXPECT_EQ(raw.substr(0, 29), "#NAO DELETE ESTE ARQUIVO!!!\r\n");
  EXPECT_NE(raw.find("Configura\xE7\xE3o.ini"), std::string::npos);

  auto lnk = sys.Shortcut(desk);
  ASSERT_TRUE(lnk);
  EXPECT_EQ(lnk->target, d + "\\KOVA.exe");
  EXPECT_EQ(lnk->icon, d + "\\KOVA.exe,0");
  EXPECT_EQ(lnk->window_style, 1);
  auto un = sys.Shortcut(menu + "\\Desinstalar.lnk");
  ASSERT_TRUE(un);
  EXPECT_EQ(un->target, d + "\\Desinstalar.exe");

  const RegRoot hklm = RegRoot::kLocalMachine;
  EXPECT_EQ(sys.RegValue(hklm, kKey, "DisplayName"), "KOVA GNV");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "DisplayIcon"), d + "\\Desinstalar.exe");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "UninstallString"), "\"" + d + "\\Desinstalar.exe\"");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "QuietUninstallString"), "\"" + d + "\\Desinstalar.exe\" /S");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "InstallLocation"), d);
  EXPECT_EQ(sys.RegValue(hklm, kKey, "NoModify"), "dword:1");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "NoRepair"), "dword:1");
  EXPECT_EQ(sys.RegValue(hklm, kKey, "EstimatedSize"), "dword:1");  // under 1 KB, rounded up
  // The keys the uninstaller may delete, where only administrators write.
  EXPECT_EQ(sys.RegGetStrings(hklm, kKey, "RegistryKeys"), pkg.registry_keys);

  EXPECT_EQ(progress.statuses.front(), "Montando base de diretórios...");
  EXPECT_NE(std::find(progress.statuses.begin(), progress.statuses.end(),
                      "Copiando arquivo " + Pad64("KOVA.exe") + " (14)"),
            progress.statuses.end());
  EXPECT_EQ(progress.statuses.back(), "Registrando componentes...");
  EXPECT_EQ(progress.ranges, (std::vector<int>{3, 2}));
  // Directory records 0, 1, 2, then the two single-chunk files.
  EXPECT_EQ(progress.positions, (std::vector<int>{0, 1, 2, 1, 2}));
  EXPECT_EQ(progress.pumps, 2);
  EXPECT_TRUE(sys.boxes.empty());
}

TEST_F(InstallTest, OnlyTheDirectoriesThisRunCreatedAreLogged) {
  // C:\A\B with neither existing: both made, only the full path logged.
  choices.directory = "C:\\A\\B";
  source.dirs = {"\\", "\\sub"};
  ASSERT_TRUE(Run().ok);
  EXPECT_TRUE(sys.IsDir("C:\\A\\B\\sub"));
  auto lines = LogLines("C:\\A\\B");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DIR=C:\\A\\B"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DIR=C:\\A"), 0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DIR=C:\\A\\B\\sub"), 1);

  // Into an existing directory whose subdirectory exists too: neither logged.
  sys.MakeDirs("C:\\Existente\\sub");
  choices.directory = "C:\\Existente";
  ASSERT_TRUE(Run().ok);
  for (const std::string& line : LogLines("C:\\Existente"))
    EXPECT_TRUE(line.rfind("DIR=C:\\Existente", 0) != 0) << line;
}

TEST_F(InstallTest, OneTrailingBackslashIsDropped) {
  choices.directory = "C:\\Kova\\";
  InstallOutcome out = Run();
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.directory, "C:\\Kova");
  EXPECT_EQ(LogLines("C:\\Kova")[1], "DIR=C:\\Kova");
  EXPECT_EQ(InstallDirectoryFromText("C:\\Kova\\\\"), "C:\\Kova\\");
  EXPECT_EQ(InstallDirectoryFromText("C:\\Kova"), "C:\\Kova");
}

TEST_F(InstallTest, ChunkedFileIsJoinedAndLoggedOncePerChunk) {
  source.files = {{1, Pad64("a.txt"), 3, {Stored("one-"), Stored("two-"), Stored("three")}},
                  {1, Pad64("b.txt"), 1, {Stored("single")}}};
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.Data("C:\\Programas\\Kova\\a.txt"), "one-two-three");
  EXPECT_EQ(sys.Data("C:\\Programas\\Kova\\b.txt"), "single");
  auto lines = LogLines();
  const std::string a = "C:\\Programas\\Kova\\" + Pad64("a.txt");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), a), 3);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "C:\\Programas\\Kova\\" + Pad64("b.txt")), 1);
  // Files with a stored count of 1 or more neither move the bar nor pump.
  EXPECT_EQ(progress.pumps, 0);
}

TEST_F(InstallTest, ReinstallRecreatesTheStartMenuFolder) {
  const std::string menu = "C:\\users\\joao\\Start Menu\\Programs\\KOVA GNV";
  sys.PutFile(menu + "\\Antigo.lnk", "old");
  sys.PutFile(menu + "\\sub\\x.lnk", "old");
  choices.all_users = false;
  ASSERT_TRUE(Run().ok);
  EXPECT_FALSE(sys.Exists(menu + "\\Antigo.lnk"));
  EXPECT_FALSE(sys.Exists(menu + "\\sub"));
  EXPECT_TRUE(sys.Shortcut(menu + "\\KOVA.lnk"));
  EXPECT_TRUE(sys.Shortcut("C:\\users\\joao\\Desktop\\KOVA.lnk"));
  EXPECT_FALSE(sys.Exists("C:\\users\\Public\\Desktop\\KOVA.lnk"));
  // The Uninstall entry is machine-wide for either choice.
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
}

TEST_F(InstallTest, UncheckedShortcutBoxesCreateNoShortcuts) {
  choices.desktop = false;
  choices.start_menu = false;
  ASSERT_TRUE(Run().ok);
  auto lines = LogLines();
  EXPECT_EQ(lines.size(), 3u);  // comment, KOVA.exe, install directory
  EXPECT_TRUE(sys.Below("C:\\users\\Public\\Desktop").empty());
  EXPECT_TRUE(sys.Below("C:\\ProgramData\\Start Menu\\Programs").empty());
}

TEST_F(InstallTest, ComponentsRegisterOnlyWhenNewerByNumber) {
  pkg.components = {"\\novo.dll", "\\velho.dll", "\\ausente.dll"};
  source.files.push_back({1, Pad64("novo.dll"), 0, {Stored("dll")}});
  source.files.push_back({1, Pad64("velho.dll"), 0, {Stored("dll")}});
  source.files.push_back({1, Pad64("ausente.dll"), 0, {Stored("dll")}});
  const std::string d = "C:\\Programas\\Kova";
  // novo: 10.0.0.0 installed over 9.0.0.0 (a text comparison would say older).
  sys.PutFile("C:\\windows\\system32\\novo.dll", "sys");
  sys.versions[FakePlatform::Key(d + "\\novo.dll")] = {0x10000, 10u << 16, 0};
  sys.versions[FakePlatform::Key("C:\\windows\\system32\\novo.dll")] = {0x10000, 9u << 16, 0};
  // velho: 1.2.0.0 installed, 1.10.0.0 on the system: not registered.
  sys.PutFile("C:\\windows\\system32\\velho.dll", "sys");
  sys.versions[FakePlatform::Key(d + "\\velho.dll")] = {0x10000, (1u << 16) | 2, 0};
  sys.versions[FakePlatform::Key("C:\\windows\\system32\\velho.dll")] = {0x10000, (1u << 16) | 10, 0};
  // ausente: no system copy, but no version either: reported, not registered.
  ASSERT_TRUE(Run().ok);
  // regsvr32 by its full path, never whatever the search finds first.
  EXPECT_EQ(sys.started, (std::vector<std::string>{"\"C:\\windows\\system32\\regsvr32.exe\" /s \"" + d +
                                                   "\\novo.dll\" [hidden]"}));
  ASSERT_EQ(sys.boxes.size(), 1u);
  EXPECT_EQ(sys.boxes[0].text, "No Version Info available!");
}

TEST_F(InstallTest, DisplayVersionAndPublisherComeFromTheShortcutTarget) {
  sys.version_strings[FakePlatform::Key("C:\\Programas\\Kova\\KOVA.exe")] = {"Kova Sistemas", "2.1.0", "2.1.0.7"};
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.RegValue(RegRoot::kLocalMachine, kKey, "DisplayVersion"), "2.1.0");
  EXPECT_EQ(sys.RegValue(RegRoot::kLocalMachine, kKey, "Publisher"), "Kova Sistemas");
}

TEST_F(InstallTest, BadPackageOrDirectoryWritesNothing) {
  source.invalid = "Pacote de instalação danificado: arquivo truncado.";
  InstallOutcome out = Run();
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.error, source.invalid);
  EXPECT_FALSE(sys.Exists("C:\\Programas"));

  source.invalid.clear();
  for (const char* dir : {"", "Kova", "\\"}) {
    choices.directory = dir;
    out = Run();
    EXPECT_FALSE(out.ok) << dir;
    EXPECT_EQ(out.error, kFatalText);
  }
  EXPECT_FALSE(sys.Exists("C:\\Desinstalar.exe"));
  EXPECT_FALSE(sys.Exists("C:\\uninstall.log"));
}

TEST_F(InstallTest, FailingStepStopsWithItsOwnMessage) {
  source.files = {{1, Pad64("ok.bin"), 0, {Stored("fine")}},
                  {1, Pad64("ruim.bin"), 2, {Stored("part"), "XXXXcorrupt"}}};
  InstallOutcome out = Run();
  ASSERT_FALSE(out.ok);
  EXPECT_NE(out.error.find("identification string not found"), std::string::npos);
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine, kKey));

  source.files.pop_back();
  pkg.desktop.clear();
  sys.shortcuts_work = false;
  out = Run();
  ASSERT_FALSE(out.ok);
  EXPECT_NE(out.error.find("Desinstalar.lnk"), std::string::npos);
}

TEST_F(InstallTest, UnwritableLogTakesBackTheNewDirectories) {
  sys.fail_create.insert(FakePlatform::Key("C:\\Programas\\Kova\\uninstall.log"));
  InstallOutcome out = Run();
  ASSERT_FALSE(out.ok);
  EXPECT_NE(out.error.find("uninstall.log"), std::string::npos);
  EXPECT_FALSE(sys.Exists("C:\\Programas"));
}

TEST_F(InstallTest, MissingOrRelativeSpecialFolderStopsBeforeAnythingIsWritten) {
  for (const char* broken : {"", "Desktop", "\\Desktop"}) {
    FakePlatform fresh;
    fresh.folders[kFolderDesktopAll] = broken;
    InstallOutcome out = Instalar(fresh, source, decoder, pkg, choices, progress);
    EXPECT_FALSE(out.ok) << broken;
    EXPECT_NE(out.error.find("área de trabalho"), std::string::npos) << out.error;
    EXPECT_FALSE(fresh.Exists("C:\\Programas")) << broken;
    EXPECT_FALSE(fresh.Exists("C:\\KOVA.lnk"));
  }
  sys.folders[kFolderProgramsAll] = "";
  EXPECT_FALSE(Run().ok);
  EXPECT_FALSE(sys.Exists("C:\\KOVA GNV"));
  EXPECT_FALSE(sys.Exists("C:\\Programas"));
  sys.folders[kFolderProgramFiles] = "";
  EXPECT_EQ(DefaultInstallDirectory(sys, "#PADRAO#", "Kova"), "");
}

TEST_F(InstallTest, StartMenuFolderOfAnEarlierInstallIsClearedWithoutFollowingLinks) {
  const std::string menu = "C:\\ProgramData\\Start Menu\\Programs\\KOVA GNV";
  sys.PutFile("C:\\Alheio\\importante.txt", "x");
  sys.PutFile(menu + "\\Antigo.lnk", "old");
  sys.MakeLink(menu + "\\atalho", "C:\\Alheio");
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.Data("C:\\Alheio\\importante.txt"), "x");
  EXPECT_FALSE(sys.Exists(menu + "\\atalho"));
  EXPECT_FALSE(sys.Exists(menu + "\\Antigo.lnk"));
  // A start-menu folder that is itself a link goes as a link.
  sys.MakeLink(menu, "C:\\Alheio");
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.Data("C:\\Alheio\\importante.txt"), "x");
}

TEST_F(InstallTest, ProductNamedAfterTheSystemsOwnMenuFolderIsRefused) {
  // Checked against the folder Windows reports, whatever its language.
  sys.folders[7] = "C:\\users\\joao\\Start Menu\\Programs\\Autostart";
  sys.PutFile(sys.folders[7] + "\\Outro.lnk", "x");
  pkg.product_name = pkg.product_name_bytes = "AUTOSTART";
  choices.all_users = false;
  EXPECT_NE(Run().error.find("pasta do sistema"), std::string::npos);
  EXPECT_TRUE(sys.Exists(sys.folders[7] + "\\Outro.lnk"));
  EXPECT_FALSE(sys.Exists("C:\\Programas"));
}

// What stops an install before anything is written, and the exit code an
// unattended run gives for it.
TEST_F(InstallTest, RefusalsWriteNothingAndGiveTheirExitCode) {
  const std::string dir = "C:\\Programas\\Kova", exe = dir + "\\KOVA.exe";
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> make;
    SetupRefusal refused;
    int code;
  } const cases[] = {
      {"program open", [](FakePlatform& s) { s.mutexes.insert("Kova_aplication"); },
       SetupRefusal::kProgramRunning, 4},
      {"program open in another session: its file is held",
       [&](FakePlatform& s) { s.PutFile(exe, "MZ-old"), s.locked.insert(FakePlatform::Key(exe)); },
       SetupRefusal::kProgramRunning, 4},
      {"folder others may change",
       [&](FakePlatform& s) { s.MakeDirs(dir), s.writable_by_others.insert(FakePlatform::Key(dir)); },
       SetupRefusal::kUnsafeFolder, 5},
      {"an earlier uninstall's cleanup never ends", [](FakePlatform& s) { s.cleanup_running_for = 1000; },
       SetupRefusal::kCleanupRunning, 6},
  };
  choices.quiet = true;
  for (const Case& c : cases) {
    FakePlatform fresh;
    c.make(fresh);
    const std::vector<std::string> before = fresh.Below("C:");
    InstallOutcome out = Instalar(fresh, source, decoder, pkg, choices, progress);
    EXPECT_EQ(out.refused, c.refused) << c.what;
    EXPECT_EQ(RefusalExitCode(out.refused), c.code) << c.what;
    EXPECT_EQ(fresh.Below("C:"), before) << c.what;
    EXPECT_TRUE(fresh.boxes.empty()) << c.what;
  }
}

// With a window the user decides: close the program and retry, or go ahead
// in a folder others may change. An earlier cleanup is waited for.
TEST_F(InstallTest, UserClosesTheProgramOrGoesAheadAndACleanupIsWaitedFor) {
  sys.mutexes.insert("Kova_aplication");
  sys.answers = {kBoxAnswerCancel};
  EXPECT_EQ(Run().refused, SetupRefusal::kProgramRunning);
  ASSERT_EQ(sys.boxes.size(), 1u);
  EXPECT_NE(sys.boxes[0].text.find("KOVA GNV está aberto"), std::string::npos);
  EXPECT_EQ(sys.boxes[0].flags, static_cast<unsigned>(kBoxRetryCancel | kBoxIconWarning));
  sys.running_checks_left = 2;
  sys.answers = {kBoxAnswerRetry};
  ASSERT_TRUE(Run().ok);

  sys.writable_by_others.insert(FakePlatform::Key("C:\\Programas\\Kova"));
  sys.answers = {kBoxAnswerNo};
  EXPECT_EQ(Run().refused, SetupRefusal::kUnsafeFolder);
  EXPECT_NE(sys.boxes.back().text.find("não são administradores"), std::string::npos);
  EXPECT_EQ(sys.boxes.back().flags, static_cast<unsigned>(kBoxYesNo | kBoxIconWarning));
  sys.answers = {kBoxAnswerYes};
  sys.cleanup_running_for = 3;
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.pauses, std::vector<int>(3, 1000));
  EXPECT_NE(std::find(progress.statuses.begin(), progress.statuses.end(),
                      "Aguardando o fim de uma desinstalação anterior..."),
            progress.statuses.end());
}

TEST_F(InstallTest, UpgradeKeepsTheEarlierRecordAndIsProposedItsFolder) {
  // Version 1: all users, with a file version 2 no longer ships.
  source.dirs = {"\\", "\\antigo"};
  source.files.push_back({2, Pad64("velho.dll"), 0, {Stored("v1")}});
  pkg.registry_keys = {"HKCU\\Software\\KOVA GNV\\Antiga"};
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(ProposedInstallDirectory(sys, "KOVA GNV", "#PADRAO#", "Kova"), "C:\\Programas\\Kova");
  EXPECT_EQ(ProposedInstallDirectory(sys, "Outro", "#PADRAO#", "Kova"), "C:\\Program Files\\Kova");
  std::vector<std::string> first = LogLines();

  // Version 2 over it, for this user only.
  source.dirs = {"\\"};
  source.files = {{1, Pad64("KOVA.exe"), 0, {Stored("MZ-v2")}}};
  choices.directory = ProposedInstallDirectory(sys, "KOVA GNV", "#PADRAO#", "Kova");
  choices.all_users = false;
  pkg.registry_keys = {"HKLM\\Software\\KOVA GNV"};
  ASSERT_TRUE(Run().ok);
  // The entry still records the first version's key for the uninstaller.
  EXPECT_EQ(sys.RegGetStrings(RegRoot::kLocalMachine, kKey, "RegistryKeys"),
            (std::vector<std::string>{"HKCU\\Software\\KOVA GNV\\Antiga", "HKLM\\Software\\KOVA GNV"}));
  std::vector<std::string> second = LogLines();
  for (const std::string& line : first) {
    if (line[0] == '#') continue;
    EXPECT_EQ(std::count(second.begin(), second.end(), line), 1) << line;
  }
  EXPECT_NE(std::find(second.begin(), second.end(), "C:\\users\\joao\\Desktop\\KOVA.lnk"), second.end());

  // A reinstall does not grow the record.
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(LogLines().size(), second.size());
}

// A folder the install creates outside Program Files gets the protection
// Program Files has before anything is put in it; one under Program Files
// inherits it, and without administrator rights nothing is changed.
TEST_F(InstallTest, FolderItCreatesOutsideProgramFilesIsProtectedFirst) {
  struct Case {
    const char* dir;
    bool elevated, exists;
    const char* protected_key;  // empty: none
  } const cases[] = {
      {"C:\\Oficina\\Kova", true, false, "c:\\oficina"},
      {"C:\\Program Files\\Kova", true, false, ""},
      {"C:\\Program Files (x86)\\Kova", true, false, ""},
      {"C:\\Oficina\\Kova", false, false, ""},
      {"C:\\Oficina\\Kova", true, true, ""},  // an existing folder keeps its own rights
  };
  for (const Case& c : cases) {
    FakePlatform fresh;
    fresh.folders[kFolderProgramFilesX86] = "C:\\Program Files (x86)";
    fresh.MakeDirs("C:\\Program Files (x86)");
    if (c.exists) fresh.MakeDirs(c.dir);
    fresh.elevated = c.elevated;
    choices.directory = c.dir;
    ASSERT_TRUE(Instalar(fresh, source, decoder, pkg, choices, progress).ok) << c.dir;
    if (!*c.protected_key) {
      EXPECT_TRUE(fresh.protected_folders.empty()) << c.dir;
      continue;
    }
    EXPECT_EQ(fresh.protected_folders, std::vector<std::string>{c.protected_key});
    auto at = std::find(fresh.journal.begin(), fresh.journal.end(), "protect c:\\oficina");
    ASSERT_NE(at, fresh.journal.end());
    EXPECT_EQ(*(at - 1), "mkdir c:\\oficina");
  }
  // A folder that cannot be protected is taken back.
  FakePlatform fresh;
  fresh.protect_works = false;
  choices.directory = "C:\\Oficina\\Kova";
  InstallOutcome out = Instalar(fresh, source, decoder, pkg, choices, progress);
  EXPECT_FALSE(out.ok);
  EXPECT_NE(out.error.find("proteger a pasta C:\\Oficina"), std::string::npos) << out.error;
  EXPECT_FALSE(fresh.Exists("C:\\Oficina"));
}

TEST_F(InstallTest, RegistryKeyOutsideTheProductStopsTheInstall) {
  for (const char* key : {"HKLM\\SOFTWARE\\Outro", "HKLM\\SYSTEM\\KOVA GNV",
                          "HKU\\S-1-5-21-1\\Software\\KOVA GNV", "HKCR\\KOVA GNV",
                          "HKLM\\SOFTWARE\\KOVA GNV\\..\\Outro"}) {
    FakePlatform fresh;
    pkg.registry_keys = {key};
    InstallOutcome out = Instalar(fresh, source, decoder, pkg, choices, progress);
    EXPECT_FALSE(out.ok) << key;
    EXPECT_NE(out.error.find(key), std::string::npos) << out.error;
    EXPECT_FALSE(fresh.Exists("C:\\Programas")) << key;
  }
}

TEST_F(InstallTest, LogNamingAFolderWindows1252CannotHoldIsKeptInUtf8) {
  choices.directory = "C:\\Оficina\\Анна";
  ASSERT_TRUE(Run().ok);
  EXPECT_EQ(sys.Data(choices.directory + "\\uninstall.log").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(LogLines(choices.directory)[1], "DIR=" + choices.directory);
  EXPECT_EQ(LogLines(choices.directory)[2], choices.directory + "\\" + Pad64("KOVA.exe"));
}

TEST(DefaultDirectory, MarkerMeansProgramFilesPlusFolder) {
  FakePlatform sys;
  EXPECT_EQ(DefaultInstallDirectory(sys, "#PADRAO#", "Kova"), "C:\\Program Files\\Kova");
  EXPECT_EQ(DefaultInstallDirectory(sys, "D:\\Oficina", "Kova"), "D:\\Oficina");
}

}  // namespace
}  // namespace kova
