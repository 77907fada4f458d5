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

namespace {

// The record machine both answers share: after a "B0" the next N tokens are
// the record's fields, and the token after them must be "C0" for the record
// to count. That token is consumed whatever it is, so a "B0" in its place
// does not start a record.
template <std::size_t N, typename OnRecord>
int ParseRecords(std::string_view text, OnRecord&& on_record) {
  std::size_t state = 0;  // 0: waiting for B0; 1..N: reading field state-1
  std::string_view fields[N];
  int accepted = 0;
  ForEachToken(text, [&](std::string_view token) {
    if (state == 0) {
      if (IsB0(token)) state = 1;
    } else if (state <= N) {
      fields[state - 1] = token;
      ++state;
    } else {
      state = 0;
      if (IsC0(token) && on_record(fields)) ++accepted;
    }
  });
  return accepted;
}

}  // namespace

int ParseConfigAnswer(std::string_view text, const RecordSink& sink) {
  return ParseRecords<2>(text, [&](const std::string_view* f) {
    if (f[0].empty() || f[1].empty()) return false;
    sink(f[0], f[1]);
    return true;
  });
}

namespace {

// Every part is one byte on the line, the check byte too: it holds
// key + value modulo 256, so a sum past 0xFF wraps (28 + F0 -> 18).
bool CheckMatches(std::string_view key, std::string_view value, std::string_view check) {
  auto k = ParseHex(key), v = ParseHex(value), c = ParseHex(check);
  if (!k || !v || !c || *k > 0xFF || *v > 0xFF || *c > 0xFF) return false;
  return ((*k + *v) & 0xFF) == *c;
}

}  // namespace

int ParseLiveAnswer(std::string_view text, const RecordSink& sink, bool verify_check) {
  return ParseRecords<3>(text, [&](const std::string_view* f) {
    if (f[0].empty() || f[1].empty()) return false;
    if (verify_check && !CheckMatches(f[0], f[1], f[2])) return false;
    sink(f[0], f[1]);
    return true;
  });
}

int ParseLiveGroups(std::string_view text, const LiveGroupSink& sink) {
  return ParseRecords<3>(text, [&](const std::string_view* f) {
    if (f[0].empty() || f[1].empty()) return false;
    sink(f[0], f[1], CheckMatches(f[0], f[1], f[2]));
    return true;
  });
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
