#include "Instalador/setup/install_procedure.h"

#include <algorithm>
#include <memory>
#include <set>

#include "Instalador/package/name_compare.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/package/package_rules.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"

namespace kova {

namespace {

// Folders the start-menu folder must never be: the product folder is
// removed with its contents on a reinstall.
constexpr int kProtectedMenuFolders[] = {kFolderProgramsUser, kFolderProgramsAll, 7 /* Startup */,
                                         24 /* common Startup */, 47, 48 /* Administrative Tools */};

// One run of the install.
class Installer : private FileSectionVisitor {
 public:
  Installer(InstallPlatform& sys, PackageSource& source, ChunkDecoder& decoder,
            const InstallPackage& package, const InstallChoices& choices, InstallProgress& progress)
      : sys_(sys), source_(source), decoder_(decoder), pkg_(package), choices_(choices),
        progress_(progress) {}

  InstallOutcome Run() {
    InstallOutcome out;
    dir_ = InstallDirectoryFromText(choices_.directory);
    out.refused = Refusal();
    if (out.refused == SetupRefusal::kNone) out.ok = Steps();
    if (log_) log_->Close();
    out.directory = dir_;
    out.error = error_;
    return out;
  }

 private:
  // What stops the install before anything is written.
  SetupRefusal Refusal() {
    // The program's files are in use while it runs.
    std::vector<std::string> programs;
    if (LooksAbsolute(dir_))
      for (const auto* list : {&pkg_.desktop, &pkg_.start_menu})
        for (const PackageShortcut& s : *list) programs.push_back(dir_ + s.target);
    if (!WaitForProgramClosed(sys_, pkg_.product_name, programs, choices_.quiet)) {
      error_ = "O " + pkg_.product_name + " está aberto.";
      return SetupRefusal::kProgramRunning;
    }
    // An earlier uninstall's cleanup would delete what this run writes.
    if (!WaitForCleanup(sys_, progress_)) {
      error_ = kSetupBusyText;
      return SetupRefusal::kCleanupRunning;
    }
    // An administrator's program in a folder ordinary users may change can
    // be swapped for theirs; a folder this run creates gets protected.
    if (sys_.IsElevated() && LooksAbsolute(dir_) && sys_.IsDirectory(dir_) &&
        sys_.OthersCanWrite(dir_)) {
      error_ = "A pasta " + dir_ +
               " pode ser alterada por usuários que não são administradores: eles poderiam "
               "trocar os programas instalados nela por outros.";
      if (choices_.quiet ||
          sys_.ShowMessage(error_ + "\r\n\r\nDeseja instalar nela mesmo assim?", pkg_.product_name,
                           kBoxYesNo | kBoxIconWarning) != kBoxAnswerYes)
        return SetupRefusal::kUnsafeFolder;
      error_.clear();
    }
    return SetupRefusal::kNone;
  }

  bool Fail(const std::string& what, const std::string& path) {
    std::string reason = sys_.LastError();
    error_ = what + " " + path + (reason.empty() ? "" : "\r\n" + reason);
    return false;
  }

  // Writes a line ahead of the item it names, and makes it durable first.
  bool Log(const std::string& line) {
    // Lines an earlier installation already recorded are not repeated.
    if (carried_set_.count(line)) return true;
    return Write(line);
  }
  bool Write(const std::string& line) {
    if (!log_ || !log_->Write(LogBytes(line, utf8_log_)) || !log_->Flush())
      return Fail("Não foi possível gravar", LogPath());
    return true;
  }

  std::string LogPath() const { return dir_ + "\\" + pkg::kUninstallLogFileName; }
  std::string UninstallerPath() const { return dir_ + "\\" + pkg::kUninstallerFileName; }

