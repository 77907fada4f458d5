// Any byte string handed to DecodeByte ends in a result or one of the
// codec's errors, never outside the buffers; a success must also agree
// with re-encoding (the decoded bytes code back to bytes that decode to
// the same result).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Instalador/package/cls_huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  kova::clsHuffman codec;
  const std::vector<uint8_t> original = bytes;
  kova::HuffmanError e = codec.DecodeByte(bytes, static_cast<int32_t>(bytes.size()));
  if (e) {
    if (bytes != original) std::abort();  // errors leave the buffer as it was
    return 0;
  }
  std::vector<uint8_t> again = bytes;
  if (codec.EncodeByte(again, static_cast<int32_t>(again.size()))) std::abort();
  if (codec.DecodeByte(again, static_cast<int32_t>(again.size()))) std::abort();
  if (again != bytes) std::abort();
  return 0;
}
