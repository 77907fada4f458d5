// The uninstaller's work, kept apart from its window: reading the product
// name from the trailer behind its own image, and removing what the
// uninstall log lists. Empty folders and the uninstaller's own file are
// left to a batch file in the Windows folder that the window starts as its
// last act, since they cannot go while the uninstaller runs.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "Instalador/setup/install_platform.h"
#include "Instalador/setup/install_procedure.h"

namespace kova {

struct ProductName {
  enum Kind { kFound, kNoTrailer, kNotFound } kind = kNotFound;
  std::string name;  // UTF-8, when found
};

// Reads the trailer of folder + "\Desinstalar.exe". A file of exactly the
// image size has no trailer; a missing file, a broken trailer or a name
// the package writer would refuse is kNotFound.
ProductName ReadProductName(InstallPlatform& sys, const std::string& folder);

// Progress of the removal, shown by the window (or nowhere when unattended).
using UninstallProgress = StepProgress;

// Path of this process's batch file in the Windows folder; the name holds
// the process id, so two uninstalls never write the same file.
std::string BatchPath(InstallPlatform& sys);

// What an uninstall left, for its last page.
struct UninstallReport {
  SetupRefusal refused = SetupRefusal::kNone;  // stopped before anything was removed
  std::vector<std::string> kept;        // logged folders that hold other files
  std::vector<std::string> kept_files;  // files still in use, or that would not go
  std::vector<std::string> skipped;     // log lines it may not act on
};

// Removes what folder\uninstall.log lists and writes the batch file that
// removes its folders once the uninstaller has ended.
//
// The log lies in the install folder, which ordinary users may be able to
// write to, while the uninstaller runs with administrator rights, so a line
// is acted on only where the installer itself puts things:
// - files inside the install folder; shortcuts (.lnk) directly on the two
//   desktops and below Programs\<product> of either start menu; each deleted
//   through a handle that must still lead there, never through a junction;
// - the install folder and its folders, and Programs\<product>;
// - registry keys that pass the package rule (CheckRegistryKey) and that
//   the product's Uninstall entry, written by the installer where only
//   administrators write, records.
// Other lines are skipped and listed. A file still in use after a few
// seconds is kept and listed. A logged folder is removed only when nothing
// but what the installer put there is left in it; the others are kept and
// listed. The product's Uninstall entry goes first, once the log has been
// read and the batch file created, so the list of programs never points at
// a half-removed product; it is only touched when it names this folder.
// Returns false when the log cannot be read or the batch file cannot be
// written, and when the program is running (and the user does not close
// it; quiet: at once) or an earlier uninstall's cleanup still runs.
bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress,
                 const std::string& folder, const std::optional<std::string>& product,
                 UninstallReport* report = nullptr, bool quiet = false);

// Starts the batch file hidden through the system's command interpreter,
// without waiting; it holds the cleanup mark while it runs.
bool StartBatch(InstallPlatform& sys);

// Tries of the batch file, about a second apart, before it gives up on a
// folder or its own file that stays in use.
inline constexpr int kBatchTries = 60;
// Tries of a file in use, kInUsePauseMs apart, before it is kept.
inline constexpr int kInUseTries = 20;
inline constexpr int kInUsePauseMs = 250;

// Message texts of the uninstaller.
inline constexpr char kNotFoundText[] =
    "Desinstalador não pode ser encontrado. Talvez ele tenha sido renomeado. "
    "Por favor, nomeie ele corretamente para 'Desinstalar.exe'";
inline constexpr char kNotFoundCaption[] = "Arquivo não encontrado";
inline constexpr char kFailedText[] =
    "Arquivo de desinstalação não encontrado. Não foi possível concluir a desinstalação";
inline constexpr char kFailedCaption[] = "Desinstalação não concluída";

}  // namespace kova
