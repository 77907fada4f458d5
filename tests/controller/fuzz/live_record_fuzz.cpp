// Feeds arbitrary texts to the live-record parser. Every accepted record
// must satisfy key + value = check; the unchecked mode must accept at least
// as much as the checked one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controller/answer_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  int checked = kova::ParseLiveAnswer(
      text,
      [&](std::string_view k, std::string_view v) {
        auto key = kova::ParseHex(k), value = kova::ParseHex(v);
        if (!key || !value || *key + *value > 0xFF) std::abort();
        // The check token follows the value: it must hold the sum.
        std::string_view rest = text.substr(static_cast<size_t>(v.data() - text.data()) + v.size() + 1);
        auto check = kova::ParseHex(rest.substr(0, rest.find('|')));
        if (!check || *check != *key + *value) std::abort();
      },
      true);
  int unchecked = kova::ParseLiveAnswer(
      text, [](std::string_view, std::string_view) {}, false);
  if (unchecked < checked) std::abort();
  return 0;
}
