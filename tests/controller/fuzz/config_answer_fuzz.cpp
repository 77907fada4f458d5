// Feeds arbitrary answer texts to the configuration-record parser: it must
// never read outside the text, and whatever it accepts must be a keyword and
// a value taken whole from between two bars, the record opened by a B0 and
// closed by a C0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controller/answer_parser.h"
#include "store/ckx4data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  int seen = 0;
  int accepted = kova::ParseConfigAnswer(text, [&](std::string_view k, std::string_view v) {
    ++seen;
    if (k.empty() || v.empty()) std::abort();
    if (k.find('|') != std::string_view::npos || v.find('|') != std::string_view::npos)
      std::abort();
    // Both are views into the text itself.
    if (k.data() < text.data() || k.data() + k.size() > text.data() + text.size()) std::abort();
    if (v.data() < text.data() || v.data() + v.size() > text.data() + text.size()) std::abort();
  });
  if (accepted != seen) std::abort();
  // Each record takes at least "B0|k|v|C0" = 9 characters.
  if (static_cast<size_t>(accepted) * 9 > size + 1) std::abort();
  // The same text into a keyword store, as a read transaction puts it.
  CKX4DATA store;
  if (kova::ParseConfigAnswer(text, store) != accepted) std::abort();
  if (store.GetQtyUsed() > static_cast<unsigned>(accepted)) std::abort();
  return 0;
}
