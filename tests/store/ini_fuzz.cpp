// Fuzz target for the profile reader and editor: any bytes as a file, with
// a section, key and value taken from the input's first bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/ini.h"

namespace {

std::string_view Take(std::string_view& in, std::size_t max) {
  std::size_t n = in.empty() ? 0 : static_cast<unsigned char>(in.front()) % (max + 1);
  if (!in.empty()) in.remove_prefix(1);
  if (n > in.size()) n = in.size();
  std::string_view part = in.substr(0, n);
  in.remove_prefix(n);
  return part;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string section(Take(in, 12)), key(Take(in, 12)), value(Take(in, 12));
  // The buffer sizes the product reads with: KOVA.INI's port and parameter
  // values (1000), customer texts (500), or a small one.
  constexpr std::size_t kSizes[] = {1000, 500, 16};
  std::size_t capacity = in.empty() ? 1000 : kSizes[static_cast<unsigned char>(in.front()) % 3];
  const std::string text(in);

  std::string got = kova::ini::GetString(text, section, key, "d", capacity);
  Check(capacity == 0 ? got.empty() : got.size() < capacity);
  kova::ini::Find(text, section, key);

  // Each line of the rewrite is at most its input line plus CR LF, so the
  // output stays within a small multiple of the input.
  const std::size_t bound = 3 * text.size() + 3 * (section.size() + key.size() + value.size()) + 16;
  std::string edited = text;
  kova::ini::Edit(edited, section, key.c_str(), value.c_str());
  Check(edited.size() <= bound);
  edited = text;
  kova::ini::Edit(edited, section, key.c_str(), nullptr);
  Check(edited.size() <= bound);
  edited = text;
  kova::ini::Edit(edited, section, nullptr, nullptr);
  Check(edited.size() <= bound);
  return 0;
}
