#include <gtest/gtest.h>

#include "Instalador/setup/install_helpers.h"
#include "../support/fake_platform.h"

namespace kova {
namespace {

TEST(InstallHelpers, PathTexts) {
  EXPECT_EQ(EnsureTrailingBackslash("C:\\A"), "C:\\A\\");
  EXPECT_EQ(EnsureTrailingBackslash("C:\\A\\"), "C:\\A\\");
  EXPECT_EQ(TrimRight("KOVA   "), "KOVA");
  EXPECT_EQ(TrimRight("   "), "");
  EXPECT_EQ(ParentFolder("C:\\A\\b.exe"), "C:\\A");
  EXPECT_EQ(VersionDigits("6.0.81.69"), "608169");
  EXPECT_EQ(InstallDirectoryFromText("C:\\Kova\\"), "C:\\Kova");
  EXPECT_EQ(InstallDirectoryFromText("C:\\Kova\\\\"), "C:\\Kova\\");
  FakePlatform sys;
  sys.PutFile("C:\\Sim\\f.txt", "x");
  EXPECT_TRUE(FileExists(sys, "C:\\Sim\\f.txt"));
  EXPECT_FALSE(FileExists(sys, "C:\\Sim"));
}

TEST(InstallHelpers, BrowseForFolderTrimsAndCancelGivesEmpty) {
  FakePlatform sys;
  sys.browse_answer = "  D:\\Oficina   ";
  EXPECT_EQ(BrowseForFolder(sys, "Selecione o diretório de destino"), "D:\\Oficina");
  EXPECT_EQ(sys.browse_titles.back(), "Selecione o diretório de destino");
  sys.browse_answer = "";
  EXPECT_EQ(BrowseForFolder(sys, "t"), "");
}

TEST(InstallHelpers, RemoveDirectoryTreeWithAndWithoutContents) {
  FakePlatform sys;
  sys.PutFile("C:\\T\\a.lnk", "x");
  sys.PutFile("C:\\T\\s1\\b.lnk", "x");
  sys.PutFile("C:\\T\\s1\\deep\\c.lnk", "x");
  sys.PutFile("C:\\T\\s2\\d.lnk", "x");
  sys.MakeDirs("C:\\T\\s3");
  EXPECT_FALSE(RemoveDirectoryTree(sys, "C:\\T", false));
  EXPECT_TRUE(sys.IsDir("C:\\T"));
  EXPECT_TRUE(RemoveDirectoryTree(sys, "C:\\T", true));
  EXPECT_FALSE(sys.Exists("C:\\T"));
  EXPECT_TRUE(sys.IsDir("C:\\"));
  sys.MakeDirs("C:\\Vazio");
  EXPECT_TRUE(RemoveDirectoryTree(sys, "C:\\Vazio", false));
  EXPECT_FALSE(RemoveDirectoryTree(sys, "C:\\Nada", true));

  // A subfolder swapped for a junction once it was listed: the files
  // deleted through it would be somebody else's.
  sys.PutFile("C:\\T\\s1\\b.lnk", "x");
  sys.PutFile("C:\\Alheio\\b.lnk", "alheio");
  sys.before_erase = [&](const std::string& path) {
    if (path == "C:\\T\\s1\\b.lnk" && !sys.IsLink("C:\\T\\s1")) sys.SwapForLink("C:\\T\\s1", "C:\\Alheio");
  };
  EXPECT_FALSE(RemoveDirectoryTree(sys, "C:\\T", true));
  EXPECT_EQ(sys.Data("C:\\Alheio\\b.lnk"), "alheio");
}

TEST(InstallHelpers, QueryFileVersionTexts) {
  FakePlatform sys;
  sys.PutFile("C:\\d.sys", "x");
  FixedVersion v;
  v.struct_version = 0x00010000;
  v.file_ms = (6u << 16) | 0;
  v.file_ls = (81u << 16) | 69;
  v.product_ms = 1u << 16;
  v.flags_mask = 0x3F;
  v.flags = 0x01 | 0x08 | 0x20 | 0x40;
  v.os = 0x00040004;
  v.type = 3;
  v.subtype = 10;
  sys.versions[FakePlatform::Key("C:\\d.sys")] = v;
  auto r = QueryFileVersion(sys, "C:\\d.sys");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->file_version, "6.0.81.69");
  EXPECT_EQ(r->product_version, "1.0.0.0");
  EXPECT_EQ(r->struct_version, "1.0");
  EXPECT_EQ(r->flags, "Debug Private Special ");
  EXPECT_EQ(r->os, "NT-Win32");
  EXPECT_EQ(r->type, "Driver");
  EXPECT_EQ(r->subtype, "Comm drv");
  EXPECT_FALSE(QueryFileVersion(sys, "C:\\nada.dll"));

