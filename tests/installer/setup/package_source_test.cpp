// The installer's package as the install step sees it: an installer file
// laid out byte by byte, opened through the reader, installed through the
// real codec into the in-memory platform.
#include <gtest/gtest.h>


#include "Instalador/package/cls_huffman.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/setup/package_source.h"
#include "../support/fake_package.h"
#include "../support/fake_platform.h"

namespace kova {
namespace {

using Bytes = std::vector<uint8_t>;

void Text(Bytes& out, const std::string& s) {
  pkg::PutI32(out, static_cast<int32_t>(s.size()));
  out.insert(out.end(), s.begin(), s.end());
}
void Colour(Bytes& out, int r, int g, int b) {
  pkg::PutI16(out, static_cast<int16_t>(r));
  pkg::PutI16(out, static_cast<int16_t>(g));
  pkg::PutI16(out, static_cast<int16_t>(b));
}
std::vector<uint8_t> He3(const std::string& s) {
  Bytes b(s.begin(), s.end());
  clsHuffman codec;
  EXPECT_FALSE(codec.EncodeByte(b, static_cast<int32_t>(b.size())).Failed());
  return b;
}

class PackageFile : public ::testing::Test {
 protected:

  // An installer file: images, header, file section.
  Bytes Build(const std::string& content, bool corrupt_chunk = false) {
    Bytes f(pkg::kInstallerImageSize, 'I');
    Bytes un(pkg::kUninstallerImageSize, 'U');
    f.insert(f.end(), un.begin(), un.end());
    pkg::PutI16(f, 0);  // no picture
    Colour(f, 51, 87, 136);
    Colour(f, 118, 123, 133);
    Colour(f, 255, 255, 255);
    Text(f, "KOVA G\xE1s");
    Text(f, "Descri\xE7\xE3o");
    Text(f, "Termos");
    Text(f, "#PADRAO#");
    Text(f, "Kova");
    pkg::PutI32(f, 123456);
    for (int list = 0; list < 2; ++list) {
      pkg::PutI16(f, 1);
      Text(f, "\\KOVA.exe");
      std::string name = "KOVA" + std::string(60, ' ');
      f.insert(f.end(), name.begin(), name.end());
    }
    pkg::PutI16(f, 0);  // registry keys
    pkg::PutI16(f, 0);  // components
    f.insert(f.end(), {'P', 'K', 'G'});
    pkg::PutI16(f, 2);
    pkg::PutI16(f, 1);
    pkg::PutI32(f, 1);
    pkg::PutI16(f, 1);
    pkg::PutI16(f, 1);
    f.push_back('\\');
    pkg::PutI16(f, 1);
    std::string name = "KOVA.exe" + std::string(56, ' ');
    f.insert(f.end(), name.begin(), name.end());
    pkg::PutI16(f, 2);  // two chunks
    size_t half = content.size() / 2;
    for (const std::string& part : {content.substr(0, half), content.substr(half)}) {
      Bytes chunk = He3(part);
      if (corrupt_chunk) chunk[4] ^= 0x5A;  // the checksum of an HE3 stream
      pkg::PutI32(f, static_cast<int32_t>(chunk.size()));
      f.insert(f.end(), chunk.begin(), chunk.end());
    }
    return f;
  }
  void Write(const Bytes& b) { sys.PutFile(kOwn, std::string(b.begin(), b.end())); }

  const std::string kOwn = "C:\\Downloads\\Instalador.exe";
  FakePlatform sys;
  RecordingProgress progress;
};

TEST_F(PackageFile, InstallsWhatTheAppendixHolds) {
  std::string program;
  for (int i = 0; i < 5000; ++i) program += "MZ program text " + std::to_string(i % 97);
  Write(Build(program));
  OpenedPackage p = OpenPackage(sys, kOwn);
  ASSERT_EQ(p.state, OpenedPackage::kReady) << p.error;
  EXPECT_EQ(p.install.product_name, "KOVA Gás");
  EXPECT_EQ(p.install.product_name_bytes, "KOVA G\xE1s");
  EXPECT_EQ(p.look.description, "Descrição");
  EXPECT_EQ(p.look.title.blue, 136);
  EXPECT_EQ(DefaultInstallDirectory(sys, p.look.directory, p.look.folder_name), "C:\\Program Files\\Kova");
  ASSERT_EQ(p.install.desktop.size(), 1u);
  EXPECT_EQ(TrimRight(p.install.desktop[0].name), "KOVA");

  InstallChoices choices;
  choices.directory = "C:\\Program Files\\Kova";
  He3ChunkDecoder decoder;
  InstallOutcome out = Instalar(sys, *p.source, decoder, p.install, choices, progress);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(sys.Data("C:\\Program Files\\Kova\\KOVA.exe"), program);
  std::string un = sys.Data("C:\\Program Files\\Kova\\Desinstalar.exe");
  EXPECT_EQ(un.size(), static_cast<size_t>(pkg::kUninstallerImageSize) + 4 + 8);
  EXPECT_EQ(un.substr(pkg::kUninstallerImageSize), std::string("\x08\0\0\0", 4) + "KOVA G\xE1s");
  auto lines = SplitLogLines(sys.Data("C:\\Program Files\\Kova\\uninstall.log"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "C:\\Program Files\\Kova\\KOVA.exe" + std::string(56, ' ')), 2);
}

TEST_F(PackageFile, NoAppendixAndDamageAreToldApart) {
  Write(Bytes(pkg::kInstallerImageSize, 'I'));
  EXPECT_EQ(OpenPackage(sys, kOwn).state, OpenedPackage::kNoAppendix);

  Bytes cut = Build("conteudo do programa");
  cut.resize(cut.size() - 3);
  Write(cut);
  OpenedPackage p = OpenPackage(sys, kOwn);
  ASSERT_EQ(p.state, OpenedPackage::kReady);  // the header itself is whole
  InstallChoices choices;
  choices.directory = "C:\\Kova";
  He3ChunkDecoder decoder;
  InstallOutcome out = Instalar(sys, *p.source, decoder, p.install, choices, progress);
  EXPECT_FALSE(out.ok);
  EXPECT_NE(out.error.find("danificado"), std::string::npos) << out.error;
  EXPECT_FALSE(sys.Exists("C:\\Kova"));  // checked before anything is written
}

TEST_F(PackageFile, CorruptChunkStopsWithTheCodecMessage) {
  std::string program(3000, 'a');
  for (size_t i = 0; i < program.size(); i += 7) program[i] = 'b';
  Write(Build(program, true));
  OpenedPackage p = OpenPackage(sys, kOwn);
  ASSERT_EQ(p.state, OpenedPackage::kReady) << p.error;
  InstallChoices choices;
  choices.directory = "C:\\Kova";
  He3ChunkDecoder decoder;
  InstallOutcome out = Instalar(sys, *p.source, decoder, p.install, choices, progress);
  ASSERT_FALSE(out.ok);
  EXPECT_FALSE(out.error.empty());
  // What was written is on record for the uninstaller.
  auto lines = SplitLogLines(sys.Data("C:\\Kova\\uninstall.log"));
  EXPECT_EQ(lines[1], "DIR=C:\\Kova");
  EXPECT_EQ(lines.back(), "C:\\Kova\\KOVA.exe" + std::string(56, ' '));
}

}  // namespace
}  // namespace kova
