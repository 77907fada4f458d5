// The settings file KOVA.INI: the serial port chosen per model family, the
// workshop's name, address and phone that head the installation report,
// and the language of the interface.
//
// It lives in the working folder. When that folder cannot be written (an
// installation under Program Files run by a normal user) the settings go to
// the per-user folder instead (Windows: %APPDATA%\KOVA; elsewhere
// $XDG_CONFIG_HOME/kova or ~/.config/kova), and reads look there first, so
// the port choice is remembered either way.
#pragma once
#include <cstddef>
#include <string>

#include "common/texts.h"

namespace kova {

struct SettingsFolders {
  std::string work;  // the process's working folder
  std::string user;  // the per-user fallback
};

SettingsFolders DefaultSettingsFolders();

// Where "GET" reads KOVA.INI: the per-user copy when it exists and the
// working folder cannot be written, else the working folder's.
std::string SettingsPathForRead(const SettingsFolders& folders);
// Where "SET" writes it: the working folder when it can be written, else the
// per-user folder (created when missing). Empty when neither can be used.
std::string SettingsPathForWrite(const SettingsFolders& folders);

// "GET": reads "COM" of the model's section ("CONFIG_VELA" for model name
// "VELA", "CONFIG_BRIO" otherwise) into port and returns 0; returns 1 (VELA)
// or 2 (BRIO) when there is no such entry and 3 when it is empty.
// "SET": writes port as "%d" under "COM", creating the file when missing;
// returns 0, or -1 when the file could not be written anywhere.
// Any other action returns 0 and does nothing.
int PortSetting(const std::string& model_name, int& port, const std::string& action);
int PortSetting(const SettingsFolders& folders, const std::string& model_name, int& port,
                const std::string& action);

// The workshop that fits the kits, as the installation report heads its
// pages. UTF-8 here; KOVA.INI keeps Windows-1252 in section "OFICINA".
struct WorkshopData {
  std::string name, address, phone;
  bool operator==(const WorkshopData&) const = default;
};
// Characters each text keeps; longer texts are cut, line breaks become
// blanks (an INI value is one line).
inline constexpr std::size_t kWorkshopNameCapacity = 60;
inline constexpr std::size_t kWorkshopAddressCapacity = 100;
inline constexpr std::size_t kWorkshopPhoneCapacity = 40;
WorkshopData Tidy(WorkshopData data);

// Reads the workshop from where "GET" reads the port; empty texts when the
// file or the section is missing.
WorkshopData ReadWorkshopData(const SettingsFolders& folders);
// Writes it where "SET" writes the port, the rest of the file untouched.
// False when KOVA.INI could not be written anywhere.
bool WriteWorkshopData(const SettingsFolders& folders, const WorkshopData& data);

// The language chosen last: "Idioma" of section "KOVA" ("pt", "en", "es");
// anything else, or nothing, is Portuguese.
Language LanguageSetting(const SettingsFolders& folders);
// Remembers the language; false when the file could not be written anywhere.
bool SetLanguageSetting(const SettingsFolders& folders, Language language);

}  // namespace kova
