// Whole-file helpers shared by both platforms.
#include "Instalador/package/binary_file.h"

namespace kova {

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  UniqueFile f = OpenBinaryFile(path, FileMode::Read);
  if (!f) return false;
  const int64_t size = FileLength(f.get());
  if (size < 0) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
  out.swap(bytes);
  return true;
}

bool WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  UniqueFile f = OpenBinaryFile(path, FileMode::Write);
  if (!f) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
    return false;
  return std::fclose(f.release()) == 0;
}

}  // namespace kova
