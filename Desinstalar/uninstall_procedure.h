// The uninstaller's work, kept apart from its window: reading the product
// name from the trailer behind its own image, and removing what the
// uninstall log lists. Directories are left to a batch file in the Windows
// folder that the window starts as its last act, since the uninstaller's
// own folder cannot go while it runs.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "Instalador/setup/install_platform.h"

namespace kova {

struct ProductName {
  enum Kind { kFound, kNoTrailer, kNotFound } kind = kNotFound;
  std::string name;  // UTF-8, when found
};

// Reads the trailer of folder + "\Desinstalar.exe". A file of exactly the
// image size has no trailer; a missing file or a broken trailer is
// kNotFound.
ProductName ReadProductName(InstallPlatform& sys, const std::string& folder);

// Progress of the removal, shown by the window (or nowhere when unattended).
using UninstallProgress = StepProgress;

// Path of the self-deleting batch file: pelin_uni.bat in the Windows folder.
std::string BatchPath(InstallPlatform& sys);

// What an uninstall left, for its last page.
struct UninstallReport {
  bool program_running = false;     // stopped before anything was removed
  std::vector<std::string> kept;    // logged folders that hold other files
  std::vector<std::string> skipped; // log lines outside the product's folders
};

// Removes what folder\uninstall.log lists and writes the batch file that
// removes its folders once the uninstaller has ended.
//
// The log lies in the install folder, which ordinary users may be able to
// write to, while the uninstaller runs with administrator rights: files and
// folders are only removed inside the install folder and the folders the
// installer puts shortcuts in, never through a junction or link; other
// lines are skipped. A logged folder is removed only when nothing but what
// the installer put there is left in it; the others are kept and listed.
// The product's Uninstall entry goes first, once the log has been read and
// the batch file created, so the list of programs never points at a
// half-removed product. Returns false when the log cannot be read or the
// batch file cannot be written, and when the program is running (and the
// user does not close it; quiet: at once).
bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress,
                 const std::string& folder, const std::optional<std::string>& product,
                 UninstallReport* report = nullptr, bool quiet = false);

// Starts the batch file hidden through the system's command interpreter,
// without waiting.
bool StartBatch(InstallPlatform& sys);

// Tries of the batch file, about a second apart, before it gives up on a
// folder or file that stays in use.
inline constexpr int kBatchTries = 60;

// Message texts of the uninstaller.
inline constexpr char kNotFoundText[] =
    "Desinstalador não pode ser encontrado. Talvez ele tenha sido renomeado. "
    "Por favor, nomeie ele corretamente para 'Desinstalar.exe'";
inline constexpr char kNotFoundCaption[] = "Arquivo não encontrado";
inline constexpr char kFailedText[] =
    "Arquivo de desinstalação não encontrado. Não foi possível concluir a desinstalação";
inline constexpr char kFailedCaption[] = "Desinstalação não concluída";

}  // namespace kova
