// Reads the package appendix behind the installer image (layout in
// package_layout.h). The reader is pure: it creates no directory, writes
// no file and calls nothing of the system; the install procedure does that
// with what the reader hands it.
//
// Everything is checked before it is used: every count and length against
// the bytes left in the file (nothing is read past the end and nothing is
// allocated from an unchecked length), directory indexes, and every name
// that becomes a path, which must stay inside the install directory. A bad
// appendix gives Status::Damaged with a message for the user.
//
// Typical use by the install step:
//   PackageReader reader(source);
//   reader.ReadHeader(header);                       // when the window loads
//   reader.ValidateFileSection(header.fileSectionOffset, summary);
//   reader.ReadUninstallerImage(image);
//   reader.WalkFileSection(header.fileSectionOffset, visitor);
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Instalador/package/binary_file.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/package/package_rules.h"

namespace kova::pkg {

// Random-access bytes of the installer's own file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual int64_t Size() const = 0;
  // Reads exactly `n` bytes at `offset`; false when they cannot be read.
  virtual bool ReadAt(int64_t offset, void* dst, size_t n) = 0;
};

class FileByteSource final : public ByteSource {
 public:
  // Null when the file cannot be opened or measured.
  static std::unique_ptr<FileByteSource> Open(const std::filesystem::path& path);
  int64_t Size() const override { return size_; }
  bool ReadAt(int64_t offset, void* dst, size_t n) override;

 private:
  FileByteSource(UniqueFile file, int64_t size) : file_(std::move(file)), size_(size) {}
  UniqueFile file_;
  int64_t size_;
  int64_t position_ = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool ReadAt(int64_t offset, void* dst, size_t n) override;

 private:
  std::span<const uint8_t> bytes_;
};

enum class Status {
  Ok,
  NoAppendix,  // the file is exactly the installer image: nothing to install
  CannotRead,  // the file could not be read
  Damaged,     // the appendix breaks the layout; nothing may be installed
  Stopped,     // a visitor ended the walk
};

struct Result {
  Status status = Status::Ok;
  std::string message;  // for the user, Portuguese, UTF-8; empty when Ok

  bool Ok() const { return status == Status::Ok; }
};

struct FileSectionSummary {
  int directories = 0;
  int files = 0;
  int64_t chunks = 0;
  int64_t largestChunk = 0;   // the most memory one chunk needs
  int64_t end = 0;            // offset after the last file record
  int64_t trailingBytes = 0;  // bytes after it (left alone, e.g. a signature)
};

// Receives the file section in file order; returning false stops the walk.
class FileSectionVisitor {
 public:
  virtual ~FileSectionVisitor() = default;
  // index: 0-based position in the directory list.
  virtual bool OnDirectory(int index, const DirectoryRecord& directory) = 0;
  // index: 0-based position in the file list; `directory` is the record
  // the file's index names.
  virtual bool OnFileBegin(int index, const FileRecord& file, const DirectoryRecord& directory) = 0;
  // One chunk's raw HE3 bytes; the visitor may take them (swap, decode in
  // place). Only one chunk is held in memory at a time.
  virtual bool OnChunk(int chunkIndex, std::vector<uint8_t>& he3) = 0;
  virtual bool OnFileEnd() = 0;
};

class PackageReader {
 public:
  explicit PackageReader(ByteSource& source, ImageSizes sizes = {});

  // Status::NoAppendix when the file is exactly the installer image.
  Result ReadHeader(PackageHeader& header);
  Result ReadUninstallerImage(std::vector<uint8_t>& image);
  // Checks the whole file section without holding any chunk.
  Result ValidateFileSection(int64_t offset, FileSectionSummary& summary);
  // Validates (once per offset), then hands over every record.
  Result WalkFileSection(int64_t offset, FileSectionVisitor& visitor);

 private:
  ByteSource& source_;
  ImageSizes sizes_;
  int64_t validatedOffset_ = -1;
  FileSectionSummary validated_;
};

}  // namespace kova::pkg
