// Binary files through std::FILE, opened by path on either platform (wide
// names on Windows), with 64-bit offsets. No iostreams: the Windows
// programs stay small.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace kova {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

enum class FileMode { Read, Write };

// Opens in binary mode; Write creates or truncates. Null on failure.
UniqueFile OpenBinaryFile(const std::filesystem::path& path, FileMode mode);
// Absolute seek; false on failure.
bool SeekFile(std::FILE* f, int64_t offset);
// Length of an open file, or -1.
int64_t FileLength(std::FILE* f);

// Reads a whole regular file; false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out);
// Writes `bytes` as the complete new contents of `path`.
bool WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace kova
