#include "Desinstalar/uninstall_procedure.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "Instalador/package/package_layout.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/install_procedure.h"
#include "Instalador/setup/uninstall_log.h"
#include "common/cp1252.h"

namespace kova {

namespace {

std::optional<RegRoot> RootFromText(std::string_view text) {
  if (text == "HKCR") return RegRoot::kClassesRoot;
  if (text == "HKCU") return RegRoot::kCurrentUser;
  if (text == "HKLM") return RegRoot::kLocalMachine;
  if (text == "HKU") return RegRoot::kUsers;
  return std::nullopt;
}

}  // namespace

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
  if (!name) return result;
  result.kind = ProductName::kFound;
  result.name = Cp1252ToUtf8(*name);
  return result;
}

std::string BatchPath(InstallPlatform& sys) {
  std::string windows = sys.WindowsDirectory();
  return windows.empty() ? std::string() : windows + "\\pelin_uni.bat";
}

namespace {

// A path's names joined, as Windows compares them: a set key.
std::string PathKey(const std::string& path) {
  std::string key;
  for (const std::string& name : PathNames(path).value_or(std::vector<std::string>{}))
    key += name + "\\";
  return key;
}

size_t Depth(const std::string& path) { return PathNames(path).value_or(std::vector<std::string>{}).size(); }

// The removal itself, with the folders the log may name.
class Remover {
 public:
  Remover(InstallPlatform& sys, const std::string& folder, UninstallReport& report)
      : sys_(sys), folder_(folder), report_(report) {
    for (int id : {kFolderDesktopUser, kFolderProgramsUser, kFolderProgramsAll, kFolderDesktopAll}) {
      std::string root = SpecialFolderPath(sys, id);
      if (!root.empty()) shortcut_roots_.push_back(root);
    }
  }

  void Line(const std::string& line, const LogLine& parsed, UninstallProgress& progress) {
    if (parsed.kind == LogLine::kDirectory) {
      std::string dir = InstallDirectoryFromText(parsed.value);
      if (!Allowed(dir, true)) return Skip(line);
      if (dir_keys_.insert(PathKey(dir)).second) dirs_.push_back(dir);
      return;
    }
    std::string file = TrimRight(line);
    if (!Allowed(file, false)) return Skip(line);
    if (!FileExists(sys_, file)) return;
    progress.SetStatus("Excluindo arquivo: " + line);
    if (!sys_.EraseFile(file)) Pending(file);  // in use: the batch tries again
  }

