// The uninstaller's work, kept apart from its window: reading the product
// name from the trailer behind its own image, and removing what the
// uninstall log lists. Directories are left to a batch file in the Windows
// folder that the window starts as its last act, since the uninstaller's
// own folder cannot go while it runs.
#pragma once
#include <optional>
#include <string>

#include "Instalador/install_platform.h"

namespace kova {

// Size of the uninstaller image as built; the trailer starts right after it.
inline constexpr uint64_t kUninstallerImageSize = 339968;

inline constexpr char kUninstallKeyPrefix[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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

// Path of the self-deleting batch file: %WINDIR%\pelin_uni.bat.
std::string BatchPath(InstallPlatform& sys);

// Removes the files and registry keys that folder\uninstall.log lists and
// writes the batch file for its directories. Deletes the product's
// Uninstall key when the product name is known. Returns false when the log
// cannot be read or the batch file cannot be written.
bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress,
                 const std::string& folder, const std::optional<std::string>& product);

// Starts the batch file hidden, without waiting.
bool StartBatch(InstallPlatform& sys);

// Message texts of the uninstaller.
inline constexpr char kNotFoundText[] =
    "Desinstalador não pode ser encontrado. Talvez ele tenha sido renomeado. "
    "Por favor, nomeie ele corretamente para 'Desinstalar.exe'";
inline constexpr char kNotFoundCaption[] = "Arquivo não encontrado";
inline constexpr char kFailedText[] =
    "Arquivo de desinstalação não encontrado. Não foi possível concluir a desinstalação";
inline constexpr char kFailedCaption[] = "Desinstalação não concluída";

}  // namespace kova
