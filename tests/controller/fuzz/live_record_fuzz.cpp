// Feeds arbitrary texts to the live-record parser. Every accepted record
// must be bytes whose sum modulo 256 is the check byte; the unchecked mode
// must accept at least as much as the checked one, and the group reader must
// see exactly the unchecked records, marking exactly the checked ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controller/answer_parser.h"
#include "store/ckx4data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  int checked = kova::ParseLiveAnswer(
      text,
      [&](std::string_view k, std::string_view v) {
        auto key = kova::ParseHex(k), value = kova::ParseHex(v);
        if (!key || !value || *key > 0xFF || *value > 0xFF) std::abort();
        // The check token follows the value: it must hold the sum's low byte.
        std::string_view rest = text.substr(static_cast<size_t>(v.data() - text.data()) + v.size() + 1);
        auto check = kova::ParseHex(rest.substr(0, rest.find('|')));
        if (!check || *check != ((*key + *value) & 0xFF)) std::abort();
      },
      true);
  int unchecked = kova::ParseLiveAnswer(
      text, [](std::string_view, std::string_view) {}, false);
  if (unchecked < checked) std::abort();
  int matching = 0;
  int groups = kova::ParseLiveGroups(
      text, [&](std::string_view, std::string_view, bool ok) { matching += ok ? 1 : 0; });
  if (groups != unchecked || matching != checked) std::abort();
  // The same text into the live store, as a monitor poll puts it.
  CKX4DATA live;
  if (kova::ParseLiveAnswer(text, live, true) != checked) std::abort();
  if (live.GetQtyUsed() > static_cast<unsigned>(checked)) std::abort();
  return 0;
}
