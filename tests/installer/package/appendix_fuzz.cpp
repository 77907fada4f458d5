// Any bytes behind a small installer image go through the reader without
// reading outside the file or allocating from an unchecked length; a
// walk only starts on a section that validated, and hands over exactly the
// chunks the validation counted.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Instalador/package/cls_huffman.h"
#include "Instalador/package/package_reader.h"

namespace {

struct Counter : kova::pkg::FileSectionVisitor {
  int64_t chunks = 0;
  bool OnDirectory(int, const kova::pkg::DirectoryRecord&) override { return true; }
  bool OnFileBegin(int, const kova::pkg::FileRecord&, const kova::pkg::DirectoryRecord&) override {
    return true;
  }
  bool OnChunk(int, std::vector<uint8_t>& he3) override {
    ++chunks;
    kova::clsHuffman codec;
    codec.DecodeByte(he3, static_cast<int32_t>(he3.size()));
    return true;
  }
  bool OnFileEnd() override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kova::pkg;
  // The input is everything after an 8-byte installer and 4-byte
  // uninstaller image.
  std::vector<uint8_t> file(12, 'i');
  file.insert(file.end(), data, data + size);
  MemoryByteSource source(file);
  PackageReader reader(source, ImageSizes{8, 4});
  PackageHeader header;
  if (!reader.ReadHeader(header).Ok()) return 0;
  std::vector<uint8_t> image;
  if (!reader.ReadUninstallerImage(image).Ok() || image.size() != 4) std::abort();
  FileSectionSummary summary;
  if (!reader.ValidateFileSection(header.fileSectionOffset, summary).Ok()) return 0;
  Counter counter;
  if (!reader.WalkFileSection(header.fileSectionOffset, counter).Ok()) std::abort();
  if (counter.chunks != summary.chunks) std::abort();
  return 0;
}
