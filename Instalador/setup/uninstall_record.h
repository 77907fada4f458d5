// What the installer records for the uninstaller, written by the install
// procedure and read by the uninstall procedure: the uninstall log beside
// the program, its line forms, and the product's entry in the system's
// list of programs.
//
//   #NAO DELETE ESTE ARQUIVO!!!      first line; "#" starts a comment
//   C:\Programas\KOVA\KOVA.exe       a file (or shortcut) the install wrote
//   DIR=C:\Programas\KOVA\dados      a folder the install created
//   REG=HKCU\SOFTWARE\KOVA           a registry key the package declared
//
// Lines end in CR LF and hold Windows-1252 bytes; a log naming a path that
// Windows-1252 cannot hold (a folder named in Cyrillic) is kept in UTF-8
// instead and starts with the UTF-8 byte order mark.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "Instalador/setup/install_platform.h"

namespace kova {

inline constexpr char kLogHeader[] = "#NAO DELETE ESTE ARQUIVO!!!";
// The start-menu shortcut to the uninstaller, which the log does not list.
inline constexpr char kUninstallShortcutName[] = "Desinstalar.lnk";
// The product's entry in the list of programs: this + product name, under
// HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKeyPrefix[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The value of that entry listing the registry keys the uninstaller may
// delete (REG_MULTI_SZ): only administrators write there, unlike the log.
inline constexpr char kRecordedKeysValue[] = "RegistryKeys";

// The folder of an installed copy of the product, from its Uninstall
// entry; empty when there is none.
std::string InstalledDirectory(InstallPlatform& sys, const std::string& product);

struct LogLine {
  enum Kind { kComment, kFile, kDirectory, kRegistry } kind = kComment;
  std::string value;  // the path or key, without its "DIR=" / "REG="
};

std::string DirLine(std::string_view path);
std::string RegLine(std::string_view key);
LogLine ParseLogLine(std::string_view line);

inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Whether Windows-1252 holds every character of a UTF-8 text.
bool FitsCp1252(std::string_view utf8);
// One line as stored: CR LF ended, in Windows-1252 or UTF-8.
std::string LogBytes(std::string_view line, bool utf8);
// Splits stored text into UTF-8 lines at CR LF (or a lone LF); a final
// line break does not start another line.
std::vector<std::string> SplitLogLines(std::string_view stored);

}  // namespace kova