  bool Steps() {
    int dir_count = 0, file_count = 0;
    if (!source_.Validate(&dir_count, &file_count, &error_)) return false;
    std::string image;
    if (!source_.UninstallerImage(&image, &error_)) return false;
    progress_.SetStatus("Montando base de diretórios...");
    progress_.SetRange(dir_count);

    if (!LooksAbsolute(dir_)) {
      error_ = kFatalText;
      return false;
    }
    for (const std::string& key : pkg_.registry_keys) {
      if (std::string why = pkg::CheckRegistryKey(key, pkg_.product_name); !why.empty()) {
        error_ = "Pacote inválido: \"" + key + "\" é uma " + why + ".";
        return false;
      }
    }
    if (!ShortcutFolders()) return false;
    if (!CreateInstallDirectory()) return false;
    ReadEarlierLog();
    if (!StartLog()) return false;
    if (!WriteUninstaller(image)) return false;
    image.clear();
    file_total_ = file_count;
    if (!source_.Walk(*this, &error_)) {
      if (error_.empty()) error_ = "Falha ao copiar os arquivos do pacote.";
      return false;
    }
    if (!files_started_) progress_.SetRange(file_count);

    progress_.SetStatus("Criando atalhos");
    if (choices_.desktop && !pkg_.desktop.empty() && !DesktopShortcuts()) return false;
    if (choices_.start_menu && !pkg_.start_menu.empty() && !StartMenuShortcuts()) return false;
    RegisterUninstallEntry();
    progress_.SetStatus("Registrando componentes...");
    RegisterComponents();
    return true;
  }

  // Creates the install directory one level at a time. A level that cannot
  // be created counts as existing (the drive, a share); a failure shows
  // when the log cannot be written in it.
  bool CreateInstallDirectory() {
    std::string with_slash = dir_ + "\\";
    for (size_t pos = with_slash.find('\\'); pos != std::string::npos;
         pos = with_slash.find('\\', pos + 1)) {
      std::string prefix = with_slash.substr(0, pos + 1);
      if (sys_.IsDirectory(prefix) || !sys_.CreateDir(prefix)) continue;
      created_.push_back(prefix);
      // Under Program Files the folder inherits its protection; elsewhere
      // (C:\KOVA) it would inherit rights for every user to change it.
      if (created_.size() == 1 && sys_.IsElevated() && !UnderProgramFiles() &&
          !sys_.ProtectFolder(prefix)) {
        Fail("Não foi possível proteger a pasta", prefix);
        TakeBackCreatedFolders();
        return false;
      }
    }
    return true;
  }
  bool UnderProgramFiles() {
    for (int id : {kFolderProgramFiles, kFolderProgramFilesX86}) {
      std::string folder = SpecialFolderPath(sys_, id);
      if (!folder.empty() && PathInside(dir_, folder, false)) return true;
    }
    return false;
  }
  // Before the log exists nothing records these folders.
  void TakeBackCreatedFolders() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) sys_.RemoveDir(*it);
    created_.clear();
  }

  // The folders the shortcuts go to, asked for before anything is written:
  // without a real path the shortcuts would land at the drive's root.
  bool ShortcutFolders() {
    if (choices_.desktop && !pkg_.desktop.empty()) {
      desktop_folder_ =
          SpecialFolderPath(sys_, choices_.all_users ? kFolderDesktopAll : kFolderDesktopUser);
      if (desktop_folder_.empty()) return NoFolder("da área de trabalho");
    }
    if (choices_.start_menu && !pkg_.start_menu.empty()) {
      std::string programs =
          SpecialFolderPath(sys_, choices_.all_users ? kFolderProgramsAll : kFolderProgramsUser);
      if (programs.empty()) return NoFolder("do menu Iniciar");
      start_menu_folder_ = programs + "\\" + pkg_.product_name;
      for (int id : kProtectedMenuFolders) {
        std::string special = SpecialFolderPath(sys_, id);
        if (!special.empty() && SamePath(start_menu_folder_, special)) {
          error_ = "O nome do produto \"" + pkg_.product_name +
                   "\" é o de uma pasta do sistema no menu Iniciar.";
          return false;
        }
      }
    }
    return true;
  }
  bool NoFolder(const std::string& which) {
    error_ = "O sistema não informou a pasta " + which + " para os atalhos.";
    return false;
  }

