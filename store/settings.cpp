#include "store/settings.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/cp1252.h"
#include "store/platform_file.h"
#include "store/profile.h"

namespace kova {
namespace {

constexpr const char* kFileName = "KOVA.INI";
constexpr const char* kLanguageSection = "KOVA";
constexpr const char* kLanguageKey = "Idioma";

}  // namespace

SettingsFolders DefaultSettingsFolders() {
  return {file::WorkingFolder(), file::UserSettingsFolder()};
}

std::string SettingsPathForRead(const SettingsFolders& folders) {
  std::string user = file::Join(folders.user, kFileName);
  if (!folders.user.empty() && file::Exists(user) && !file::FolderWritable(folders.work))
    return user;
  return file::Join(folders.work, kFileName);
}

std::string SettingsPathForWrite(const SettingsFolders& folders) {
  if (file::FolderWritable(folders.work)) return file::Join(folders.work, kFileName);
  if (!folders.user.empty() && file::MakeFolders(folders.user) &&
      file::FolderWritable(folders.user))
    return file::Join(folders.user, kFileName);
  return {};
}

int PortSetting(const std::string& model_name, int& port, const std::string& action) {
  return PortSetting(DefaultSettingsFolders(), model_name, port, action);
}

int PortSetting(const SettingsFolders& folders, const std::string& model_name, int& port,
                const std::string& action) {
  const bool vela = model_name == "VELA";
  const char* section = vela ? "CONFIG_VELA" : "CONFIG_BRIO";
  if (action == "GET") {
    std::string text = file::ReadAll(SettingsPathForRead(folders)).value_or(std::string());
    if (!ini::Find(text, section, "COM").value) return vela ? 1 : 2;
    std::string value = ini::GetString(text, section, "COM", "", 1000);
    if (value.empty()) return 3;
    port = static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
    return 0;
  }
  if (action == "SET") {
    std::string path = SettingsPathForWrite(folders);
    char number[16];
    std::snprintf(number, sizeof number, "%d", port);
    if (path.empty() || !profile::WriteString(path, section, "COM", number)) return -1;
    return 0;
  }
  return 0;
}

Language LanguageSetting(const SettingsFolders& folders) {
  std::string text = file::ReadAll(SettingsPathForRead(folders)).value_or(std::string());
  return LanguageOfCode(ini::GetString(text, kLanguageSection, kLanguageKey, "", 16));
}

bool SetLanguageSetting(const SettingsFolders& folders, Language language) {
  std::string path = SettingsPathForWrite(folders);
  return !path.empty() &&
         profile::WriteString(path, kLanguageSection, kLanguageKey, LanguageCode(language));
}

}  // namespace kova

namespace kova {
namespace {

constexpr const char* kWorkshopSection = "OFICINA";

// One line of Windows-1252, without blanks at its ends, cut to capacity.
std::string OneCp1252Line(const std::string& utf8, std::size_t capacity) {
  std::string text = Utf8ToCp1252(utf8);
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (text.size() > capacity) text.resize(capacity);
  return text;
}

// The reader takes blanks and one pair of quotes off a value's ends: a
// value that has them at an end is written quoted, so it reads back whole.
std::string Quoted(const std::string& value) {
  auto special = [](char c) { return c == ' ' || c == '"' || c == '\''; };
  if (value.empty() || (!special(value.front()) && !special(value.back()))) return value;
  return "\"" + value + "\"";
}

struct WorkshopKey {
  const char* key;
  std::string WorkshopData::*text;
  std::size_t capacity;
};
constexpr WorkshopKey kWorkshopKeys[] = {
    {"Nome", &WorkshopData::name, kWorkshopNameCapacity},
    {"Endereco", &WorkshopData::address, kWorkshopAddressCapacity},
    {"Telefone", &WorkshopData::phone, kWorkshopPhoneCapacity},
};

}  // namespace

WorkshopData Tidy(WorkshopData data) {
  for (const WorkshopKey& k : kWorkshopKeys)
    data.*k.text = Cp1252ToUtf8(OneCp1252Line(data.*k.text, k.capacity));
  return data;
}

WorkshopData ReadWorkshopData(const SettingsFolders& folders) {
  const std::string text = file::ReadAll(SettingsPathForRead(folders)).value_or(std::string());
  WorkshopData data;
  for (const WorkshopKey& k : kWorkshopKeys) {
    std::string value = ini::GetString(text, kWorkshopSection, k.key, "", 1000);
    if (value.size() > k.capacity) value.resize(k.capacity);
    data.*k.text = Cp1252ToUtf8(value);
  }
  return data;
}

bool WriteWorkshopData(const SettingsFolders& folders, const WorkshopData& data) {
  const std::string path = SettingsPathForWrite(folders);
  if (path.empty()) return false;
  std::vector<profile::Write> writes;
  for (const WorkshopKey& k : kWorkshopKeys)
    writes.push_back({kWorkshopSection, k.key, Quoted(OneCp1252Line(data.*k.text, k.capacity))});
  return profile::WriteStrings(path, writes);
}

}  // namespace kova
