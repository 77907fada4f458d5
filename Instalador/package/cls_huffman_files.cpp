// The file wrappers of the codec, in an object of their own: the installer
// decodes in memory only and must not pull the filesystem library into its
// fixed-size image.
#include <filesystem>
#include <new>
#include <string_view>
#include <vector>

#include "Instalador/package/binary_file.h"
#include "Instalador/package/cls_huffman.h"

namespace kova {
namespace {

constexpr int64_t kInt32Max = 2147483647;

HuffmanError Error(int32_t number, std::string_view source, std::string_view description) {
  return HuffmanError{number, std::string(source), std::string(description)};
}

// The shared body of EncodeFile and DecodeFile.
HuffmanError CodeFileImpl(clsHuffman& codec, bool encode, const std::filesystem::path& source,
                          const std::filesystem::path& dest) {
  const std::string_view where = encode ? "clsHuffman.EncodeFile()" : "clsHuffman.DecodeFile()";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(source, ec))
    return Error(kObjectErrorBase, where, he3::kSourceMissingDescription);
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(source, bytes)) return Error(kErrFileAccess, where, "Path/File access error");
  if (bytes.size() > static_cast<size_t>(kInt32Max))
    return Error(kErrOverflow, where, he3::kOverflowDescription);
  // An empty source has nothing to decode: its result is an empty file.
  if (!bytes.empty() || encode) {
    const auto len = static_cast<int32_t>(bytes.size());
    if (HuffmanError e = encode ? codec.EncodeByte(bytes, len) : codec.DecodeByte(bytes, len))
      return e;
  }
  std::filesystem::remove(dest, ec);
  if (!WriteWholeFile(dest, bytes)) return Error(kErrFileAccess, where, "Path/File access error");
  return {};
}

HuffmanError CodeFile(clsHuffman& codec, bool encode, const std::filesystem::path& source,
                      const std::filesystem::path& dest) {
  try {
    return CodeFileImpl(codec, encode, source, dest);
  } catch (const std::bad_alloc&) {
    return Error(kErrOutOfMemory, encode ? "clsHuffman.EncodeFile()" : "clsHuffman.DecodeFile()",
                 "Out of memory");
  }
}

}  // namespace

HuffmanError clsHuffman::EncodeFile(const std::filesystem::path& SourceFile,
                                    const std::filesystem::path& DestFile) {
  return CodeFile(*this, true, SourceFile, DestFile);
}

HuffmanError clsHuffman::DecodeFile(const std::filesystem::path& SourceFile,
                                    const std::filesystem::path& DestFile) {
  return CodeFile(*this, false, SourceFile, DestFile);
}

}  // namespace kova