  // A reinstall over an earlier installation keeps that installation's
  // lines, so that the uninstaller still removes what either one created.
  void ReadEarlierLog() {
    std::optional<std::string> old = sys_.ReadFile(LogPath());
    if (!old) return;
    for (const std::string& line : SplitLogLines(*old)) {
      if (line.empty() || ParseLogLine(line).kind == LogLine::kComment ||
          !carried_set_.insert(line).second)
        continue;
      carried_.push_back(line);
    }
  }

  // The log begins with what exists already or is never made by a step of
  // its own: the install directory, the earlier installation's lines and
  // the package's registry keys.
  bool StartLog() {
    utf8_log_ = !FitsCp1252(dir_) || !FitsCp1252(desktop_folder_) ||
                !FitsCp1252(start_menu_folder_) ||
                std::any_of(carried_.begin(), carried_.end(),
                            [](const std::string& l) { return !FitsCp1252(l); });
    std::string path = LogPath();
    if (FileExists(sys_, path)) sys_.EraseFile(path);
    log_ = sys_.CreateOutput(path);
    if (!log_) {
      Fail("Não foi possível criar o arquivo", path);
      TakeBackCreatedFolders();
      return false;
    }
    if (utf8_log_ && !log_->Write(kUtf8Mark)) return Fail("Não foi possível gravar", path);
    if (!Write(kLogHeader)) return false;
    for (const std::string& line : carried_)
      if (!Write(line)) return false;
    if (!created_.empty() && !Log(DirLine(dir_))) return false;
    for (const std::string& k : pkg_.registry_keys)
      if (!Log(RegLine(k))) return false;
    return true;
  }

  bool WriteUninstaller(const std::string& image) {
    std::string path = UninstallerPath();
    if (FileExists(sys_, path)) sys_.EraseFile(path);
    std::unique_ptr<OutputFile> f = sys_.CreateOutput(path);
    const std::string trailer = pkg::UninstallerTrailer(pkg_.product_name_bytes);
    if (!f || !f->Write(image) || !f->Write(trailer))
      return Fail("Não foi possível gravar o arquivo", path);
    f->Close();
    installed_bytes_ += image.size() + trailer.size();
    return true;
  }

  // Directory records.
  bool Directory(int index, const std::string& name) override {
    progress_.SetPosition(index);
    dir_names_.push_back(name);
    if (name == pkg::kRootDirectory) return true;
    std::string path = dir_ + name;
    // An existing folder is neither made nor recorded.
    if (sys_.IsDirectory(path)) return true;
    if (!Log(DirLine(path))) return false;
    if (!sys_.CreateDir(path)) return Fail("Não foi possível criar o diretório", path);
    return true;
  }

  bool FileBegin(int index, int dir_index, const std::string& name, int chunk_field) override {
    if (!files_started_) {
      files_started_ = true;
      progress_.SetRange(file_total_);
    }
    file_index_ = index;
    single_chunk_ = chunk_field == 0;
    file_name_ = name;
    chunks_done_ = 0;
    if (dir_index < 1 || dir_index > static_cast<int>(dir_names_.size())) {
      error_ = "Pacote inválido: diretório inexistente para " + TrimRight(name);
      return false;
    }
    const std::string& d = dir_names_[dir_index - 1];
    target_ = d == pkg::kRootDirectory ? dir_ + "\\" + name : dir_ + d + "\\" + name;
    if (!Log(target_)) return false;
    if (FileExists(sys_, target_)) sys_.EraseFile(target_);
    target_file_ = sys_.CreateOutput(target_);
    if (!target_file_) return Fail("Não foi possível criar o arquivo", target_);
    return true;
  }

  // One log line per chunk: the first was written with the file.
  bool Chunk(std::string& bytes) override {
    progress_.SetStatus("Copiando arquivo " + file_name_ + " (" + std::to_string(bytes.size()) + ")");
    if (!decoder_.Decode(bytes, &error_)) return false;
    if (chunks_done_++ > 0 && !Log(target_)) return false;
    if (!target_file_->Write(bytes)) return Fail("Não foi possível gravar o arquivo", target_);
    installed_bytes_ += bytes.size();
    return true;
  }

