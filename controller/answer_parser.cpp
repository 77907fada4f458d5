#include "controller/answer_parser.h"

#include "controller/store_access.h"

namespace kova {
namespace {

bool IsToken(std::string_view token, char a, char b) {
  return token.size() == 2 && (token[0] == a || token[0] == a + ('a' - 'A')) &&
         (token[1] == b || token[1] == b + ('a' - 'A'));
}
bool IsB0(std::string_view t) { return IsToken(t, 'B', '0'); }
bool IsC0(std::string_view t) { return IsToken(t, 'C', '0'); }

// Calls fn for every piece between "|" separators, left to right. A piece
// after the last separator counts too, so a text cut short loses nothing
// that is whole.
template <typename Fn>
void ForEachToken(std::string_view text, Fn&& fn) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) {
      fn(text.substr(start));
      return;
    }
    fn(text.substr(start, bar - start));
    start = bar + 1;
  }
}

}  // namespace

std::optional<uint64_t> ParseHex(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  uint64_t v = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return std::nullopt;
    v = v * 16 + static_cast<uint64_t>(d);
  }
  return v;
}

int ParseConfigAnswer(std::string_view text, const RecordSink& sink) {
  int state = 0, accepted = 0;
  std::string_view keyword, value;
  ForEachToken(text, [&](std::string_view token) {
    switch (state) {
      case 0:
        if (IsB0(token)) state = 1;
        break;
      case 1:
        keyword = token;
        state = 2;
        break;
      case 2:
        value = token;
        state = 3;
        break;
      default:
        if (IsC0(token) && !keyword.empty() && !value.empty()) {
          sink(keyword, value);
          ++accepted;
        }
        state = 0;
        break;
    }
  });
  return accepted;
}

int ParseLiveAnswer(std::string_view text, const RecordSink& sink, bool verify_check) {
  int state = 0, accepted = 0;
  std::string_view key, value, check;
  ForEachToken(text, [&](std::string_view token) {
    switch (state) {
      case 0:
        if (IsB0(token)) state = 1;
        break;
      case 1:
        key = token;
        state = 2;
        break;
      case 2:
        value = token;
        state = 3;
        break;
      case 3:
        check = token;
        state = 4;
        break;
      default: {
        state = 0;
        if (!IsC0(token) || key.empty() || value.empty()) break;
        if (verify_check) {
          auto k = ParseHex(key), v = ParseHex(value), c = ParseHex(check);
          // Every part is one byte on the line, so a key and value whose
          // sum passes 0xFF never validate.
          if (!k || !v || !c || *k > 0xFF || *v > 0xFF || *c > 0xFF || *k + *v != *c) break;
        }
        sink(key, value);
        ++accepted;
        break;
      }
    }
  });
  return accepted;
}

int ParseConfigAnswer(std::string_view text, CKX4DATA& store) {
  return ParseConfigAnswer(text, [&](std::string_view k, std::string_view v) {
    StoreAdd(store, k, v);
  });
}

int ParseLiveAnswer(std::string_view text, CKX4DATA& store, bool verify_check) {
  return ParseLiveAnswer(
      text, [&](std::string_view k, std::string_view v) { StoreAdd(store, k, v); },
      verify_check);
}

}  // namespace kova
