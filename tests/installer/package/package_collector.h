// What a walk of the file section hands over, each chunk decoded with the
// installer's codec: shared by the reader's and the package writer's tests.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Instalador/package/cls_huffman.h"
#include "Instalador/package/package_reader.h"

namespace kova::pkg {

namespace test {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline std::string Pad(std::string s) { return s + std::string(kNameFieldSize - s.size(), ' '); }

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

}  // namespace test
}  // namespace kova::pkg
