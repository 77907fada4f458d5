// Small path, version and text helpers shared by the installer and the
// uninstaller. Paths are Windows paths in UTF-8 and never end in a
// backslash unless a function says so.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Instalador/setup/install_platform.h"

namespace kova {

// The directory text with one trailing backslash removed.
std::string InstallDirectoryFromText(const std::string& text);

// Appends "\" unless the path already ends with one.
std::string EnsureTrailingBackslash(std::string path);

// True when the file's length can be read.
bool FileExists(InstallPlatform& sys, const std::string& path);

// The special folder's path, or an empty text when the system gives none
// or gives one that is not absolute (which would mean the drive's root).
std::string SpecialFolderPath(InstallPlatform& sys, int folder_id);

// A drive ("C:\...") or network ("\\server\share...") path.
bool LooksAbsolute(std::string_view path);

// The names of an absolute path: the root first ("C:" or "\\server"),
// then each name without its trailing spaces and dots, which Windows
// ignores. Nothing when the path is not absolute or a name could lead
// elsewhere or is not a plain name: ".", "..", empty names, "/", or a
// character Windows refuses in names (quotes, wildcards, ':' ...).
std::optional<std::vector<std::string>> PathNames(std::string_view path);

// True when `path` lies below `root` (or is root itself, when or_equal),
// names compared as Windows compares them (SameNameIgnoringCase). False
// whenever either is not a plain absolute path: the safe answer.
bool PathInside(std::string_view path, std::string_view root, bool or_equal);
bool SamePath(std::string_view a, std::string_view b);

// The single-instance mark of the installed program, held while it runs.
inline constexpr char kProgramMutex[] = "Kova_aplication";

// Whether the installed program runs: its single-instance mark, or one
// of its files held open (programs: full paths of its .exe files).
bool ProgramRunning(InstallPlatform& sys, const std::vector<std::string>& programs);

// While the installed program runs, asks the user to close it (Retry /
// Cancel). True once it is closed; false when the user cancels, or at once
// when quiet (unattended runs exit with their own code instead).
bool WaitForProgramClosed(InstallPlatform& sys, const std::string& product,
                          const std::vector<std::string>& programs, bool quiet);

// Shown when another Instalador or Desinstalar holds the setup lock, or an
// earlier uninstall's cleanup does not end.
inline constexpr char kSetupBusyText[] =
    "Outra instalação ou desinstalação está em andamento. Aguarde o seu término e tente "
    "novamente.";

// Takes the setup lock for the rest of the process's life; when another
// setup holds it, says so (unless quiet) and returns false.
bool TakeSetupLock(InstallPlatform& sys, const std::string& caption, bool quiet);

// How long a setup waits for an earlier uninstall's cleanup, which gives up
// by itself after about a minute.
inline constexpr int kCleanupWaitSeconds = 75;

// Waits while an earlier uninstall's cleanup still runs, saying so; false
// when it is still running after kCleanupWaitSeconds.
bool WaitForCleanup(InstallPlatform& sys, StepProgress& progress);

// The chosen folder, or an empty text when the picker is cancelled.
std::string BrowseForFolder(InstallPlatform& sys, const std::string& title);

// Removes a directory; with contents, everything below it first, each file
// through a handle that must lead inside `path`. Uses two stacks so that
// only one directory listing is open at a time. False when something could
// not be removed.
bool RemoveDirectoryTree(InstallPlatform& sys, const std::string& path, bool with_contents);

// What the version resource of a file says, as texts.
struct VersionReport {
  std::string struct_version;   // "1.0"
  std::string file_version;     // "6.0.81.69"
  std::string product_version;
  std::string flags;            // "Debug PreRel " ...
  std::string os;               // "NT-Win32" ...
  std::string type;             // "App", "DLL" ...
  std::string subtype;          // drivers only
  uint16_t file_parts[4] = {0, 0, 0, 0};
};

// The version report of a file, or nothing when it has no version resource.
std::optional<VersionReport> QueryFileVersion(InstallPlatform& sys, const std::string& path);

// "6.0.81.69" -> "608169".
std::string VersionDigits(std::string_view version_text);

// Orders two versions part by part as numbers: -1, 0 or 1.
int CompareVersions(const uint16_t (&a)[4], const uint16_t (&b)[4]);

// Drops trailing spaces (the padding of fixed-width package names).
std::string TrimRight(std::string_view text);

// Folder part of a path ("C:\A\b.exe" -> "C:\A").
std::string ParentFolder(std::string_view path);

}  // namespace kova