  // After the last line: what is left for the batch, and which folders stay.
  void Finish() {
    Pending(folder_ + "\\" + pkg::kUninstallerFileName);
    Pending(folder_ + "\\" + pkg::kUninstallLogFileName);
    for (const std::string& dir : dirs_) {
      if (PathInside(dir, folder_, true)) continue;
      // The start-menu folder's uninstall shortcut is not logged.
      std::string lnk = dir + "\\" + kUninstallShortcutName;
      if (!sys_.IsLink(dir) && FileExists(sys_, lnk) && !sys_.EraseFile(lnk)) Pending(lnk);
    }
    std::stable_sort(dirs_.begin(), dirs_.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    std::set<std::string> removable;
    for (const std::string& dir : dirs_) {
      bool link = sys_.IsLink(dir);
      if (!link && !sys_.IsDirectory(dir)) continue;  // already gone
      if (!link && !OnlyOurs(dir, removable)) {
        report_.kept.push_back(dir);
        continue;
      }
      removable.insert(PathKey(dir));
      remove_.push_back(dir);
    }
  }

  const std::vector<std::string>& PendingFiles() const { return pending_; }
  const std::vector<std::string>& Folders() const { return remove_; }

 private:
  void Skip(const std::string& line) { report_.skipped.push_back(line); }
  void Pending(const std::string& file) {
    if (FileExists(sys_, file) && pending_keys_.insert(PathKey(file)).second) pending_.push_back(file);
  }

  // Inside the install folder (a DIR= line may name the folder itself) or
  // below a shortcut folder, and not reached through a junction or link.
  bool Allowed(const std::string& path, bool dir) {
    const std::string* root = nullptr;
    if (PathInside(path, folder_, dir)) root = &folder_;
    for (const std::string& r : shortcut_roots_)
      if (!root && PathInside(path, r, false)) root = &r;
    if (!root) return false;
    for (std::string up = ParentFolder(path); PathInside(up, *root, false); up = ParentFolder(up))
      if (sys_.IsLink(up)) return false;
    return true;
  }

  // Nothing in the folder but folders about to go and files the batch
  // deletes.
  bool OnlyOurs(const std::string& dir, const std::set<std::string>& removable) {
    auto entries = sys_.ListDir(dir);
    if (!entries) return false;
    for (const DirEntry& e : *entries) {
      std::string full = dir + "\\" + e.name;
      bool ours = e.is_dir ? removable.count(PathKey(full)) > 0
                           : pending_keys_.count(PathKey(full)) > 0;
      if (!ours) return false;
    }
    return true;
  }

  InstallPlatform& sys_;
  std::string folder_;
  UninstallReport& report_;
  std::vector<std::string> shortcut_roots_;
  std::vector<std::string> dirs_, pending_, remove_;
  std::set<std::string> dir_keys_, pending_keys_;
};

}  // namespace

bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress, const std::string& folder,
                 const std::optional<std::string>& product, UninstallReport* report, bool quiet) {
  UninstallReport local;
  UninstallReport& rep = report ? *report : local;
  rep = UninstallReport{};
  if (!WaitForProgramClosed(sys, product && !product->empty() ? *product : "programa", quiet)) {
    rep.program_running = true;
    return false;
  }
  std::optional<std::string> log = sys.ReadFile(folder + "\\" + pkg::kUninstallLogFileName);
  if (!log) return false;
  std::vector<std::string> lines = SplitLogLines(*log);
  progress.SetRange(static_cast<int>(lines.size()));

  std::string batch_path = BatchPath(sys);
  std::string system = sys.SystemDirectory();
  if (batch_path.empty() || system.empty()) return false;
  std::unique_ptr<OutputFile> batch = sys.CreateOutput(batch_path);
  if (!batch) return false;
  // Without the product name the key is unknown; deleting under an empty
  // name would remove every program's entry.
  if (product && !product->empty())
    sys.RegRemoveTree(RegRoot::kLocalMachine, kUninstallKeyPrefix + *product);

  Remover remover(sys, folder, rep);
  int k = 0;
  for (const std::string& line : lines) {
    progress.SetPosition(++k);
    const LogLine parsed = ParseLogLine(line);
    if (parsed.kind == LogLine::kComment) continue;
    if (parsed.kind == LogLine::kRegistry) {
      const std::string& rest = parsed.value;
      size_t slash = rest.find('\\');
      // Without a subkey there is nothing of the product's to delete: an
      // empty subkey would take the whole root with it.
      if (slash == std::string::npos || slash + 1 >= rest.size()) continue;
      std::optional<RegRoot> root = RootFromText(rest.substr(0, slash));
      if (root) sys.RegRemoveTree(*root, rest.substr(slash + 1));
    } else {
      remover.Line(line, parsed, progress);
    }
  }
  remover.Finish();

  // The batch holds no path: they reach it as environment variables of
  // the uninstaller, which the interpreter inherits. So the file is plain
  // ASCII, whatever code page the interpreter reads it in, and no name can
  // turn into a command.
  std::string text = ":Repeat\r\n", checks;
  int n = 0;
  for (const std::string& file : remover.PendingFiles()) {
    std::string var = "KOVA_UNI_F" + std::to_string(++n);
    sys.SetEnv(var, file);
    text += "del /f /q \"%" + var + "%\" 2>nul\r\n";
    checks += "if exist \"%" + var + "%\" goto Wait\r\n";
  }
  n = 0;
  for (const std::string& dir : remover.Folders()) {
    std::string var = "KOVA_UNI_D" + std::to_string(++n);
    sys.SetEnv(var, dir);
    text += "rmdir \"%" + var + "%\" 2>nul\r\n";
    checks += "if exist \"%" + var + "%\" goto Wait\r\n";
  }
  // Something still in use (the uninstaller itself until it has ended, or
  // the program): try again about once a second, for about a minute.
  text += checks + "goto End\r\n:Wait\r\nset /a KOVA_UNI_N+=1\r\nif %KOVA_UNI_N% GEQ " +
          std::to_string(kBatchTries) + " goto End\r\n\"%KOVA_UNI_PING%\" -n 2 127.0.0.1 >nul\r\n" +
          "goto Repeat\r\n:End\r\ndel \"%KOVA_UNI_BAT%\"\r\n";
  sys.SetEnv("KOVA_UNI_N", "0");
  sys.SetEnv("KOVA_UNI_PING", system + "\\ping.exe");
  sys.SetEnv("KOVA_UNI_BAT", batch_path);
  bool ok = batch->Write(text);
  batch->Close();
  return ok;
}

bool StartBatch(InstallPlatform& sys) {
  std::string system = sys.SystemDirectory(), batch = BatchPath(sys);
  if (system.empty() || batch.empty()) return false;
  // The interpreter by its full path; /d skips the user's AutoRun commands
  // and /v:off keeps "!" in names literal.
  return sys.StartProcess("\"" + system + "\\cmd.exe\" /d /v:off /c \"" + batch + "\"", true);
}

}  // namespace kova
