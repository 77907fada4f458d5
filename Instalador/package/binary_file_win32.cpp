// Windows side of binary_file.h: wide paths (_wfopen), 64-bit seeks.
#include <cstdio>

#include "Instalador/package/binary_file.h"

namespace kova {

UniqueFile OpenBinaryFile(const std::filesystem::path& path, FileMode mode) {
  return UniqueFile(_wfopen(path.c_str(), mode == FileMode::Read ? L"rb" : L"wb"));
}

bool SeekFile(std::FILE* f, int64_t offset) {
  return offset >= 0 && _fseeki64(f, offset, SEEK_SET) == 0;
}

int64_t FileLength(std::FILE* f) {
  const int64_t here = _ftelli64(f);
  if (here < 0 || _fseeki64(f, 0, SEEK_END) != 0) return -1;
  const int64_t end = _ftelli64(f);
  if (_fseeki64(f, here, SEEK_SET) != 0) return -1;
  return end;
}

}  // namespace kova
