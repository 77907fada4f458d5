#include "serial/answer_text.h"

#include <algorithm>
#include <cstring>

namespace kova {

int RenderReadAnswer(unsigned char* buffer, unsigned long requested,
                     unsigned long delivered, unsigned long* length,
                     unsigned long text_capacity) {
  constexpr int kOk = 0, kReadError = 6;
  // A full buffer means the answer may have been longer than the request.
  if (buffer == nullptr || delivered == 0 || delivered >= requested) return kReadError;
  static const char kDigits[] = "0123456789ABCDEF";
  // The text goes back over the caller's buffer, so it must fit there too.
  const unsigned long capacity = std::min(text_capacity, requested);
  static thread_local char text[10000];
  const unsigned long limit = std::min<unsigned long>(capacity, sizeof text);
  unsigned long n = 0;
  if (buffer[0] != 0x00) {
    for (unsigned long i = 0; i < delivered; ++i) {
      const unsigned char b = buffer[i];
      const unsigned long need = (b >= 0x10 ? 3 : 2);
      if (n + need + 1 > limit) break;  // keep room for the terminator
      if (b >= 0x10) text[n++] = kDigits[b >> 4];
      text[n++] = kDigits[b & 0x0F];
      text[n++] = '|';
    }
  }
  std::memcpy(buffer, text, n);
  buffer[n] = 0;
  if (length) *length = n;
  return kOk;
}

}  // namespace kova
