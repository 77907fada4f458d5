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
// Lines end in CR LF and hold Windows-1252 bytes.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kova {

inline constexpr char kLogHeader[] = "#NAO DELETE ESTE ARQUIVO!!!";
// The start-menu shortcut to the uninstaller, which the log does not list.
inline constexpr char kUninstallShortcutName[] = "Desinstalar.lnk";
// The product's entry in the list of programs: this + product name, under
// HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKeyPrefix[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct LogLine {
  enum Kind { kComment, kFile, kDirectory, kRegistry } kind = kComment;
  std::string value;  // the path or key, without its "DIR=" / "REG="
};

std::string DirLine(std::string_view path);
std::string RegLine(std::string_view key);
LogLine ParseLogLine(std::string_view line);

// One line as stored: Windows-1252 bytes and CR LF.
std::string LogBytes(std::string_view line);
// Splits stored text into UTF-8 lines at CR LF (or a lone LF); a final
// line break does not start another line.
std::vector<std::string> SplitLogLines(std::string_view stored);

}  // namespace kova
