// The installer's package reader against hand-made appendices that break
// one rule each.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Instalador/package/package_layout.h"
#include "Instalador/package/package_reader.h"
#include "package_collector.h"
#include "tools/package_writer.h"

namespace kova::pkg {
namespace {

using namespace test;

// A small layout keeps the hand-made files short.
constexpr ImageSizes kSmall{16, 8};

struct Appendix {
  PackageHeader header;
  Bytes section;  // the whole file section

  Appendix() {
    header.productName = "KOVA";
    header.description = "d";
    header.terms = "t";
    header.defaultDirectory = "C:\\KOVA";
    header.folderName = "KOVA";
    header.desktop = {{"\\KOVA.exe", Pad("KOVA")}};
    header.registryKeys = {"HKLM\\Software\\KOVA"};
    section = Section({{1, "\\"}, {2, "\\dados"}}, {File(1, "KOVA.exe", {"HE0\rabc"}),
                                                     File(2, "a.txt", {"HE0\rx", "HE0\ry"}, 2)});
  }
  static Bytes File(int dir, const std::string& name, std::vector<std::string> chunks,
                    int field = 0) {
    Bytes b;
    PutI16(b, int16_t(dir));
    std::string n = Pad(name);
    b.insert(b.end(), n.begin(), n.end());
    PutI16(b, int16_t(field));
    for (const auto& c : chunks) {
      PutI32(b, int32_t(c.size()));
      b.insert(b.end(), c.begin(), c.end());
    }
    return b;
  }
  static Bytes Section(std::vector<std::pair<int, std::string>> dirs, std::vector<Bytes> files,
                       int fileCount = -1) {
    Bytes b = B("PKG");
    PutI16(b, 2);
    PutI16(b, int16_t(dirs.size()));
    PutI32(b, fileCount >= 0 ? fileCount : int32_t(files.size()));
    for (auto& [num, name] : dirs) {
      PutI16(b, int16_t(num));
      PutI16(b, int16_t(name.size()));
      b.insert(b.end(), name.begin(), name.end());
    }
    for (auto& f : files) b.insert(b.end(), f.begin(), f.end());
    return b;
  }
  Bytes HeaderBytes() const { return pack::SerializeHeader(header); }
  Bytes FileWith(const Bytes& headerBytes, const Bytes& sectionBytes) const {
    Bytes f(size_t(kSmall.HeaderOffset()), 'i');
    f.insert(f.end(), headerBytes.begin(), headerBytes.end());
    f.insert(f.end(), sectionBytes.begin(), sectionBytes.end());
    return f;
  }
  Bytes FileBytes() const { return FileWith(HeaderBytes(), section); }
};

// Reads header, validates and walks; the first failure's result.
Result ReadAll(const Bytes& file, Collector* collector = nullptr) {
  MemoryByteSource src(file);
  PackageReader reader(src, kSmall);
  PackageHeader h;
  Result r = reader.ReadHeader(h);
  if (!r.Ok()) return r;
  FileSectionSummary s;
  r = reader.ValidateFileSection(h.fileSectionOffset, s);
  if (!r.Ok()) return r;
  Collector local;
  return reader.WalkFileSection(h.fileSectionOffset, collector ? *collector : local);
}

void ExpectDamaged(const Bytes& file, const std::string& mentions) {
  const Result r = ReadAll(file);
  EXPECT_EQ(r.status, Status::Damaged) << mentions;
  EXPECT_EQ(r.message.rfind("O pacote de instalação está danificado: ", 0), 0u) << r.message;
  EXPECT_NE(r.message.find(mentions), std::string::npos) << r.message;
}

TEST(AppendixReader, AcceptsTheBaseCase) {
  Appendix a;
  Collector c;
  ASSERT_TRUE(ReadAll(a.FileBytes(), &c).Ok());
  EXPECT_EQ(c.files["\\dados|a.txt"], B("xy"));
  EXPECT_EQ(c.files["\\|KOVA.exe"], B("abc"));
}

TEST(AppendixReader, NoAppendixAndShortFiles) {
  Bytes exact(16, 'i');
  MemoryByteSource src(exact);
  PackageReader reader(src, kSmall);
  PackageHeader h;
  EXPECT_EQ(reader.ReadHeader(h).status, Status::NoAppendix);
  Bytes image;
  EXPECT_EQ(reader.ReadUninstallerImage(image).status, Status::NoAppendix);
  Bytes shorter(10, 'i');
  MemoryByteSource src2(shorter);
  PackageReader reader2(src2, kSmall);
  EXPECT_EQ(reader2.ReadHeader(h).status, Status::Damaged);
  Bytes noUninstaller(20, 'i');
  MemoryByteSource src3(noUninstaller);
  PackageReader reader3(src3, kSmall);
  EXPECT_EQ(reader3.ReadHeader(h).status, Status::Damaged);
  EXPECT_EQ(reader3.ReadUninstallerImage(image).status, Status::Damaged);
}

TEST(AppendixReader, EveryTruncationIsRefused) {
  const Bytes full = Appendix().FileBytes();
  for (size_t n = size_t(kSmall.HeaderOffset()); n < full.size(); ++n) {
    Bytes cut(full.begin(), full.begin() + n);
    const Result r = ReadAll(cut);
    EXPECT_EQ(r.status, Status::Damaged) << n;
    EXPECT_NE(r.message.find("passa do fim do arquivo"), std::string::npos) << n << r.message;
  }
}

TEST(AppendixReader, HeaderFieldsAreChecked) {
  struct Case {
    std::function<void(PackageHeader&)> change;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {[](PackageHeader& h) { h.title.red = 256; }, "a cor do título"},
      {[](PackageHeader& h) { h.background.blue = -1; }, "a cor de fundo"},
      {[](PackageHeader& h) { h.productName = "..\\..\\Windows"; }, "o nome do produto"},
      {[](PackageHeader& h) { h.productName = ""; }, "nome vazio"},
      {[](PackageHeader& h) { h.defaultDirectory = "C:\\A\r\nDIR=C:\\Windows"; }, "controle"},
      {[](PackageHeader& h) { h.defaultDirectory = "#PADRAO#"; h.folderName = ""; }, "pasta"},
      {[](PackageHeader& h) { h.defaultDirectory = "#PADRAO#"; h.folderName = "..\\x"; }, "pasta"},
      {[](PackageHeader& h) { h.desktop[0].target = "KOVA.exe"; }, "o atalho 1"},
      {[](PackageHeader& h) { h.desktop[0].target = "\\..\\..\\boot.ini"; }, "\"..\""},
      {[](PackageHeader& h) { h.desktop[0].name = Pad("a\\b"); }, "'\\'"},
      {[](PackageHeader& h) { h.startMenu = {{"\\x.exe", Pad("")}}; }, "nome vazio"},
      {[](PackageHeader& h) { h.registryKeys = {"HKCC\\Software\\KOVA"}; }, "fora de HKLM\\SOFTWARE\\KOVA"},
      {[](PackageHeader& h) { h.registryKeys = {"HKLM\\"}; }, "parte vazia"},
      {[](PackageHeader& h) { h.registryKeys = {"HKLM"}; }, "parte vazia"},
      {[](PackageHeader& h) { h.registryKeys = {"HKCU\\a\r\nDIR=C:\\Windows"}; }, "controle"},
      {[](PackageHeader& h) { h.components = {"\\..\\system32\\x.dll"}; }, "o componente 1"},
      {[](PackageHeader& h) { h.components = {"\\a\\C:x.dll"}; }, "':'"},
  };
  for (const Case& c : cases) {
    Appendix a;
    c.change(a.header);
    ExpectDamaged(a.FileBytes(), c.mentions);
  }
}

TEST(AppendixReader, HeaderLengthsAndCountsAreChecked) {
  Appendix a;
  const Bytes h = a.HeaderBytes();
  // Offsets in the base header: flag 0, colours 2..19, product name 20.
  Bytes negativeName = h;
  negativeName[20] = 0xFF, negativeName[21] = 0xFF, negativeName[22] = 0xFF, negativeName[23] = 0xFF;
  ExpectDamaged(a.FileWith(negativeName, a.section), "o nome do produto com comprimento negativo");
  Bytes hugeName = h;
  hugeName[23] = 0x70;
  ExpectDamaged(a.FileWith(hugeName, a.section), "passa do fim do arquivo");
  // A picture flag with a picture length past the end: refused before any
  // allocation of that size.
  Bytes picture = {1, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  picture.insert(picture.end(), h.begin() + 2, h.end());
  ExpectDamaged(a.FileWith(picture, a.section), "a imagem de fundo");
  // A flag other than 1 means no picture: 2 is read as such.
  Bytes flag2 = h;
  flag2[0] = 2;
  EXPECT_TRUE(ReadAll(a.FileWith(flag2, a.section)).Ok());
  // Negative list count: the desktop count follows the reserved number.
  Appendix b;
  b.header.desktop.clear();
  Bytes hb = b.HeaderBytes();
  // From the end: component count, the key text, key count, start-menu
  // count, then the desktop count.
  const size_t desktopCount = hb.size() - 2 - (4 + 18) - 2 - 2 - 2;
  ASSERT_EQ(hb[desktopCount], 0);
  hb[desktopCount] = 0xFF, hb[desktopCount + 1] = 0xFF;
  ExpectDamaged(b.FileWith(hb, b.section), "quantidade negativa");
}

TEST(AppendixReader, FileSectionIsChecked) {
  using A = Appendix;
  struct Case {
    Bytes section;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {[] { Bytes s = A().section; s[0] = 'X'; return s; }(), "PKG"},
      {A::Section({{1, "\\"}}, {}, -1), ""},  // placeholder replaced below
      {A::Section({{1, "\\"}, {2, "\\..\\x"}}, {}), "\"..\""},
      {A::Section({{1, "\\"}, {2, "\\a\\..\\..\\x"}}, {}), "\"..\""},
      {A::Section({{1, "\\"}, {2, "C:\\x"}}, {}), "começa com"},
      {A::Section({{1, "\\"}, {2, "\\\\server\\share"}}, {}), "nome vazio"},
      {A::Section({{1, "\\"}, {2, "\\a:stream"}}, {}), "':'"},
      {A::Section({{1, "\\"}, {2, "\\a/../../x"}}, {}), "'/'"},
      {A::Section({{1, "\\"}, {2, "\\a\tb"}}, {}), "controle"},
      {A::Section({{1, "\\"}, {2, "\\NUL"}}, {}), "dispositivo"},
      {A::Section({{1, "\\"}, {2, "\\a\\b"}}, {}), "diretório pai"},
      {A::Section({{1, "\\"}}, {A::File(0, "a", {"HE0\r"})}), "aponta para o diretório 0"},
      {A::Section({{1, "\\"}}, {A::File(2, "a", {"HE0\r"})}), "aponta para o diretório 2"},
      {A::Section({}, {A::File(1, "a", {"HE0\r"})}), "há 0 diretório"},
      {A::Section({{1, "\\"}}, {A::File(1, "..", {"HE0\r"})}), "pontos"},
      {A::Section({{1, "\\"}}, {A::File(1, "a/b", {"HE0\r"})}), "'/'"},
      {A::Section({{1, "\\"}}, {A::File(1, "", {"HE0\r"})}), "nome vazio"},
      {A::Section({{1, "\\"}}, {A::File(1, "com1.txt", {"HE0\r"})}), "dispositivo"},
      {A::Section({{1, "\\"}}, {A::File(1, "a", {"HE0\r"}, -1)}), "partes negativo"},
      {A::Section({{1, "\\"}}, {A::File(1, "a", {"HE"})}), "não está no formato HE3"},
      {A::Section({{1, "\\"}}, {A::File(1, "a", {"ZIP!xx"})}), "não está no formato HE3"},
      {A::Section({{1, "\\"}}, {A::File(1, "a", {"HE0\r"})}, 2), "passa do fim"},
      {A::Section({{1, "\\"}}, {A::File(1, "a", {"HE0\r", "HE0\r"}, 3)}), "passa do fim"},
      {A::Section({{1, "\\"}}, {}, 0x7FFFFFFF), "passa do fim"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    if (i == 1) continue;
    Appendix a;
    ExpectDamaged(a.FileWith(a.HeaderBytes(), cases[i].section), cases[i].mentions);
  }
  // Negative lengths in the section's own fields.
  Appendix a;
  Bytes negDirs = A::Section({{1, "\\"}}, {});
  negDirs[5] = 0xFF, negDirs[6] = 0xFF;
  ExpectDamaged(a.FileWith(a.HeaderBytes(), negDirs), "quantidade negativa");
  Bytes negFiles = A::Section({{1, "\\"}}, {});
  negFiles[10] = 0x80;
  ExpectDamaged(a.FileWith(a.HeaderBytes(), negFiles), "quantidade negativa");
  Bytes negChunk = A::Section({{1, "\\"}}, {A::File(1, "a", {"HE0\r"})});
  negChunk[negChunk.size() - 5] = 0xFF;  // top byte of the chunk length
  ExpectDamaged(a.FileWith(a.HeaderBytes(), negChunk), "comprimento negativo");
}

TEST(AppendixReader, NothingIsVisitedWhenALaterRecordIsBad) {
  Appendix a;
  a.section = Appendix::Section({{1, "\\"}}, {Appendix::File(1, "ok.txt", {"HE0\rok"}),
                                              Appendix::File(1, "..", {"HE0\r"})});
  const Bytes file = a.FileBytes();
  MemoryByteSource src(file);
  PackageReader reader(src, kSmall);
  PackageHeader h;
  ASSERT_TRUE(reader.ReadHeader(h).Ok());
  Collector c;
  EXPECT_EQ(reader.WalkFileSection(h.fileSectionOffset, c).status, Status::Damaged);
  EXPECT_TRUE(c.dirs.empty());
  EXPECT_TRUE(c.files.empty());
}

TEST(AppendixReader, TrailingBytesAndStoppedWalk) {
  Appendix a;
  Bytes file = a.FileBytes();
  file.insert(file.end(), {'S', 'I', 'G'});
  MemoryByteSource src(file);
  PackageReader reader(src, kSmall);
  PackageHeader h;
  ASSERT_TRUE(reader.ReadHeader(h).Ok());
  FileSectionSummary s;
  ASSERT_TRUE(reader.ValidateFileSection(h.fileSectionOffset, s).Ok());
  EXPECT_EQ(s.trailingBytes, 3);
  EXPECT_EQ(s.directories, 2);
  EXPECT_EQ(s.files, 2);
  EXPECT_EQ(s.chunks, 3);
  Collector c;
  c.stopAfterChunks = 2;
  EXPECT_EQ(reader.WalkFileSection(h.fileSectionOffset, c).status, Status::Stopped);
  EXPECT_EQ(c.chunks, 2);
}

TEST(AppendixReader, MessagesReadAsPortuguese) {
  // Every cut of the appendix gives a message; none may lose a letter
  // ("d arquivo"), join a preposition with an article the long way or miss
  // the gender of "chave".
  Appendix a;
  const Bytes whole = a.FileBytes();
  std::set<std::string> messages;
  for (size_t cut = size_t(kSmall.HeaderOffset()); cut < whole.size(); ++cut) {
    const Result r = ReadAll(Bytes(whole.begin(), whole.begin() + long(cut)));
    ASSERT_FALSE(r.Ok()) << cut;
    messages.insert(r.message);
  }
  Appendix k;
  k.header.registryKeys = {"HKCC\\Software"};
  messages.insert(ReadAll(k.FileBytes()).message);
  for (const std::string& m : messages)
    for (const char* wrong : {" d ", " de o ", " de a ", " de os ", " de as ", "chave de registro 1 \"HKCC\\Software\" é inválido"})
      EXPECT_EQ(m.find(wrong), std::string::npos) << m;
}

TEST(AppendixReader, ParentsAreFoundAmongTheMostDirectoriesTheFormatHolds) {
  // 32767 directories, the most the format holds: pairs of a folder and
  // its child. Read twice (check, walk). How the time grows with the count
  // is measured by tests/bench/appendix_bench.
  std::vector<std::pair<int, std::string>> dirs = {{1, "\\"}};
  char name[16];
  for (int i = 0; i < 16382; ++i) {
    std::snprintf(name, sizeof name, "\\p%05d", i);
    dirs.push_back({int(dirs.size() + 1), name});
    dirs.push_back({int(dirs.size() + 1), std::string(name) + "\\c"});
  }
  dirs.push_back({int(dirs.size() + 1), "\\P00000\\d"});  // parents match without regard to case
  dirs.push_back({int(dirs.size() + 1), "\\P16381\\d"});
  ASSERT_EQ(dirs.size(), 32767u);
  Appendix a;
  a.section = Appendix::Section(dirs, {Appendix::File(int(dirs.size()), "a", {"HE0\rx"})});
  Collector c;
  EXPECT_TRUE(ReadAll(a.FileBytes(), &c).Ok());
  EXPECT_EQ(c.dirs.size(), 32767u);
  // The last one without its parent: found only after all the others.
  dirs.back().second = "\\q00000\\d";
  a.section = Appendix::Section(dirs, {});
  ExpectDamaged(a.FileBytes(), "o diretório 32767 \"\\q00000\\d\" vem antes do seu diretório pai");
}

TEST(AppendixReader, PackagesThatWouldMakeAnInstallDestructiveAreRefused) {
  struct Case {
    std::function<void(Appendix&)> change;
    std::string mentions;  // empty: accepted
  };
  auto in = [](int dir, const char* file) {  // 1 the install folder, 2 \dados
    return [=](Appendix& a) {
      a.section = Appendix::Section({{1, "\\"}, {2, "\\dados"}}, {Appendix::File(dir, file, {"HE0\r"})});
    };
  };
  auto product = [](const char* name) { return [=](Appendix& a) { a.header.productName = name; }; };
  auto keys = [](std::vector<std::string> k) { return [=](Appendix& a) { a.header.registryKeys = k; }; };
  const std::vector<Case> cases = {
      {in(1, "UNINSTALL.LOG"), "tomaria o lugar"},
      {in(1, "Desinstalar.exe"), "tomaria o lugar"},
      {in(2, "uninstall.log"), ""},
      {product("Startup"), "pasta do sistema no menu Iniciar"},
      {product("inicializar"), "pasta do sistema no menu Iniciar"},
      {product("Ferramentas Administrativas"), "pasta do sistema"},
      // Registry keys: the product's own branch under HKLM or HKCU only.
      {keys({"HKLM\\SOFTWARE"}), "fora de HKLM\\SOFTWARE\\KOVA e HKCU\\SOFTWARE\\KOVA"},
      {keys({"HKCU\\Software\\Microsoft"}), "fora de"},
      {keys({"HKLM\\SYSTEM\\KOVA"}), "fora de"},
      {keys({"HKLM\\SOFTWARE\\KOVA2"}), "fora de"},
      {keys({"HKU\\S-1-5-21-1\\Software\\KOVA"}), "fora de"},
      {keys({"HKCR\\.kova"}), "fora de"},
      {keys({"HKLM\\SOFTWARE\\KOVA\\..\\Microsoft"}), "parte vazia"},
      {keys({"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"}), "fora de"},
      {keys({"HKLM\\Software\\KOVA", "HKCU\\software\\kova\\Op\xE7\xF5" "es"}), ""},
  };
  for (const Case& c : cases) {
    Appendix a;
    c.change(a);
    if (c.mentions.empty())
      EXPECT_TRUE(ReadAll(a.FileBytes()).Ok()) << ReadAll(a.FileBytes()).message;
    else
      ExpectDamaged(a.FileBytes(), c.mentions);
  }
}
}  // namespace
}  // namespace kova::pkg
