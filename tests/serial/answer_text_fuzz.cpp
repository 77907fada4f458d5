// Any bytes and any request size: the text stays inside the buffer and is
// made of whole "%1X|" pieces.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "serial/answer_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const unsigned long requested = (data[0] << 8 | data[1]) % 12000;
  std::vector<unsigned char> buf(requested ? requested : 1);
  const size_t delivered = std::min<size_t>(size - 2, requested);
  std::memcpy(buf.data(), data + 2, delivered);
  unsigned long length = 0;
  if (kova::RenderReadAnswer(buf.data(), requested, delivered, &length) != 0) return 0;
  if (length >= requested || length >= 10000 || buf[length] != 0) std::abort();
  if (length && buf[length - 1] != '|') std::abort();
  return 0;
}
