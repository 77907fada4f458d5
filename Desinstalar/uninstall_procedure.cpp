#include "Desinstalar/uninstall_procedure.h"

#include <algorithm>
#include <vector>

#include "Instalador/package/name_compare.h"
#include "Instalador/package/package_layout.h"
#include "Instalador/package/package_rules.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"
#include "common/cp1252.h"

namespace kova {

ProductName ReadProductName(InstallPlatform& sys, const std::string& folder) {
  ProductName result;
  std::string own = folder + "\\" + pkg::kUninstallerFileName;
  std::optional<uint64_t> size = sys.FileSize(own);
  if (!size) return result;
  if (*size == static_cast<uint64_t>(pkg::kUninstallerImageSize)) {
    result.kind = ProductName::kNoTrailer;
    return result;
  }
  std::optional<std::string> bytes = sys.ReadFile(own);
  std::optional<std::string_view> name = bytes ? pkg::TrailerName(*bytes) : std::nullopt;
  // The name picks registry keys and a start-menu folder to delete: it must
  // be one the package writer would have taken.
  if (!name || !pkg::CheckProductName(*name).empty()) return result;
  result.kind = ProductName::kFound;
  result.name = Cp1252ToUtf8(*name);
  return result;
}

std::string BatchPath(InstallPlatform& sys) {
  std::string windows = sys.WindowsDirectory();
  return windows.empty() ? std::string()
                         : windows + "\\pelin_uni_" + std::to_string(sys.ProcessId()) + ".bat";
}

namespace {

size_t Depth(const std::string& path) {
  return PathNames(path).value_or(std::vector<std::string>{}).size();
}

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& p) { return SamePath(p, path); });
}

bool IsShortcut(const std::string& path) {
  return path.size() > 4 && SameNameIgnoringCase(path.substr(path.size() - 4), ".lnk");
}

// The removal itself, with the folders the log may name.
class Remover {
 public:
  Remover(InstallPlatform& sys, const std::string& folder, const std::optional<std::string>& product,
          UninstallProgress& progress, UninstallReport& report)
      : sys_(sys), folder_(folder), progress_(progress), report_(report) {
    for (int id : {kFolderDesktopUser, kFolderDesktopAll}) {
      std::string root = SpecialFolderPath(sys, id);
      if (!root.empty()) desktops_.push_back(root);
    }
    // Without the product's name its start-menu folder is unknown.
    for (int id : {kFolderProgramsUser, kFolderProgramsAll}) {
      std::string root = SpecialFolderPath(sys, id);
      if (!root.empty() && product && !product->empty()) menus_.push_back(root + "\\" + *product);
    }
  }

  void Directory(const std::string& line, const std::string& path) {
    std::string dir = InstallDirectoryFromText(path);
    if (!RootOf(dir, true)) return Skip(line);
    if (!Contains(dirs_, dir)) dirs_.push_back(dir);
  }

  void File(const std::string& line) {
    std::string file = TrimRight(line);
    std::optional<std::string> root = RootOf(file, false);
    if (!root) return Skip(line);
    if (!FileExists(sys_, file)) return;
    progress_.SetStatus("Excluindo arquivo: " + line);
    Erase(file, *root, line);
  }