  uint16_t a[4] = {6, 0, 81, 69}, b[4] = {10, 0, 0, 0}, c[4] = {6, 0, 81, 69};
  EXPECT_LT(CompareVersions(a, b), 0);
  EXPECT_GT(CompareVersions(b, a), 0);
  EXPECT_EQ(CompareVersions(a, c), 0);
}

TEST(InstallHelpers, PathInsideComparesAsWindowsDoesAndRefusesEscapes) {
  struct Case {
    const char* path;
    bool inside;
  };
  const char* root = "C:\\Programas\\Kova";
  const Case cases[] = {
      {"C:\\Programas\\Kova\\KOVA.exe", true},
      {"c:\\PROGRAMAS\\kova\\dados\\a.ini", true},
      {"C:\\Programas\\Kova\\KOVA.exe      ", true},  // padded name
      {"C:\\Programas\\Kova. \\x", true},               // trailing dots and spaces ignored
      {"C:\\Programas\\KovaX\\a", false},
      {"C:\\Programas\\Kova", false},
      {"C:\\Programas\\Kova\\..\\Outro", false},
      {"C:\\Programas\\Kova\\.\\a", false},
      {"C:\\Programas\\Kova\\ .. \\a", false},
      {"C:\\Programas\\Kova\\\\a", false},
      {"C:\\Programas\\Kova\\a\\", false},
      {"C:\\Programas\\Kova/../../windows", false},
      {"C:\\Programas\\Kova\\a\"b", false},
      {"C:\\Programas\\Kova\\a:stream", false},
      {"\\\\?\\C:\\Programas\\Kova\\a", false},
      {"Programas\\Kova\\a", false},
      {"D:\\Programas\\Kova\\a", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PathInside(c.path, root, false), c.inside) << c.path;
  EXPECT_TRUE(PathInside("C:\\Programas\\Kova", root, true));
  EXPECT_TRUE(PathInside("C:\\Programas\\Ação\\a", "C:\\PROGRAMAS\\AÇÃO", false));
  EXPECT_TRUE(PathInside("\\\\servidor\\oficina\\Kova\\a", "\\\\SERVIDOR\\oficina\\Kova", false));
  EXPECT_FALSE(PathInside("C:\\a", "", true));
  // Names a code page cannot hold are compared as themselves.
  EXPECT_FALSE(PathInside("C:\\Users\\Иван\\Desktop\\a.lnk", "C:\\Users\\Анна\\Desktop", false));
  EXPECT_TRUE(PathInside("C:\\Users\\АННА\\Desktop\\a.lnk", "c:\\users\\анна\\desktop", false));
  EXPECT_TRUE(SamePath("C:\\用户\\Kova", "c:\\用户\\KOVA"));
  EXPECT_FALSE(SamePath("C:\\用户\\Kova", "C:\\文件\\Kova"));
  EXPECT_FALSE(SamePath("C:\\Kova", "C:\\Kova\\a"));
}

}  // namespace
}  // namespace kova
