// Package appendix: kova-pack's writer and the installer's reader against
// each other on a real tree, and the reader against hand-made appendices
// that break one rule each.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Instalador/binary_file.h"
#include "Instalador/cls_huffman.h"
#include "Instalador/package_layout.h"
#include "Instalador/package_reader.h"
#include "tools/package_writer.h"

namespace kova::pkg {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
std::string Pad(std::string s) { return s + std::string(kNameFieldSize - s.size(), ' '); }

// Collects the walk, decoding every chunk with the installer's codec.
struct Collector : FileSectionVisitor {
  std::vector<std::string> dirs;
  std::map<std::string, Bytes> files;  // directory name + "|" + trimmed name
  std::vector<int> chunkFields;
  std::string current;
  int stopAfterChunks = -1;
  int chunks = 0;

  bool OnDirectory(int index, const DirectoryRecord& d) override {
    EXPECT_EQ(index, int(dirs.size()));
    dirs.push_back(d.name);
    return true;
  }
  bool OnFileBegin(int, const FileRecord& f, const DirectoryRecord& d) override {
    current = d.name + "|" + std::string(TrimPadding(f.name));
    EXPECT_EQ(f.name.size(), kNameFieldSize);
    files[current];
    chunkFields.push_back(f.chunkField);
    return true;
  }
  bool OnChunk(int, Bytes& he3) override {
    clsHuffman codec;
    HuffmanError e = codec.DecodeByte(he3, int32_t(he3.size()));
    EXPECT_FALSE(e) << e.Description;
    Bytes& out = files[current];
    out.insert(out.end(), he3.begin(), he3.end());
    return ++chunks != stopAfterChunks;
  }
  bool OnFileEnd() override { return true; }
};

// ---- writer and reader on a temp tree ----------------------------------

class PackRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    // Unique per run: other build trees may run the same tests at once.
    root_ = fs::temp_directory_path() /
            ("kova_pack_" + std::to_string(std::random_device{}()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "tree" / "dados" / "sub");
    fs::create_directories(root_ / "tree" / "vazio");
    std::mt19937 rng(42);
    Bytes program(300000);
    for (size_t i = 0; i < program.size(); ++i) program[i] = uint8_t(i % 7 == 0 ? rng() : i % 5);
    Put("tree/KOVA.exe", program);
    Put("tree/leia-me.txt", B("Instala\xC3\xA7\xC3\xA3o do KOVA\n"));
    Put("tree/dados/vazio.dat", {});
    Put("tree/dados/um.bin", Bytes(70000, 0x41));
    Put("tree/dados/sub/tabela.ini", B("[CONFIG_VELA]\r\nCOM=1\r\n"));
    Put("desc.txt", B("Programa de configura\xC3\xA7\xC3\xA3o.\nSegunda linha."));
    Put("terms.txt", B("Termos de uso."));
    Put("fundo.jpg", B("\xFF\xD8\xFF\xE0 not a real jpeg"));
    Put("package.ini", B("# KOVA\n"
                         "product = KOVA\n"
                         "description_file = desc.txt\n"
                         "terms_file = terms.txt\n"
                         "picture = fundo.jpg\n"
                         "title_colour = 51, 87, 136\n"
                         "text_colour = 118,123,133\n"
                         "background_colour = 255, 255, 255\n"
                         "directory = #PADRAO#\n"
                         "folder = KOVA\n"
                         "desktop_shortcut = \\KOVA.exe | KOVA\n"
                         "start_menu_shortcut = \\KOVA.exe | KOVA Configura\xC3\xA7\xC3\xA3o\n"
                         "registry_key = HKCU\\Software\\KOVA\n"
                         "component = \\dados\\um.bin\n"));
    installer_ = Bytes(size_t(kInstallerImageSize), 'I');
    uninstaller_ = Bytes(size_t(kUninstallerImageSize), 'U');
    installer_[0] = 'M', uninstaller_[0] = 'M';
    Put("inst.exe", installer_);
    Put("unin.exe", uninstaller_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Put(const std::string& rel, const Bytes& bytes) {
    ASSERT_TRUE(WriteWholeFile(root_ / rel, bytes)) << rel;
  }
  pack::PackOptions Options() {
    pack::PackOptions o;
    o.installerImage = root_ / "inst.exe";
    o.uninstallerImage = root_ / "unin.exe";
    o.description = root_ / "package.ini";
    o.filesRoot = root_ / "tree";
    o.output = root_ / "Instalador.exe";
    return o;
  }
  Bytes Read(const fs::path& p) {
    Bytes b;
    EXPECT_TRUE(ReadWholeFile(p, b));
    return b;
  }

  fs::path root_;
  Bytes installer_, uninstaller_;
};

TEST_F(PackRoundTrip, EveryFileComesBackByteForByte) {
  for (int64_t chunkSize : {int64_t{0}, int64_t{4096}}) {
    pack::PackOptions o = Options();
    o.chunkSize = chunkSize;
    pack::PackReport report;
    std::string error;
    ASSERT_TRUE(pack::WritePackage(o, report, error)) << error;
    EXPECT_EQ(report.files, 5);
    EXPECT_EQ(report.directories, 4);

    auto source = FileByteSource::Open(o.output);
    ASSERT_TRUE(source);
    const Bytes whole = Read(o.output);
    // The header begins right after the two images, with the picture flag.
    EXPECT_EQ(whole[749568], 1);
    EXPECT_EQ(whole[749569], 0);
    PackageReader reader(*source);
    PackageHeader h;
    ASSERT_TRUE(reader.ReadHeader(h).Ok());
    EXPECT_TRUE(h.hasPicture);
    EXPECT_EQ(h.picture, Read(root_ / "fundo.jpg"));
    EXPECT_EQ(h.title.red, 51);
    EXPECT_EQ(h.text.blue, 133);
    EXPECT_EQ(h.background.green, 255);
    EXPECT_EQ(h.productName, "KOVA");
    EXPECT_EQ(h.description, "Programa de configura\xE7\xE3o.\r\nSegunda linha.");
    EXPECT_EQ(h.terms, "Termos de uso.");
    EXPECT_TRUE(h.UsesProgramFiles());
    EXPECT_EQ(h.folderName, "KOVA");
    EXPECT_EQ(h.reserved, 123456);
    ASSERT_EQ(h.desktop.size(), 1u);
    EXPECT_EQ(h.desktop[0].target, "\\KOVA.exe");
    EXPECT_EQ(h.desktop[0].name, Pad("KOVA"));
    ASSERT_EQ(h.startMenu.size(), 1u);
    EXPECT_EQ(h.startMenu[0].name, Pad("KOVA Configura\xE7\xE3o"));
    EXPECT_EQ(h.registryKeys, std::vector<std::string>{"HKCU\\Software\\KOVA"});
    EXPECT_EQ(h.components, std::vector<std::string>{"\\dados\\um.bin"});
    EXPECT_EQ(h.fileSectionOffset, report.fileSectionOffset);
    EXPECT_EQ(std::string(whole.begin() + h.fileSectionOffset,
                          whole.begin() + h.fileSectionOffset + 3), "PKG");

    FileSectionSummary summary;
    ASSERT_TRUE(reader.ValidateFileSection(h.fileSectionOffset, summary).Ok());
    EXPECT_EQ(summary.trailingBytes, 0);
    EXPECT_EQ(summary.end, int64_t(whole.size()));
    Collector c;
    ASSERT_TRUE(reader.WalkFileSection(h.fileSectionOffset, c).Ok());
    EXPECT_EQ(c.dirs, (std::vector<std::string>{"\\", "\\dados", "\\dados\\sub", "\\vazio"}));
    ASSERT_EQ(c.files.size(), 5u);
    EXPECT_EQ(c.files["\\|KOVA.exe"], Read(root_ / "tree/KOVA.exe"));
    EXPECT_EQ(c.files["\\|leia-me.txt"], Read(root_ / "tree/leia-me.txt"));
    EXPECT_EQ(c.files["\\dados|vazio.dat"], Bytes{});
    EXPECT_EQ(c.files["\\dados|um.bin"], Bytes(70000, 0x41));
    EXPECT_EQ(c.files["\\dados\\sub|tabela.ini"], Read(root_ / "tree/dados/sub/tabela.ini"));
    if (chunkSize == 0) {
      EXPECT_EQ(summary.chunks, 5);
      EXPECT_EQ(c.chunkFields, (std::vector<int>{0, 0, 0, 0, 0}));
    } else {
      // 300000 / 4096 -> 74 chunks, 70000 -> 18, the small ones 1, empty 0.
      EXPECT_EQ(summary.chunks, 74 + 1 + 18 + 1 + 1);
      EXPECT_EQ(summary.largestChunk <= 4096 + 4 + 11 + 512 + 256, true);
    }

    Bytes image;
    ASSERT_TRUE(reader.ReadUninstallerImage(image).Ok());
    EXPECT_EQ(image, uninstaller_);
    const Bytes written = BuildUninstaller(image, h.productName);
    ASSERT_EQ(written.size(), uninstaller_.size() + 4 + 4);
    EXPECT_EQ(Bytes(written.end() - 8, written.end()), (Bytes{4, 0, 0, 0, 'K', 'O', 'V', 'A'}));
  }
}

TEST_F(PackRoundTrip, ImagesMustHaveTheirSizes) {
  Put("small.exe", Bytes(1000, 'x'));
  pack::PackOptions o = Options();
  o.uninstallerImage = root_ / "small.exe";
  pack::PackReport r;
  std::string error;
  ASSERT_FALSE(pack::WritePackage(o, r, error));
  EXPECT_NE(error.find("339968"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(o.output));
  o.padImages = true;
  ASSERT_TRUE(pack::WritePackage(o, r, error)) << error;
  EXPECT_EQ(r.fileSectionOffset > 749568, true);
  Put("big.exe", Bytes(409601, 'x'));
  o.installerImage = root_ / "big.exe";
  EXPECT_FALSE(pack::WritePackage(o, r, error));
  EXPECT_NE(error.find("409600"), std::string::npos) << error;
}

TEST_F(PackRoundTrip, WriterRefusesWhatTheInstallerWouldRefuse) {
  pack::PackReport r;
  std::string error;
  Put("tree/" + std::string(65, 'n'), B("x"));
  EXPECT_FALSE(pack::WritePackage(Options(), r, error));
  EXPECT_NE(error.find("64 bytes"), std::string::npos) << error;
  fs::remove(root_ / ("tree/" + std::string(65, 'n')));
  // A device name: only a system that lets such a file exist can pack it.
  if (!WriteWholeFile(root_ / "tree/dados/CON.txt", B("x")))
    GTEST_SKIP() << "this system cannot hold a file named CON.txt";
  EXPECT_FALSE(pack::WritePackage(Options(), r, error));
  EXPECT_NE(error.find("CON.txt"), std::string::npos) << error;
}

TEST(PackDescription, ParsesAndRefuses) {
  PackageHeader h;
  std::string error;
  const fs::path none = fs::temp_directory_path();
  auto parse = [&](const std::string& text) {
    return pack::ParseDescription(text, none, h, error);
  };
  // Description and terms files are needed; a missing one is named.
  EXPECT_FALSE(parse("product = KOVA\n"));
  EXPECT_FALSE(parse("product = KOVA\ndescription_file = no-such-file.txt\n"));
  EXPECT_NE(error.find("no-such-file.txt"), std::string::npos) << error;
  EXPECT_FALSE(parse("product = ..\\Windows\n"));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  EXPECT_FALSE(parse("title_colour = 1, 2, 300\n"));
  EXPECT_FALSE(parse("registry_key = HKCC\\Software\n"));
  EXPECT_FALSE(parse("registry_key = HKLM\\\n"));
  EXPECT_FALSE(parse("desktop_shortcut = KOVA.exe | KOVA\n"));
  EXPECT_FALSE(parse("desktop_shortcut = \\KOVA.exe | \xE4\xB8\xAD\n"));  // no 1252 code
  EXPECT_FALSE(parse("colour = 1,2,3\n"));
  EXPECT_NE(error.find("unknown key"), std::string::npos) << error;
  EXPECT_FALSE(parse("just words\n"));
}

// ---- reader against hand-made appendices --------------------------------

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
      {[](PackageHeader& h) { h.registryKeys = {"HKCC\\Software"}; }, "raiz desconhecida"},
      {[](PackageHeader& h) { h.registryKeys = {"HKLM\\"}; }, "sem subchave"},
      {[](PackageHeader& h) { h.registryKeys = {"HKLM"}; }, "sem subchave"},
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

TEST(AppendixReader, ManyDirectoriesAreReadInLinearTime) {
  // 32767 directories, the most the format holds: pairs of a folder and
  // its child, every name as long as every parent, so that a search among
  // the earlier names compares each one in full. Read twice (check, walk).
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
      {keys({"HKLM\\SOFTWARE"}), "ramo do sistema"},
      {keys({"HKCU\\Software\\Microsoft"}), "ramo do sistema"},
      {keys({"HKU\\S-1-5-21-1\\Software"}), "ramo do sistema"},
      {keys({"HKCR\\CLSID"}), "ramo do sistema"},
      {keys({"HKCR\\.txt"}), "ramo do sistema"},
      {keys({"HKU\\S-1-5-21-1\\Software\\KOVA"}), ""},
      {keys({"HKCR\\.kova", "HKCR\\KOVA.Arquivo"}), ""},
      {keys({"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"}), ""},
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

TEST(PackDescription, RefusesWhatWouldMakeAnInstallDestructive) {
  PackageHeader h;
  std::string error;
  for (const char* line : {"product = Startup\n", "registry_key = HKLM\\SOFTWARE\n"}) {
    EXPECT_FALSE(pack::ParseDescription(line, fs::temp_directory_path(), h, error)) << line;
    EXPECT_NE(error.find("Windows"), std::string::npos) << error;
  }
}

TEST_F(PackRoundTrip, StagedUninstallerOrLogIsRefused) {
  for (const char* staged : {"uninstall.log", "DESINSTALAR.EXE"}) {
    Put(std::string("tree/") + staged, B("x"));
    pack::PackReport r;
    std::string error;
    EXPECT_FALSE(pack::WritePackage(Options(), r, error)) << staged;
    EXPECT_NE(error.find("the installer writes " + std::string(staged) + " into the install directory itself"),
              std::string::npos) << error;
    EXPECT_FALSE(fs::exists(root_ / "Instalador.exe"));
    fs::remove(root_ / "tree" / staged);
  }
}

TEST_F(PackRoundTrip, VersionOfTheProgramNamesTheTexts) {
  // A version resource as the resource compiler lays it out: the key in
  // UTF-16, padding, then the fixed part with product version 2.5.7.9.
  Bytes program = B("MZ....");
  for (char ch : std::string("VS_VERSION_INFO")) program.push_back(uint8_t(ch)), program.push_back(0);
  program.insert(program.end(), {0, 0, 0, 0});
  PutI32(program, int32_t(0xFEEF04BD));
  PutI32(program, 0x10000);
  PutI32(program, (1 << 16) | 1);  // file version: not the one taken
  PutI32(program, 0);
  PutI32(program, (2 << 16) | 5);
  PutI32(program, (7 << 16) | 9);
  Put("versioned.exe", program);
  std::string version, error;
  ASSERT_TRUE(pack::ReadProgramVersion(root_ / "versioned.exe", version, error)) << error;
  EXPECT_EQ(version, "2.5.7");
  EXPECT_FALSE(pack::ReadProgramVersion(root_ / "inst.exe", version, error));
  EXPECT_NE(error.find("no version resource"), std::string::npos);

  Put("desc.txt", B("KOVA vers\xC3\xA3o {version}\n"));
  pack::PackReport r;
  EXPECT_FALSE(pack::WritePackage(Options(), r, error));
  EXPECT_NE(error.find("--version-from"), std::string::npos) << error;
  pack::PackOptions o = Options();
  o.version = "2.5.7";
  ASSERT_TRUE(pack::WritePackage(o, r, error)) << error;
  auto src = FileByteSource::Open(o.output);
  ASSERT_TRUE(src);
  PackageHeader h;
  ASSERT_TRUE(PackageReader(*src).ReadHeader(h).Ok());
  EXPECT_EQ(h.description, "KOVA vers\xE3o 2.5.7\r\n");
  EXPECT_EQ(pack::SubstituteVersion("KOVA-setup-{version}.exe", "2.5.7"), "KOVA-setup-2.5.7.exe");
}

}  // namespace
}  // namespace kova::pkg
