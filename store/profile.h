// Profile (INI) files on disk: the reads and writes of the system's
// private-profile functions, with the text rules of store/ini.h. A write
// never leaves a torn file: the new text replaces the old one in one step.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "store/ini.h"
#include "store/platform_file.h"

namespace kova::profile {

// What GetPrivateProfileStringA gives for a buffer of `capacity` bytes; a
// missing file reads as empty.
std::string GetString(const std::string& path, const std::string& section, const std::string& key,
                      const char* default_value, std::size_t capacity);
ini::Found Find(const std::string& path, const std::string& section, const std::string& key);

struct Write {
  std::string section;
  std::optional<std::string> key;    // none: delete the section
  std::optional<std::string> value;  // none: delete the key
};

// Applies the writes in order and stores the result as one replacement
// (file::Replace). A missing file is created when something is written.
// kDone also when nothing had to change; otherwise the file on disk is as
// it was (kFailed also when it could not be read).
file::ReplaceResult Apply(const std::string& path, const std::vector<Write>& writes);
// Apply() == kDone.
bool WriteStrings(const std::string& path, const std::vector<Write>& writes);
bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace kova::profile
