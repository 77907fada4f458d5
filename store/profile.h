// Profile (INI) files on disk: the reads and writes of the system's
// private-profile functions, with the text rules of store/ini.h. A write
// never leaves a torn file: the new text replaces the old one in one step.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "store/ini.h"

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

// Applies the writes in order and stores the result as one replacement. A
// missing file is created when something is written. True on success
// (including when nothing had to change); false when the file could not be
// read or written, and then the file on disk is as it was.
bool WriteStrings(const std::string& path, const std::vector<Write>& writes);
bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace kova::profile
