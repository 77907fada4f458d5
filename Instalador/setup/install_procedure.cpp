#include "Instalador/setup/install_procedure.h"

#include <memory>
#include <set>

#include "Instalador/package/package_layout.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_log.h"

namespace kova {

namespace {

// Folders the start-menu folder must never be: the product folder is
// removed with its contents on a reinstall.
constexpr int kProtectedMenuFolders[] = {kFolderProgramsUser, kFolderProgramsAll, 7 /* Startup */,
                                         24 /* common Startup */, 47, 48 /* Administrative Tools */};

// One run of the install; members keep what the log must still receive
// when a step fails.
class Installer : private FileSectionVisitor {
 public:
  Installer(InstallPlatform& sys, PackageSource& source, ChunkDecoder& decoder,
            const InstallPackage& package, const InstallChoices& choices, InstallProgress& progress)
      : sys_(sys), source_(source), decoder_(decoder), pkg_(package), choices_(choices),
        progress_(progress) {}

  InstallOutcome Run() {
    InstallOutcome out;
    // Nothing is touched while the program runs: its files are in use.
    if (!WaitForProgramClosed(sys_, pkg_.product_name, choices_.quiet)) {
      out.program_running = true;
      out.error = "O " + pkg_.product_name + " está aberto.";
      return out;
    }
    out.ok = Steps();
    if (!out.ok) WriteLogTail();
    if (log_) log_->Close();
    out.directory = dir_;
    out.error = error_;
    return out;
  }

 private:
  bool Fail(const std::string& what, const std::string& path) {
    std::string reason = sys_.LastError();
    error_ = what + " " + path + (reason.empty() ? "" : "\r\n" + reason);
    return false;
  }

