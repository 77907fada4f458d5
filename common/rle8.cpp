#include "common/rle8.h"

#include <cstring>

namespace kova {

bool ExpandRle8(const uint8_t* data, size_t size, int width, int height, uint8_t* rows,
                size_t stride) {
  if (width <= 0 || height <= 0 || stride < static_cast<size_t>(width)) return false;
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  size_t at = 0, x = 0, y = 0;
  auto room = [&](size_t n) { return y < h && x + n <= w; };
  while (at + 1 < size) {
    const uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {  // a run of one index
      if (!room(count)) return false;
      std::memset(rows + y * stride + x, value, count);
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // move right and up
      if (at + 1 >= size) return false;
      x += data[at];
      y += data[at + 1];
      at += 2;
      if (x > w || y > h) return false;
    } else {  // `value` indexes as they stand, padded to a word
      if (at + value > size || !room(value)) return false;
      std::memcpy(rows + y * stride + x, data + at, value);
      x += value;
      at += value + (value & 1);
    }
  }
  return false;
}

}  // namespace kova
