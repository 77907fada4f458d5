// kova-pack's writer and the installer's reader against each other on a
// real tree, and the package description it reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Instalador/package/binary_file.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/package/package_reader.h"
#include "../package/package_collector.h"
#include "tools/package_writer.h"

namespace kova::pkg {
namespace {

using namespace test;

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
    EXPECT_EQ(whole[kHeaderOffset], 1);
    EXPECT_EQ(whole[kHeaderOffset + 1], 0);
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
    const std::string written = std::string(image.begin(), image.end()) + UninstallerTrailer(h.productName);
    ASSERT_EQ(written.size(), uninstaller_.size() + 4 + 4);
    EXPECT_EQ(written.substr(written.size() - 8), std::string("\x04\0\0\0KOVA", 8));
    EXPECT_EQ(TrailerName(written, int64_t(uninstaller_.size())), "KOVA");
  }
}

TEST_F(PackRoundTrip, ImagesMustHaveTheirSizes) {
  Put("small.exe", Bytes(1000, 'x'));
  pack::PackOptions o = Options();
  o.uninstallerImage = root_ / "small.exe";
  pack::PackReport r;
  std::string error;
  ASSERT_FALSE(pack::WritePackage(o, r, error));
  EXPECT_NE(error.find(std::to_string(kUninstallerImageSize)), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(o.output));
  o.padImages = true;
  ASSERT_TRUE(pack::WritePackage(o, r, error)) << error;
  EXPECT_EQ(r.fileSectionOffset > kHeaderOffset, true);
  Put("big.exe", Bytes(size_t(kInstallerImageSize) + 1, 'x'));
  o.installerImage = root_ / "big.exe";
  EXPECT_FALSE(pack::WritePackage(o, r, error));
  EXPECT_NE(error.find(std::to_string(kInstallerImageSize)), std::string::npos) << error;
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
TEST_F(PackRoundTrip, DescriptionThatWouldMakeAnInstallDestructiveIsRefused) {
  PackageHeader h;
  std::string error;
  const std::string texts = "description_file = desc.txt\nterms_file = terms.txt\nfolder = KOVA\n";
  EXPECT_FALSE(pack::ParseDescription("product = Startup\n" + texts, root_, h, error));
  EXPECT_NE(error.find("Windows keeps"), std::string::npos) << error;
  // Keys are checked against the product, wherever the product line stands.
  for (const char* key : {"HKLM\\SOFTWARE", "HKCU\\Software\\Microsoft", "HKLM\\SOFTWARE\\Outro"}) {
    EXPECT_FALSE(pack::ParseDescription(texts + "registry_key = " + key + "\nproduct = KOVA\n", root_, h, error));
    EXPECT_NE(error.find("line 4 (registry_key)"), std::string::npos) << error;
    EXPECT_NE(error.find("HKLM\\SOFTWARE\\KOVA or HKCU\\SOFTWARE\\KOVA"), std::string::npos) << error;
  }
  EXPECT_TRUE(pack::ParseDescription(texts + "registry_key = HKCU\\Software\\KOVA\\Opcoes\nproduct = KOVA\n",
                                     root_, h, error))
      << error;
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
