// Everything the installer and the uninstaller ask of the system: files and
// directories, the registry, special folders, shortcuts, processes, version
// information, message boxes and environment variables. The install and
// uninstall procedures see only this interface, so they run natively
// against a fake and for real under Windows (install_platform_win32.cpp).
// Paths and texts are UTF-8; the Win32 side converts at its boundary.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

// Registry roots named in the uninstall log.
enum class RegRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

// Shell folder identifiers the installer asks for.
enum SpecialFolderId : int {
  kFolderDesktopUser = 0,
  kFolderProgramsUser = 2,
  kFolderProgramsAll = 23,
  kFolderDesktopAll = 25,
  kFolderProgramFiles = 38,
  kFolderProgramFilesX86 = 42,
};

// Message box flags with the system's values (a subset).
enum : unsigned {
  kBoxOk = 0x0,
  kBoxYesNo = 0x4,
  kBoxRetryCancel = 0x5,
  kBoxIconError = 0x10,
  kBoxIconQuestion = 0x20,
  kBoxIconWarning = 0x30,
  kBoxIconInformation = 0x40,
};
enum : int {
  kBoxAnswerOk = 1,
  kBoxAnswerCancel = 2,
  kBoxAnswerRetry = 4,
  kBoxAnswerYes = 6,
  kBoxAnswerNo = 7
};

// The fixed part of a file's version resource.
struct FixedVersion {
  uint32_t struct_version = 0;
  uint32_t file_ms = 0, file_ls = 0;        // four 16-bit parts, high first
  uint32_t product_ms = 0, product_ls = 0;
  uint32_t flags_mask = 0, flags = 0;
  uint32_t os = 0, type = 0, subtype = 0;
};

// Texts of a version resource's string table that the Uninstall entry shows.
struct VersionStrings {
  std::string company;          // CompanyName
  std::string product_version;  // ProductVersion
  std::string file_version;     // FileVersion
};

struct ShortcutInfo {
  std::string path;    // the .lnk file
  std::string target;  // what it starts
  std::string icon;    // "file,index"
  int window_style = 1;
};

struct DirEntry {
  std::string name;
  bool is_dir = false;
  bool is_link = false;  // a junction or symbolic link: removed, never entered
};

// A file opened for writing; closed on destruction.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual bool Write(std::string_view bytes) = 0;
  // Makes what was written durable before the next step goes on.
  virtual bool Flush() = 0;
  virtual void Close() = 0;
};

// How a delete through a handle ended.
enum class EraseResult {
  kErased,
  kMissing,  // nothing there: nothing to do
  kInUse,    // another program holds the file
  kOutside,  // the path leads outside the folder (a junction on the way)
             // or names a folder: left alone
  kFailed,
};

// A file opened for reading at any offset; closed on destruction.
class InputFile {
 public:
  virtual ~InputFile() = default;
  virtual int64_t Size() const = 0;
  // Reads exactly n bytes at offset; false when they cannot be read.
  virtual bool ReadAt(int64_t offset, void* dst, size_t n) = 0;
};

// What the install and uninstall steps report while they run: a status
// text and a progress bar.
class StepProgress {
 public:
  virtual ~StepProgress() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetRange(int max) = 0;
  virtual void SetPosition(int value) = 0;
  // Lets the window repaint and answer while a long step runs.
  virtual void PumpEvents() {}
};

// Progress nobody sees: the unattended runs.
class SilentProgress : public StepProgress {
 public:
  void SetStatus(const std::string&) override {}
  void SetRange(int) override {}
  void SetPosition(int) override {}
};

class InstallPlatform {
 public:
  virtual ~InstallPlatform() = default;

