// POSIX side of binary_file.h: narrow (UTF-8) paths, fseeko/ftello.
#include <sys/types.h>

#include <cstdio>

#include "Instalador/package/binary_file.h"

namespace kova {

UniqueFile OpenBinaryFile(const std::filesystem::path& path, FileMode mode) {
  return UniqueFile(std::fopen(path.c_str(), mode == FileMode::Read ? "rb" : "wb"));
}

bool SeekFile(std::FILE* f, int64_t offset) {
  return offset >= 0 && fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t FileLength(std::FILE* f) {
  const off_t here = ftello(f);
  if (here < 0 || fseeko(f, 0, SEEK_END) != 0) return -1;
  const off_t end = ftello(f);
  if (fseeko(f, here, SEEK_SET) != 0) return -1;
  return end;
}

}  // namespace kova
