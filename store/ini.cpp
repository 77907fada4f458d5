#include "store/ini.h"

#include "common/cp1252.h"

namespace kova::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' ||
         c == '\x1A';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

// Names and values are C strings to the profile functions: a NUL ends them.
std::string_view CutAtNul(std::string_view s) {
  auto p = s.find('\0');
  return p == std::string_view::npos ? s : s.substr(0, p);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

struct Entry {
  bool is_section = false;
  std::string_view name;
  bool has_value = false;
  std::string_view value;
};

// Walks the entries of a profile text in file order, applying the loader's
// rules (blank lines skipped, a nameless key right after another nameless
// key of the same section dropped).
class Scanner {
 public:
  explicit Scanner(std::string_view body) : rest_(body) {}

  bool Next(Entry& e) {
    while (!rest_.empty()) {
      std::size_t end = rest_.find_first_of("\r\n");
      std::string_view line = rest_.substr(0, end);
      rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
      line = Trim(line);
      if (line.empty()) continue;
      if (line.front() == '[') {
        std::size_t close = line.rfind(']');
        if (close != std::string_view::npos && close > 0) {
          e.is_section = true;
          e.name = CutAtNul(Trim(line.substr(1, close - 1)));
          e.has_value = false;
          e.value = {};
          have_prev_key_ = false;
          return true;
        }
      }
      std::size_t eq = line.find('=');
      std::string_view name = eq == std::string_view::npos ? line : TrimRight(line.substr(0, eq));
      if (!name.empty() || !have_prev_key_ || !prev_key_nameless_) {
        e.is_section = false;
        e.name = CutAtNul(name);
        e.has_value = eq != std::string_view::npos;
        e.value = e.has_value ? CutAtNul(TrimLeft(line.substr(eq + 1))) : std::string_view();
        have_prev_key_ = true;
        prev_key_nameless_ = e.name.empty();
        return true;
      }
    }
    return false;
  }

 private:
  std::string_view rest_;
  bool have_prev_key_ = false;
  bool prev_key_nameless_ = false;
};

bool HasBom(std::string_view text) { return text.substr(0, kBom.size()) == kBom; }

// Query names and values as the text's own encoding.
std::string ToBody(std::string_view cp1252, bool utf8) {
  return utf8 ? Cp1252ToUtf8(cp1252) : std::string(cp1252);
}

Found FindInBody(std::string_view body, std::string_view section, std::string_view key) {
  Found f;
  Scanner sc(body);
  Entry e;
  bool in_target = section.empty();  // the nameless section before any header
  f.section = in_target;
  while (sc.Next(e)) {
    if (e.is_section) {
      if (f.section) break;  // only the first section of a name counts
      in_target = SameName(e.name, section);
      f.section = in_target;
      continue;
    }
    if (in_target && SameName(e.name, key)) {
      f.key = true;
      if (e.has_value) f.value = std::string(e.value);
      break;
    }
  }
  return f;
}

// The copy rule of the profile reader: a matching pair of quotes is
// removed; a value cut by the buffer keeps its opening text.
std::string CopyEntry(std::string_view s, std::size_t capacity) {
  if (capacity == 0) return {};
  const std::size_t room = capacity - 1;
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    std::string_view inner = s.substr(1);  // still holds the closing quote
    std::string out(inner.substr(0, room));
    if (capacity >= inner.size() && !out.empty()) out.pop_back();
    return out;
  }
  return std::string(s.substr(0, room));
}

void AppendKey(std::string& out, std::string_view name, bool has_value, std::string_view value) {
  out.append(name);
  if (has_value) {
    out.push_back('=');
    out.append(value);
  }
  out.append("\r\n");
}

}  // namespace

Found Find(std::string_view text, std::string_view section, std::string_view key) {
  bool utf8 = HasBom(text);
  std::string_view body = utf8 ? text.substr(kBom.size()) : text;
  std::string sec = ToBody(Trim(section), utf8);
  std::string k = ToBody(Trim(key), utf8);
  Found f = FindInBody(body, sec, k);
  if (utf8 && f.value) f.value = Utf8ToCp1252(*f.value);
  return f;
}

std::string GetString(std::string_view text, std::string_view section, std::string_view key,
                      const char* default_value, std::size_t capacity) {
  Found f = Find(text, section, key);
  if (f.value) return CopyEntry(*f.value, capacity);
  if (!default_value) return {};
  return CopyEntry(TrimRight(default_value), capacity);
}

bool Edit(std::string& text, std::string_view section, const char* key, const char* value) {
  const bool utf8 = HasBom(text);
  std::string_view body = utf8 ? std::string_view(text).substr(kBom.size()) : std::string_view(text);
  // Names match without their surrounding blanks; a name that has to be
  // created keeps its trailing ones, as the system's writer does.
  const std::string sec = ToBody(Trim(section), utf8);
  const std::string k = key ? ToBody(Trim(key), utf8) : std::string();
  const std::string new_sec = ToBody(TrimLeft(section), utf8);
  const std::string new_k = key ? ToBody(TrimLeft(key), utf8) : std::string();
  const std::string v = value ? ToBody(TrimLeft(value), utf8) : std::string();
  const bool drop_section = key == nullptr;
  const bool drop_key = !drop_section && value == nullptr;

  Found f = FindInBody(body, sec, k);
  if (drop_section && !f.section) return false;
  if (drop_key && !f.key) return false;
  if (!drop_section && !drop_key && f.value && *f.value == v) return false;

  std::string out;
  out.reserve(text.size() + sec.size() + k.size() + v.size() + 8);
  if (utf8) out.append(kBom);
  Scanner sc(body);
  Entry e;
  bool in_target = sec.empty();
  bool target_seen = in_target;
  bool key_done = drop_section;
  // A new key goes at the end of its section.
  auto close_target = [&] {
    if (!in_target) return;
    if (!key_done && !drop_key) AppendKey(out, new_k, true, v);
    key_done = true;
  };
  while (sc.Next(e)) {
    if (e.is_section) {
      close_target();
      in_target = !target_seen && SameName(e.name, sec);
      target_seen = target_seen || in_target;
      if (drop_section && in_target) continue;
      if (!e.name.empty()) {
        out.push_back('[');
        out.append(e.name);
        out.append("]\r\n");
      }
      continue;
    }
    if (in_target && drop_section) continue;
    if (in_target && !key_done && SameName(e.name, k)) {
      key_done = true;
      if (!drop_key) AppendKey(out, e.name, true, v);
      continue;
    }
    AppendKey(out, e.name, e.has_value, e.value);
  }
  close_target();
  if (!target_seen && !drop_section && !drop_key) {
    out.push_back('[');
    out.append(new_sec);
    out.append("]\r\n");
    AppendKey(out, new_k, true, v);
  }
  text = std::move(out);
  return true;
}

}  // namespace kova::ini