  bool FileEnd() override {
    target_file_->Close();
    target_file_.reset();
    if (single_chunk_) {
      progress_.SetPosition(file_index_ + 1);
      progress_.PumpEvents();
    }
    return true;
  }

  std::string ShortcutPath(const std::string& folder, const PackageShortcut& s) {
    return folder + "\\" + TrimRight(s.name) + ".lnk";
  }

  bool MakeShortcut(const std::string& lnk, const std::string& target) {
    ShortcutInfo shortcut{lnk, target, target + ",0", 1};
    if (!sys_.CreateShortcut(shortcut)) return Fail("Não foi possível criar o atalho", lnk);
    return true;
  }

  bool DesktopShortcuts() {
    for (const PackageShortcut& s : pkg_.desktop) {
      std::string lnk = ShortcutPath(desktop_folder_, s);
      if (!Log(lnk)) return false;
      if (FileExists(sys_, lnk)) sys_.EraseFile(lnk);
      if (!MakeShortcut(lnk, dir_ + s.target)) return false;
    }
    return true;
  }

  bool StartMenuShortcuts() {
    // A previous install's folder goes with its shortcuts, so no stale
    // entry survives a reinstall.
    if (sys_.IsDirectory(start_menu_folder_) || sys_.IsLink(start_menu_folder_))
      RemoveDirectoryTree(sys_, start_menu_folder_, true);
    if (!Log(DirLine(start_menu_folder_))) return false;
    if (!sys_.CreateDir(start_menu_folder_))
      return Fail("Não foi possível criar o diretório", start_menu_folder_);
    if (!MakeShortcut(start_menu_folder_ + "\\" + kUninstallShortcutName, UninstallerPath()))
      return false;
    for (const PackageShortcut& s : pkg_.start_menu) {
      std::string lnk = ShortcutPath(start_menu_folder_, s);
      if (!Log(lnk)) return false;
      if (!MakeShortcut(lnk, dir_ + s.target)) return false;
    }
    return true;
  }

  void RegisterUninstallEntry() {
    const std::string key = kUninstallKeyPrefix + pkg_.product_name;
    const std::string uninstaller = UninstallerPath();
    const RegRoot hklm = RegRoot::kLocalMachine;
    // The registry keys the uninstaller may delete, kept where only
    // administrators write (the log lies in the install folder): this
    // package's and those an earlier installation here recorded.
    std::vector<std::string> keys;
    if (SamePath(InstalledDirectory(sys_, pkg_.product_name), dir_))
      keys = sys_.RegGetStrings(hklm, key, kRecordedKeysValue).value_or(keys);
    for (const std::string& k : pkg_.registry_keys)
      if (std::none_of(keys.begin(), keys.end(),
                       [&](const std::string& r) { return SameNameIgnoringCase(r, k); }))
        keys.push_back(k);
    sys_.RegMakeKey(hklm, key);
    // The folder first: the uninstaller acts on an entry only when it names
    // its own folder (or, cut short, none).
    sys_.RegSetString(hklm, key, "InstallLocation", dir_);
    sys_.RegSetString(hklm, key, "DisplayIcon", uninstaller);
    sys_.RegSetString(hklm, key, "DisplayName", pkg_.product_name);
    // Quoted, so that a path with spaces cannot be read as another program.
    sys_.RegSetString(hklm, key, "UninstallString", "\"" + uninstaller + "\"");
    sys_.RegSetString(hklm, key, "QuietUninstallString", "\"" + uninstaller + "\" /S");
    sys_.RegSetStrings(hklm, key, kRecordedKeysValue, keys);
    sys_.RegSetDword(hklm, key, "EstimatedSize",
                     static_cast<uint32_t>((installed_bytes_ + 1023) / 1024));
    sys_.RegSetDword(hklm, key, "NoModify", 1);
    sys_.RegSetDword(hklm, key, "NoRepair", 1);
    // Version and publisher come from the program the first shortcut starts.
    const PackageShortcut* first = !pkg_.desktop.empty()      ? &pkg_.desktop[0]
                                   : !pkg_.start_menu.empty() ? &pkg_.start_menu[0]
                                                              : nullptr;
    if (!first) return;
    std::string program = dir_ + first->target;
    if (auto strings = sys_.FileVersionStrings(program)) {
      std::string version = !strings->product_version.empty() ? strings->product_version
                                                               : strings->file_version;
      if (!version.empty()) sys_.RegSetString(hklm, key, "DisplayVersion", version);
      if (!strings->company.empty()) sys_.RegSetString(hklm, key, "Publisher", strings->company);
    } else if (auto report = QueryFileVersion(sys_, program)) {
      sys_.RegSetString(hklm, key, "DisplayVersion", report->file_version);
    }
  }

