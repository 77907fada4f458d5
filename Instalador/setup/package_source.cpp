#include "Instalador/setup/package_source.h"

#include "Instalador/package/package_reader.h"
#include "common/cp1252.h"

namespace kova {

namespace {

std::string Text(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

Rgb ToRgb(const pkg::Colour& c) { return {c.red, c.green, c.blue}; }

// Hands the reader's records to the install step, names as UTF-8.
class VisitorBridge final : public pkg::FileSectionVisitor {
 public:
  explicit VisitorBridge(kova::FileSectionVisitor& to) : to_(to) {}
  bool OnDirectory(int index, const pkg::DirectoryRecord& d) override {
    return to_.Directory(index, Text(d.name));
  }
  bool OnFileBegin(int index, const pkg::FileRecord& f, const pkg::DirectoryRecord&) override {
    return to_.FileBegin(index, f.directoryIndex, Text(f.name), f.chunkField);
  }
  bool OnChunk(int, std::vector<uint8_t>& he3) override {
    std::string bytes(he3.begin(), he3.end());
    he3.clear();
    he3.shrink_to_fit();
    return to_.Chunk(bytes);
  }
  bool OnFileEnd() override { return to_.FileEnd(); }

 private:
  kova::FileSectionVisitor& to_;
};

// The reader's view of the installer file, read through the platform.
class InputBytes final : public pkg::ByteSource {
 public:
  explicit InputBytes(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}
  int64_t Size() const override { return file_->Size(); }
  bool ReadAt(int64_t offset, void* dst, size_t n) override { return file_->ReadAt(offset, dst, n); }

 private:
  std::unique_ptr<InputFile> file_;
};

class ReaderSource final : public PackageSource {
 public:
  ReaderSource(std::unique_ptr<InputBytes> file, int64_t offset)
      : file_(std::move(file)), reader_(*file_), offset_(offset) {}

  bool Validate(int* directories, int* files, std::string* error) override {
    pkg::FileSectionSummary summary;
    pkg::Result r = reader_.ValidateFileSection(offset_, summary);
    if (!r.Ok()) return Failed(r, error);
    *directories = summary.directories;
    *files = summary.files;
    return true;
  }
  bool UninstallerImage(std::string* image, std::string* error) override {
    std::vector<uint8_t> bytes;
    pkg::Result r = reader_.ReadUninstallerImage(bytes);
    if (!r.Ok()) return Failed(r, error);
    image->assign(bytes.begin(), bytes.end());
    return true;
  }
  bool Walk(kova::FileSectionVisitor& visitor, std::string* error) override {
    VisitorBridge bridge(visitor);
    pkg::Result r = reader_.WalkFileSection(offset_, bridge);
    if (r.status == pkg::Status::Stopped) return false;
    if (!r.Ok()) return Failed(r, error);
    return true;
  }

 private:
  static bool Failed(const pkg::Result& r, std::string* error) {
    *error = r.message.empty() ? "Não foi possível ler o pacote de instalação." : r.message;
    return false;
  }

  std::unique_ptr<InputBytes> file_;
  pkg::PackageReader reader_;
  int64_t offset_;
};

}  // namespace

OpenedPackage OpenPackage(InstallPlatform& sys, const std::string& own_path) {
  OpenedPackage out;
  std::unique_ptr<InputFile> input = sys.OpenInput(own_path);
  if (!input) {
    out.state = OpenedPackage::kBroken;
    out.error = "Não foi possível ler o arquivo do instalador: " + own_path;
    return out;
  }
  auto file = std::make_unique<InputBytes>(std::move(input));
  pkg::PackageHeader h;
  pkg::Result r = pkg::PackageReader(*file).ReadHeader(h);
  if (r.status == pkg::Status::NoAppendix) {
    out.state = OpenedPackage::kNoAppendix;
    return out;
  }
  if (!r.Ok()) {
    out.state = OpenedPackage::kBroken;
    out.error = r.message;
    return out;
  }
  out.state = OpenedPackage::kReady;
  PackageLook& look = out.look;
  look.has_picture = h.hasPicture;
  look.picture.assign(h.picture.begin(), h.picture.end());
  look.title = ToRgb(h.title);
  look.text = ToRgb(h.text);
  look.back = ToRgb(h.background);
  look.description = Text(h.description);
  look.terms = Text(h.terms);
  look.directory = Text(h.defaultDirectory);
  look.folder_name = Text(h.folderName);
  InstallPackage& p = out.install;
  p.product_name = Text(h.productName);
  p.product_name_bytes = h.productName;
  for (const pkg::Shortcut& s : h.desktop) p.desktop.push_back({Text(s.target), Text(s.name)});
  for (const pkg::Shortcut& s : h.startMenu) p.start_menu.push_back({Text(s.target), Text(s.name)});
  for (const std::string& k : h.registryKeys) p.registry_keys.push_back(Text(k));
  for (const std::string& c : h.components) p.components.push_back(Text(c));
  out.source = std::make_unique<ReaderSource>(std::move(file), h.fileSectionOffset);
  return out;
}

bool He3ChunkDecoder::Decode(std::string& bytes, std::string* error) {
  if (!codec_) codec_ = std::make_unique<clsHuffman>();
  buffer_.assign(bytes.begin(), bytes.end());
  HuffmanError e = codec_->DecodeByte(buffer_, static_cast<int32_t>(buffer_.size()));
  if (e.Failed()) {
    *error = e.Description;
    return false;
  }
  bytes.assign(buffer_.begin(), buffer_.end());
  buffer_.clear();
  return true;
}

}  // namespace kova