  // After the last line: the files the installer does not log, what is
  // left for the batch, and which folders stay.
  void Finish() {
    Erase(folder_ + "\\" + pkg::kUninstallLogFileName, folder_, {});
    std::string own = folder_ + "\\" + pkg::kUninstallerFileName;
    if (FileExists(sys_, own)) pending_.push_back(own);
    for (const std::string& dir : dirs_) {
      if (PathInside(dir, folder_, true) || sys_.IsLink(dir)) continue;
      // The start-menu folder's uninstall shortcut is not logged.
      std::string lnk = dir + "\\" + kUninstallShortcutName;
      if (FileExists(sys_, lnk)) Erase(lnk, dir, {});
    }
    std::stable_sort(dirs_.begin(), dirs_.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    for (const std::string& dir : dirs_) {
      bool link = sys_.IsLink(dir);
      if (!link && !sys_.IsDirectory(dir)) continue;  // already gone, or never made
      if (!link && !OnlyOurs(dir)) {
        report_.kept.push_back(dir);
        continue;
      }
      remove_.push_back(dir);
    }
  }

  const std::vector<std::string>& PendingFiles() const { return pending_; }
  const std::vector<std::string>& Folders() const { return remove_; }

 private:
  void Skip(const std::string& line) { report_.skipped.push_back(line); }

  // Through a handle; a file in use gets a few seconds to be let go.
  void Erase(const std::string& file, const std::string& root, const std::string& line) {
    EraseResult r = sys_.EraseFileWithin(file, root);
    for (int tries = 1; r == EraseResult::kInUse && tries < kInUseTries; ++tries) {
      progress_.PumpEvents();
      sys_.Pause(kInUsePauseMs);
      r = sys_.EraseFileWithin(file, root);
    }
    if (r == EraseResult::kOutside && !line.empty()) Skip(line);
    else if (r == EraseResult::kInUse || r == EraseResult::kFailed) report_.kept_files.push_back(file);
  }

  // The folder a line may act in: inside the install folder (a DIR= line
  // may name the folder itself), a shortcut directly on a desktop or below
  // the product's start-menu folder, or that folder itself; never reached
  // through a junction or link.
  std::optional<std::string> RootOf(const std::string& path, bool dir) {
    std::optional<std::string> root;
    if (PathInside(path, folder_, dir)) root = folder_;
    for (const std::string& menu : menus_)
      if (!root && (dir ? SamePath(path, menu) : IsShortcut(path) && PathInside(path, menu, false)))
        root = menu;
    for (const std::string& desktop : desktops_)
      if (!root && !dir && IsShortcut(path) && SamePath(ParentFolder(path), desktop)) root = desktop;
    if (!root) return std::nullopt;
    for (std::string up = ParentFolder(path); PathInside(up, *root, false); up = ParentFolder(up))
      if (sys_.IsLink(up)) return std::nullopt;
    return root;
  }

  // Nothing in the folder but folders about to go and the files the batch
  // deletes.
  bool OnlyOurs(const std::string& dir) {
    auto entries = sys_.ListDir(dir);
    if (!entries) return false;
    for (const DirEntry& e : *entries) {
      std::string full = dir + "\\" + e.name;
      if (!Contains(e.is_dir ? remove_ : pending_, full)) return false;
    }
    return true;
  }

  InstallPlatform& sys_;
  std::string folder_;
  UninstallProgress& progress_;
  UninstallReport& report_;
  std::vector<std::string> desktops_, menus_;
  std::vector<std::string> dirs_, pending_, remove_;
};

// The product's own registry keys the installer recorded, read from its
// Uninstall entry when that entry is this installation's; the entry is
// then deleted, first of all. An entry naming another folder belongs to
// another installation and stays; one naming none was cut short by an
// install that never finished, and goes.
std::vector<std::string> TakeUninstallEntry(InstallPlatform& sys, const std::string& folder,
                                            const std::optional<std::string>& product) {
  // Without the product name the key is unknown; deleting under an empty
  // name would remove every program's entry.
  if (!product || product->empty()) return {};
  const std::string installed = InstalledDirectory(sys, *product);
  if (!installed.empty() && !SamePath(installed, folder)) return {};
  const std::string key = kUninstallKeyPrefix + *product;
  std::vector<std::string> recorded;
  if (!installed.empty())
    recorded = sys.RegGetStrings(RegRoot::kLocalMachine, key, kRecordedKeysValue).value_or(recorded);
  sys.RegRemoveTree(RegRoot::kLocalMachine, key);
  return recorded;
}

// A REG= line: deleted only when the rule allows it and the entry records it.
bool RemoveKey(InstallPlatform& sys, const std::string& key, const std::string& product,
               const std::vector<std::string>& recorded) {
  if (!pkg::CheckRegistryKey(key, product).empty() ||
      std::none_of(recorded.begin(), recorded.end(),
                   [&](const std::string& r) { return SameNameIgnoringCase(r, key); }))
    return false;
  const size_t slash = key.find('\\');
  const RegRoot root = key.substr(0, slash) == "HKLM" ? RegRoot::kLocalMachine : RegRoot::kCurrentUser;
  sys.RegRemoveTree(root, key.substr(slash + 1));
  return true;
}

std::vector<std::string> ProgramsOf(const std::vector<std::string>& lines, const std::string& folder) {
  std::vector<std::string> programs;
  for (const std::string& line : lines) {
    const LogLine parsed = ParseLogLine(line);
    std::string file = TrimRight(parsed.value);
    if (parsed.kind == LogLine::kFile && file.size() > 4 &&
        SameNameIgnoringCase(file.substr(file.size() - 4), ".exe") && PathInside(file, folder, false))
      programs.push_back(file);
  }
  return programs;
}

}  // namespace

bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress, const std::string& folder,
                 const std::optional<std::string>& product, UninstallReport* report, bool quiet) {
  UninstallReport local;
  UninstallReport& rep = report ? *report : local;
  rep = UninstallReport{};
  std::optional<std::string> log = sys.ReadFile(folder + "\\" + pkg::kUninstallLogFileName);
  std::vector<std::string> lines = log ? SplitLogLines(*log) : std::vector<std::string>{};
  if (!WaitForProgramClosed(sys, product && !product->empty() ? *product : "programa",
                            ProgramsOf(lines, folder), quiet)) {
    rep.refused = SetupRefusal::kProgramRunning;
    return false;
  }
  if (!log) return false;
  // Its cleanup would take what a reinstall since then put in place.
  if (!WaitForCleanup(sys, progress)) {
    rep.refused = SetupRefusal::kCleanupRunning;
    return false;
  }
  progress.SetRange(static_cast<int>(lines.size()));

  std::string batch_path = BatchPath(sys);
  std::string system = sys.SystemDirectory();
  if (batch_path.empty() || system.empty()) return false;
  std::unique_ptr<OutputFile> batch = sys.CreateOutput(batch_path);
  if (!batch) return false;
  const std::vector<std::string> recorded = TakeUninstallEntry(sys, folder, product);

  Remover remover(sys, folder, product, progress, rep);
  int k = 0;
  for (const std::string& line : lines) {
    progress.SetPosition(++k);
    const LogLine parsed = ParseLogLine(line);
    switch (parsed.kind) {
      case LogLine::kComment: break;
      case LogLine::kDirectory: remover.Directory(line, parsed.value); break;
      case LogLine::kFile: remover.File(line); break;
      case LogLine::kRegistry:
        if (!RemoveKey(sys, parsed.value, product.value_or(""), recorded)) rep.skipped.push_back(line);
        break;
    }
  }
  remover.Finish();

  // The batch holds no path: they reach it as environment variables of
  // the uninstaller, which the interpreter inherits. So the file is plain
  // ASCII, whatever code page the interpreter reads it in, and no name can
  // turn into a command. It deletes no file but the uninstaller's own, and
  // that only while it is no folder (a junction put in its place); folders
  // go with rmdir, which removes only empty ones and never follows a link.
  std::string text = ":Repeat\r\n", checks;
  int n = 0;
  for (const std::string& file : remover.PendingFiles()) {
    std::string var = "%KOVA_UNI_F" + std::to_string(++n) + "%";
    sys.SetEnv(var.substr(1, var.size() - 2), file);
    text += "if not exist \"" + var + "\\*\" del /f /q \"" + var + "\" 2>nul\r\n";
    checks += "if exist \"" + var + "\" goto Wait\r\n";
  }
  n = 0;
  for (const std::string& dir : remover.Folders()) {
    std::string var = "%KOVA_UNI_D" + std::to_string(++n) + "%";
    sys.SetEnv(var.substr(1, var.size() - 2), dir);
    text += "rmdir \"" + var + "\" 2>nul\r\n";
    checks += "if exist \"" + var + "\" goto Wait\r\n";
  }
  // Something still in use (the uninstaller itself until it has ended):
  // try again about once a second, for about a minute.
  text += checks + "goto End\r\n:Wait\r\nset /a KOVA_UNI_N+=1\r\nif %KOVA_UNI_N% GEQ " +
          std::to_string(kBatchTries) + " goto End\r\n\"%KOVA_UNI_PING%\" -n 2 127.0.0.1 >nul\r\n" +
          "goto Repeat\r\n:End\r\ndel \"%KOVA_UNI_BAT%\"\r\n";
  sys.SetEnv("KOVA_UNI_N", "0");
  sys.SetEnv("KOVA_UNI_PING", system + "\\ping.exe");
  sys.SetEnv("KOVA_UNI_BAT", batch_path);
  bool ok = batch->Write(text) && batch->Flush();
  batch->Close();
  return ok;
}

bool StartBatch(InstallPlatform& sys) {
  std::string system = sys.SystemDirectory(), batch = BatchPath(sys);
  if (system.empty() || batch.empty()) return false;
  // The interpreter by its full path; /d skips the user's AutoRun commands
  // and /v:off keeps "!" in names literal.
  return sys.StartCleanup("\"" + system + "\\cmd.exe\" /d /v:off /c \"" + batch + "\"");
}

}  // namespace kova
