#include "store/settings.h"

#include <cstdio>
#include <cstdlib>

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