  bool Log(const std::string& line) {
    // Lines an earlier installation already recorded are not repeated.
    if (carried_set_.count(line)) return true;
    return Write(line);
  }
  bool Write(const std::string& line) {
    if (!log_ || !log_->Write(LogBytes(line))) return Fail("Não foi possível gravar", LogPath());
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

    dir_ = InstallDirectoryFromText(choices_.directory);
    if (!LooksAbsolute(dir_)) {
      error_ = kFatalText;
      return false;
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
    return WriteLogTail();
  }

  // Creates the install directory one level at a time.
  bool CreateInstallDirectory() {
    std::string with_slash = dir_ + "\\";
    for (size_t pos = with_slash.find('\\'); pos != std::string::npos;
         pos = with_slash.find('\\', pos + 1)) {
      std::string prefix = with_slash.substr(0, pos + 1);
      if (DirectoryExists(sys_, prefix)) continue;
      if (!sys_.CreateDir(prefix)) return Fail("Não foi possível criar o diretório", prefix);
      created_.push_back(prefix);
    }
    return true;
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
        if (!special.empty() && PathInside(start_menu_folder_, special, true) &&
            PathInside(special, start_menu_folder_, true)) {
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

  bool StartLog() {
    std::string path = LogPath();
    if (FileExists(sys_, path)) sys_.EraseFile(path);
    log_ = sys_.CreateOutput(path);
    if (!log_) {
      Fail("Não foi possível criar o arquivo", path);
      // Nothing can be recorded, so take back the directories made for it.
      for (auto it = created_.rbegin(); it != created_.rend(); ++it) sys_.RemoveDir(*it);
      created_.clear();
      return false;
    }
    if (!Write(kLogHeader)) return false;
    for (const std::string& line : carried_)
      if (!Write(line)) return false;
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
    if (name == "\\") return true;
    std::string path = dir_ + name;
    if (DirectoryExists(sys_, path)) return true;
    if (!sys_.CreateDir(path)) return Fail("Não foi possível criar o diretório", path);
    return Log(DirLine(path));
  }

  bool FileBegin(int index, int dir_index, const std::string& name, int chunk_field) override {
    if (!files_started_) {
      files_started_ = true;
      progress_.SetRange(file_total_);
    }
    file_index_ = index;
    single_chunk_ = chunk_field == 0;
    file_name_ = name;
    if (dir_index < 1 || dir_index > static_cast<int>(dir_names_.size())) {
      error_ = "Pacote inválido: diretório inexistente para " + TrimRight(name);
      return false;
    }
    const std::string& d = dir_names_[dir_index - 1];
    target_ = d == "\\" ? dir_ + "\\" + name : dir_ + d + "\\" + name;
    if (FileExists(sys_, target_)) sys_.EraseFile(target_);
    target_file_ = sys_.CreateOutput(target_);
    if (!target_file_) return Fail("Não foi possível criar o arquivo", target_);
    target_logged_ = false;
    return true;
  }

  bool Chunk(std::string& bytes) override {
    progress_.SetStatus("Copiando arquivo " + file_name_ + " (" + std::to_string(bytes.size()) + ")");
    if (!decoder_.Decode(bytes, &error_)) return false;
    if (!target_file_->Write(bytes)) return Fail("Não foi possível gravar o arquivo", target_);
    installed_bytes_ += bytes.size();
    target_logged_ = true;
    return Log(target_);
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
    const std::string& folder = desktop_folder_;
    for (const PackageShortcut& s : pkg_.desktop) {
      std::string lnk = ShortcutPath(folder, s);
      if (FileExists(sys_, lnk)) sys_.EraseFile(lnk);
      if (!MakeShortcut(lnk, dir_ + s.target)) return false;
      if (!Log(lnk)) return false;
    }
    return true;
  }

  bool StartMenuShortcuts() {
    // A previous install's folder goes with its shortcuts, so no stale
    // entry survives a reinstall.
    if (DirectoryExists(sys_, start_menu_folder_)) RemoveDirectoryTree(sys_, start_menu_folder_, true);
    if (!sys_.CreateDir(start_menu_folder_))
      return Fail("Não foi possível criar o diretório", start_menu_folder_);
    start_menu_made_ = true;
    if (!MakeShortcut(start_menu_folder_ + "\\" + kUninstallShortcutName, UninstallerPath()))
      return false;
    for (const PackageShortcut& s : pkg_.start_menu) {
      std::string lnk = ShortcutPath(start_menu_folder_, s);
      if (!MakeShortcut(lnk, dir_ + s.target)) return false;
      if (!Log(lnk)) return false;
    }
    return true;
  }

  void RegisterUninstallEntry() {
    const std::string key = kUninstallKeyPrefix + pkg_.product_name;
    const std::string uninstaller = UninstallerPath();
    const RegRoot hklm = RegRoot::kLocalMachine;
    sys_.RegMakeKey(hklm, key);
    sys_.RegSetString(hklm, key, "DisplayIcon", uninstaller);
    sys_.RegSetString(hklm, key, "DisplayName", pkg_.product_name);
    // Quoted, so that a path with spaces cannot be read as another program.
    sys_.RegSetString(hklm, key, "UninstallString", "\"" + uninstaller + "\"");
    sys_.RegSetString(hklm, key, "QuietUninstallString", "\"" + uninstaller + "\" /S");
    sys_.RegSetString(hklm, key, "InstallLocation", dir_);
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

  // The lines that close the log: a file still being written, the
  // start-menu folder, the install directory when this run created it, and
  // the package's registry keys. Written on failure too, so that the
  // uninstaller can take back everything this run put on disk.
  bool WriteLogTail() {
    if (!log_) return false;
    bool ok = true;
    if (target_file_) {
      target_file_->Close();
      target_file_.reset();
      if (!target_logged_) ok = Log(target_) && ok;
    }
    if (start_menu_made_) ok = Log(DirLine(start_menu_folder_)) && ok;
    if (!created_.empty()) ok = Log(DirLine(dir_)) && ok;
    for (const std::string& k : pkg_.registry_keys) ok = Log(RegLine(k)) && ok;
    return ok;
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
  std::vector<std::string> dir_names_;
  int file_total_ = 0, file_index_ = 0;
  bool files_started_ = false, single_chunk_ = false, target_logged_ = false;
  std::string file_name_, target_;
  std::unique_ptr<OutputFile> target_file_;
  std::string desktop_folder_, start_menu_folder_;
  bool start_menu_made_ = false;
  std::vector<std::string> carried_;  // lines of an earlier installation's log
  std::set<std::string> carried_set_;
  uint64_t installed_bytes_ = 0;
};

}  // namespace

std::string InstallDirectoryFromText(const std::string& text) {
  if (!text.empty() && text.back() == '\\') return text.substr(0, text.size() - 1);
  return text;
}

std::string DefaultInstallDirectory(InstallPlatform& sys, const std::string& header_directory,
                                    const std::string& folder_name) {
  if (header_directory != pkg::kDefaultDirectoryMarker) return header_directory;
  std::string program_files = SpecialFolderPath(sys, kFolderProgramFiles);
  return program_files.empty() ? std::string() : program_files + "\\" + folder_name;
}

std::string InstalledDirectory(InstallPlatform& sys, const std::string& product) {
  const std::string key = std::string(kUninstallKeyPrefix) + product;
  std::string dir = sys.RegGetString(RegRoot::kLocalMachine, key, "InstallLocation").value_or("");
  if (dir.empty()) {
    // Entries written before InstallLocation: the uninstaller's folder.
    std::string un = sys.RegGetString(RegRoot::kLocalMachine, key, "UninstallString").value_or("");
    if (un.size() > 1 && un.front() == '"') un = un.substr(1, un.find('"', 1) - 1);
    dir = ParentFolder(un);
  }
  dir = InstallDirectoryFromText(dir);
  return PathNames(dir) ? dir : std::string();
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
