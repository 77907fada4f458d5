#include <gtest/gtest.h>

#include "Desinstalar/uninstall_procedure.h"
#include "Instalador/install_helpers.h"
#include "Instalador/install_procedure.h"
#include "common/cp1252.h"
#include "install_fake_package.h"
#include "install_fake_platform.h"

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
  }
  bool Run(const std::optional<std::string>& product = std::string("KOVA GNV")) {
    return Desinstalar(sys, progress, kDir, product);
  }
  std::string Batch() { return sys.Data("C:\\windows\\pelin_uni.bat"); }

  FakePlatform sys;
  Recorder progress;
};

TEST_F(UninstallTest, CommentOnlyLogGivesTwoLineBatchAndDropsTheEntry) {
  sys.PutFile(kDir + "\\uninstall.log", Log({"#NAO DELETE ESTE ARQUIVO!!!"}));
  ASSERT_TRUE(Run());
  EXPECT_EQ(Batch(), ":Repeat\r\ndel \"C:\\windows\\pelin_uni.bat\"\r\n");
  EXPECT_EQ(sys.deletions, 0);
  EXPECT_FALSE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_EQ(progress.range, 1);
  EXPECT_EQ(progress.positions, (std::vector<int>{1}));
}

TEST_F(UninstallTest, FilesGoOnceDirectoriesAreLeftToTheBatch) {
  const std::string chunked = kDir + "\\" + Pad64("KOVA.exe");
  sys.PutFile(kDir + "\\KOVA.exe", "MZ");
  sys.PutFile(kDir + "\\dados\\ação.ini", "x");
  sys.MakeDirs("C:\\Program Files\\Kova Oficina");
  sys.PutFile(kDir + "\\uninstall.log",
              Log({"#NAO DELETE ESTE ARQUIVO!!!", "DIR=" + kDir + "\\dados", chunked, chunked, chunked,
                   kDir + "\\dados\\ação.ini", kDir + "\\nunca-existiu.txt",
                   "DIR=C:\\Program Files\\Kova Oficina", "DIR=" + kDir}));
  ASSERT_TRUE(Run());
  EXPECT_FALSE(sys.Exists(kDir + "\\KOVA.exe"));
  EXPECT_FALSE(sys.Exists(kDir + "\\dados\\ação.ini"));
  EXPECT_EQ(sys.deletions, 2);
  EXPECT_TRUE(sys.IsDir(kDir + "\\dados"));  // the batch removes directories
  EXPECT_EQ(progress.statuses,
            (std::vector<std::string>{"Excluindo arquivo: " + chunked,
                                      "Excluindo arquivo: " + kDir + "\\dados\\ação.ini"}));
  EXPECT_EQ(progress.range, 9);
  EXPECT_EQ(progress.positions.back(), 9);
  EXPECT_EQ(Batch(), Utf8ToCp1252(
                         ":Repeat\r\n"
                         "rmdir /s/q \"C:\\Programas\\Kova\\dados\"\r\n"
                         "if exist \"C:\\Programas\\Kova\\dados\" goto Repeat\r\n"
                         "rmdir /s/q \"C:\\Program Files\\Kova Oficina\"\r\n"
                         "if exist \"C:\\Program Files\\Kova Oficina\" goto Repeat\r\n"
                         "rmdir /s/q \"C:\\Programas\\Kova\"\r\n"
                         "if exist \"C:\\Programas\\Kova\" goto Repeat\r\n"
                         "del \"C:\\windows\\pelin_uni.bat\"\r\n"));
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

TEST_F(UninstallTest, MissingLogFailsWithoutTouchingTheEntry) {
  EXPECT_FALSE(Run());
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_FALSE(sys.Exists("C:\\windows\\pelin_uni.bat"));
}

TEST_F(UninstallTest, UnknownProductLeavesEveryUninstallEntry) {
  sys.RegMakeKey(RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro");
  sys.PutFile(kDir + "\\uninstall.log", Log({"#x"}));
  ASSERT_TRUE(Run(std::nullopt));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine, kKey));
  EXPECT_TRUE(sys.HasKey(RegRoot::kLocalMachine,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Outro"));
}

TEST_F(UninstallTest, BatchIsStartedHiddenThroughTheInterpreter) {
  ASSERT_TRUE(StartBatch(sys));
  EXPECT_EQ(sys.started, (std::vector<std::string>{"cmd.exe /c \"C:\\windows\\pelin_uni.bat\" [hidden]"}));
}

TEST(ProductNameTrailer, ReadsNameOrReportsWhy) {
  FakePlatform sys;
  const std::string image(kUninstallerImageSize, 'U');
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
  source.image = std::string(kUninstallerImageSize, 'U');
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
  // Run the batch's rmdir lines the way the interpreter would.
  for (const std::string& line : SplitLogLines(sys.Data("C:\\windows\\pelin_uni.bat"))) {
    if (line.rfind("rmdir /s/q \"", 0) != 0) continue;
    std::string dir = line.substr(12, line.size() - 13);
    RemoveDirectoryTree(sys, dir, true);
  }
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
