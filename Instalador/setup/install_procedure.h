// The install procedure of the wizard (`Instalar`), kept apart from the
// window: directories, files from the package, the uninstaller with its
// trailer, the uninstall log, shortcuts, the Uninstall registry entry and
// component registration. The window (or the unattended mode) supplies the
// choices and shows the progress.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Instalador/setup/install_platform.h"
#include "Instalador/setup/uninstall_record.h"

namespace kova {

struct PackageShortcut {
  std::string target;  // relative to the install directory, "\KOVA.exe"
  std::string name;    // as stored, padded with spaces
};

// What the header of the package tells the install step (texts in UTF-8).
struct InstallPackage {
  std::string product_name;
  std::string product_name_bytes;  // the header's own bytes, for the trailer
  std::vector<PackageShortcut> desktop, start_menu;
  std::vector<std::string> registry_keys;  // "HKLM\Software\..."
  std::vector<std::string> components;     // "\comp.dll"
};

// Receives the file section's records in file order. Returning false stops
// the walk.
class FileSectionVisitor {
 public:
  virtual ~FileSectionVisitor() = default;
  virtual bool Directory(int index, const std::string& name) = 0;
  // chunk_field is the stored chunk count (0 means one chunk).
  virtual bool FileBegin(int index, int dir_index, const std::string& name, int chunk_field) = 0;
  virtual bool Chunk(std::string& he3_bytes) = 0;
  virtual bool FileEnd() = 0;
};

// The package behind the installer image.
class PackageSource {
 public:
  virtual ~PackageSource() = default;
  // Checks the whole file section before anything is written: the record
  // counts on success, a message for the user otherwise.
  virtual bool Validate(int* directories, int* files, std::string* error) = 0;
  virtual bool UninstallerImage(std::string* image, std::string* error) = 0;
  // Walks the records; false with an empty error when the visitor stopped.
  virtual bool Walk(FileSectionVisitor& visitor, std::string* error) = 0;
};

// Turns one HE3 stream into its bytes in place.
class ChunkDecoder {
 public:
  virtual ~ChunkDecoder() = default;
  virtual bool Decode(std::string& bytes, std::string* error) = 0;
};

using InstallProgress = StepProgress;

struct InstallChoices {
  std::string directory;  // the text of the directory box
  bool all_users = true;
  bool desktop = true;
  bool start_menu = true;
  bool quiet = false;  // no message boxes (unattended mode)
};

// Why a setup stopped before it changed anything.
enum class SetupRefusal {
  kNone,
  kProgramRunning,   // the installed program is open (and was not closed)
  kCleanupRunning,   // an earlier uninstall is still removing its folders
  kUnsafeFolder,     // an existing folder others than administrators may
                     // change (and the user did not go ahead)
};

struct InstallOutcome {
  bool ok = false;
  SetupRefusal refused = SetupRefusal::kNone;
  std::string directory;  // as used, without a trailing backslash
  std::string error;      // the failing step's own message
};

// Exit codes of the unattended programs when they change nothing: the
// installed program is running; the install folder exists and users who
// are not administrators may change it; another setup runs (or an earlier
// uninstall's cleanup still does).
inline constexpr int kExitProgramRunning = 4;
inline constexpr int kExitUnsafeFolder = 5;
inline constexpr int kExitSetupBusy = 6;
inline int RefusalExitCode(SetupRefusal refused) {
  switch (refused) {
    case SetupRefusal::kProgramRunning: return kExitProgramRunning;
    case SetupRefusal::kUnsafeFolder: return kExitUnsafeFolder;
    case SetupRefusal::kCleanupRunning: return kExitSetupBusy;
    case SetupRefusal::kNone: break;
  }
  return 0;
}


inline constexpr char kFatalCaption[] = "Erro Fatal";
inline constexpr char kFatalText[] =
    "Ocorreu um erro durante o processo e a instalação não pode ser concluída. Talvez o "
    "diretório escolhido para instalar seja inválido. O programa de instalação será encerrado";
inline constexpr char kNoVersionText[] = "No Version Info available!";

// Runs the install. Each line of the uninstall log is written (and flushed)
// before the item it names is made, so an install that fails or is killed
// leaves nothing the log does not name, and `error` says what failed.
InstallOutcome Instalar(InstallPlatform& sys, PackageSource& source, ChunkDecoder& decoder,
                        const InstallPackage& package, const InstallChoices& choices,
                        InstallProgress& progress);

// The proposed directory: the header's text, or Program Files + "\" +
// folder name for "#PADRAO#" (empty when the system gives no Program Files).
std::string DefaultInstallDirectory(InstallPlatform& sys, const std::string& header_directory,
                                    const std::string& folder_name);

// What the wizard proposes: the installed copy's folder (an upgrade goes
// over it), else the default directory.
std::string ProposedInstallDirectory(InstallPlatform& sys, const std::string& product,
                                     const std::string& header_directory,
                                     const std::string& folder_name);

}  // namespace kova