  // Files and directories. A failing call returns false (or nothing) and
  // leaves the reason in LastError().
  virtual bool CreateDir(const std::string& path) = 0;
  virtual bool RemoveDir(const std::string& path) = 0;  // empty directories only
  virtual bool IsDirectory(const std::string& path) = 0;
  // A junction or symbolic link (any reparse point), file or directory.
  virtual bool IsLink(const std::string& path) = 0;
  virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
  virtual bool EraseFile(const std::string& path) = 0;
  // Deletes a file through a handle: opened without following a reparse
  // point (a link goes as itself), deleted only when it is not a folder and
  // the handle's final path lies inside `root`, so a folder swapped for a
  // junction after any earlier check cannot redirect the delete.
  virtual EraseResult EraseFileWithin(const std::string& path, const std::string& root) = 0;
  // A file another program holds open (a running program's own .exe).
  virtual bool FileInUse(const std::string& path) = 0;
  // Creates (or truncates) a file for writing.
  virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  // Entries of a directory without "." and "..".
  virtual std::optional<std::vector<DirEntry>> ListDir(const std::string& path) = 0;

  // Registry, always in the 64-bit view. Calls report success only.
  virtual bool RegMakeKey(RegRoot root, const std::string& subkey) = 0;
  virtual bool RegSetString(RegRoot root, const std::string& subkey,
                            const std::string& name, const std::string& value) = 0;
  virtual bool RegSetDword(RegRoot root, const std::string& subkey,
                           const std::string& name, uint32_t value) = 0;
  // A list of strings (REG_MULTI_SZ).
  virtual bool RegSetStrings(RegRoot root, const std::string& subkey, const std::string& name,
                             const std::vector<std::string>& values) = 0;
  // Deletes a key with all its subkeys.
  virtual bool RegRemoveTree(RegRoot root, const std::string& subkey) = 0;
  // A string value; nothing when the key or value is missing.
  virtual std::optional<std::string> RegGetString(RegRoot root, const std::string& subkey,
                                                  const std::string& name) = 0;
  virtual std::optional<std::vector<std::string>> RegGetStrings(RegRoot root,
                                                                const std::string& subkey,
                                                                const std::string& name) = 0;

  // Shell. An unknown folder gives an empty text; a cancelled picker too.
  virtual std::string SpecialFolder(int id) = 0;
  virtual std::string BrowseForFolder(const std::string& title) = 0;
  virtual bool CreateShortcut(const ShortcutInfo& shortcut) = 0;

  // Version resource of a file; nothing when it has none.
  virtual std::optional<FixedVersion> FileVersion(const std::string& path) = 0;
  virtual std::optional<VersionStrings> FileVersionStrings(const std::string& path) = 0;

  // Starts a command line without waiting for it, in the system folder.
  // Programs are named by their full path.
  virtual bool StartProcess(const std::string& command_line, bool hidden) = 0;
  // Sets a variable of this process's environment, which started
  // processes inherit.
  virtual bool SetEnv(const std::string& name, const std::string& value) = 0;
  // Whether a named mutex exists (a running program's single-instance mark).
  virtual bool MutexExists(const std::string& name) = 0;

  // One setup at a time: takes the machine-wide mark that Instalador and
  // Desinstalar hold while they run; false when another one holds it.
  virtual bool HoldSetupLock() = 0;
  // Starts the uninstaller's cleanup (hidden, not waited for), which keeps
  // a machine-wide mark of its own for as long as it runs.
  virtual bool StartCleanup(const std::string& command_line) = 0;
  // Whether such a cleanup is still running.
  virtual bool CleanupRunning() = 0;
  // Waits; long steps pause through here.
  virtual void Pause(int milliseconds) = 0;

  // Folder protection. Whether this process runs with administrator rights;
  // whether anyone but administrators and the system may change the folder
  // or what is in it; gives a folder the protection Program Files has (full
  // control for Administrators and SYSTEM, read and execute for Users,
  // inherited, nothing inherited from above).
  virtual bool IsElevated() = 0;
  virtual bool OthersCanWrite(const std::string& folder) = 0;
  virtual bool ProtectFolder(const std::string& folder) = 0;

  // Returns one of the kBoxAnswer values.
  virtual int ShowMessage(const std::string& text, const std::string& caption,
                         unsigned flags) = 0;
  virtual std::string GetEnv(const std::string& name) = 0;

  // The full path of the running program, and its process id.
  virtual std::string OwnPath() = 0;
  virtual unsigned long ProcessId() = 0;
  // The system's own folders, asked of the system rather than taken from
  // the environment, which the user controls.
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;

  virtual std::string LastError() = 0;
};

}  // namespace kova
