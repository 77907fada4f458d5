// The store's parameter-file operations and its dump.
#include <cstdio>
#include <cstring>
#include <vector>

#include "store/ckx4data.h"
#include "store/parameter_file.h"
#include "store/profile.h"

namespace {

constexpr std::size_t kValueCapacity = 1000;  // values of up to 999 characters

bool IsParameterSection(const std::string& section) {
  return section == "CONFIG_VELA" || section == "CONFIG_BRIO";
}

std::string Field(const char (&f)[4]) { return std::string(f, strnlen(f, 4)); }

}  // namespace

int CKX4DATA::ReadConfigINI(std::string file_name, std::string model_name) {
  std::optional<std::string> text = kova::file::ReadAll(file_name);
  if (!text) return -1;
  const char* section = kova::ParameterSection(model_name);
  if (!section) return 0;
  std::vector<std::string> keywords;
  {
    Lock();
    for (unsigned i = 0; i < used_; ++i) keywords.push_back(Field(entries_[i].keyword));
    UnLock();
  }
  for (const std::string& kw : keywords) {
    std::string value = kova::ini::GetString(*text, section, kw, "", kValueCapacity);
    if (value.empty()) return -2;
    Add(kw.c_str(), value.c_str());
  }
  return 0;
}

int CKX4DATA::ReadConfigINI(std::string file_name, std::string section, std::string keyword,
                            std::string& value) {
  std::optional<std::string> text = kova::file::ReadAll(file_name);
  if (!text) return -1;
  if (!IsParameterSection(section)) {
    value.clear();
    return 0;
  }
  std::string read = kova::ini::GetString(*text, section, keyword, "", kValueCapacity);
  if (read.empty()) return -2;
  Add(keyword.c_str(), read.c_str());
  value = read;
  return 0;
}

int CKX4DATA::WriteConfigINI(std::string file_name, std::string model_name) {
  if (!kova::ParameterSection(model_name)) return 0;
  if (!kova::profile::WriteStrings(file_name, kova::ParameterWrites(*this, model_name))) return -2;
  if (!kova::file::Exists(file_name) && !kova::file::CreateEmpty(file_name)) return -2;
  return 0;
}

int CKX4DATA::WriteConfigINI(std::string file_name, std::string section, std::string keyword,
                             std::string value) {
  if (!kova::file::Exists(file_name)) return -1;
  if (!IsParameterSection(section)) return 0;
  if (!kova::profile::WriteString(file_name, section, keyword, value)) return -2;
  Add(keyword.c_str(), value.c_str());
  return 0;
}

int CKX4DATA::Dump(kova::file::NativeHandle file, unsigned char scramble) {
  kova::file::SeekToEnd(file);
  int total = 0;
  Lock();
  std::string line;
  for (unsigned i = 0; i < used_; ++i) {
    const CKeywordData& e = entries_[i];
    char head[32], index[16];
    std::snprintf(head, sizeof head, "%.6d=", static_cast<int>(i));
    std::snprintf(index, sizeof index, "%d", e.index);
    line.assign(head);
    line += Field(e.group) + "|" + Field(e.keyword) + "|" + index + "|";
    line.append(reinterpret_cast<const char*>(e.value), e.length);
    line += "|\r\n";
    if (scramble) Crypt(reinterpret_cast<unsigned char*>(line.data()), static_cast<int>(line.size()));
    if (kova::file::Write(file, line.data(), line.size())) total += static_cast<int>(line.size());
  }
  UnLock();
  kova::file::SeekToEnd(file);
  return total;
}
