#include "store/profile.h"

#include "store/platform_file.h"

namespace kova::profile {

std::string GetString(const std::string& path, const std::string& section, const std::string& key,
                      const char* default_value, std::size_t capacity) {
  std::string text = file::ReadAll(path).value_or(std::string());
  return ini::GetString(text, section, key, default_value, capacity);
}

ini::Found Find(const std::string& path, const std::string& section, const std::string& key) {
  std::string text = file::ReadAll(path).value_or(std::string());
  return ini::Find(text, section, key);
}

file::ReplaceResult Apply(const std::string& path, const std::vector<Write>& writes) {
  std::optional<std::string> old = file::ReadAll(path);
  if (!old && file::Exists(path)) return file::ReplaceResult::kFailed;  // never clobber it
  std::string text = old.value_or(std::string());
  bool changed = false;
  for (const Write& w : writes)
    changed |= ini::Edit(text, w.section, w.key ? w.key->c_str() : nullptr,
                         w.value ? w.value->c_str() : nullptr);
  if (!changed) return file::ReplaceResult::kDone;
  return file::Replace(path, text);
}

bool WriteStrings(const std::string& path, const std::vector<Write>& writes) {
  return Apply(path, writes) == file::ReplaceResult::kDone;
}

bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value) {
  return WriteStrings(path, {Write{section, key, value}});
}

}  // namespace kova::profile
