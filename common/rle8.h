// Run-length-coded 8-bit pictures (BMP's BI_RLE8), expanded by the program
// itself: the screens' backgrounds are stored that way, a tenth of their
// plain size, and the system's picture loader does not expand them into
// the device-independent bitmaps the screens paint from.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kova {

// Expands `size` bytes of BI_RLE8 data into `height` rows of `stride`
// bytes, in the file's order (bottom row first). Pixels the data skips
// (a delta, an early end of line) stay as they were. False when the data
// is damaged: a run past its row or the picture, or data that stops
// before the end-of-picture mark.
bool ExpandRle8(const uint8_t* data, size_t size, int width, int height, uint8_t* rows,
                size_t stride);

}  // namespace kova