  // A file without version information is reported, and then counts as
  // having none: it never makes an older copy look newer.
  std::optional<VersionReport> Version(const std::string& path) {
    std::optional<VersionReport> v = FileExists(sys_, path) ? QueryFileVersion(sys_, path) : std::nullopt;
    if (!v && !choices_.quiet) sys_.ShowMessage(kNoVersionText, "", kBoxOk);
    return v;
  }

  void RegisterComponents() {
    const std::string system_dir = sys_.SystemDirectory();
    if (system_dir.empty()) return;
    for (const std::string& c : pkg_.components) {
      std::string system_copy = system_dir + c;
      std::optional<VersionReport> system;
      if (FileExists(sys_, system_copy)) system = Version(system_copy);
      std::optional<VersionReport> installed = Version(dir_ + c);
      if (!installed) continue;
      bool newer = !system || CompareVersions(installed->file_parts, system->file_parts) > 0;
      if (newer)
        sys_.StartProcess("\"" + system_dir + "\\regsvr32.exe\" /s \"" + dir_ + c + "\"", true);
    }
  }

  InstallPlatform& sys_;
  PackageSource& source_;
  ChunkDecoder& decoder_;
  const InstallPackage& pkg_;
  const InstallChoices& choices_;
  InstallProgress& progress_;

  std::string dir_, error_;
  std::vector<std::string> created_;  // prefixes of the install directory made here
  std::unique_ptr<OutputFile> log_;
  bool utf8_log_ = false;
  std::vector<std::string> dir_names_;
  int file_total_ = 0, file_index_ = 0, chunks_done_ = 0;
  bool files_started_ = false, single_chunk_ = false;
  std::string file_name_, target_;
  std::unique_ptr<OutputFile> target_file_;
  std::string desktop_folder_, start_menu_folder_;
  std::vector<std::string> carried_;  // lines of an earlier installation's log
  std::set<std::string> carried_set_;
  uint64_t installed_bytes_ = 0;
};

}  // namespace

std::string DefaultInstallDirectory(InstallPlatform& sys, const std::string& header_directory,
                                    const std::string& folder_name) {
  if (header_directory != pkg::kDefaultDirectoryMarker) return header_directory;
  std::string program_files = SpecialFolderPath(sys, kFolderProgramFiles);
  return program_files.empty() ? std::string() : program_files + "\\" + folder_name;
}

std::string ProposedInstallDirectory(InstallPlatform& sys, const std::string& product,
                                     const std::string& header_directory,
                                     const std::string& folder_name) {
  std::string installed = InstalledDirectory(sys, product);
  return installed.empty() ? DefaultInstallDirectory(sys, header_directory, folder_name) : installed;
}

InstallOutcome Instalar(InstallPlatform& sys, PackageSource& source, ChunkDecoder& decoder,
                        const InstallPackage& package, const InstallChoices& choices,
                        InstallProgress& progress) {
  return Installer(sys, source, decoder, package, choices, progress).Run();
}

}  // namespace kova
