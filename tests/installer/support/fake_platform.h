// An in-memory Windows for the install and uninstall procedures: a file
// system with Windows path rules (case-insensitive, trailing spaces and dots
// of a name ignored, parents must exist) and junctions, a registry,
// shortcuts, version resources, started processes, message boxes, folder
// protection and the setup marks, all inspectable. Every change is
// journaled, and a run can be killed at its n-th change.
#pragma once
#include <algorithm>
#include <cctype>
#include <deque>
#include <functional>
#include <map>
#include <set>

#include "Instalador/setup/install_platform.h"

namespace kova {

class FakePlatform : public InstallPlatform {
 public:
  struct Node {
    bool is_dir = false;
    std::string name;  // as created (last component)
    std::string data;
    std::string link = {};  // a junction's target (a Key), followed like Windows does
  };
  struct Box {
    std::string text, caption;
    unsigned flags;
  };

  FakePlatform() {
    nodes_[Key("C:")] = Node{true, "C:", {}};
    env["WINDIR"] = "C:\\windows";
    folders[kFolderDesktopUser] = "C:\\users\\joao\\Desktop";
    folders[kFolderProgramsUser] = "C:\\users\\joao\\Start Menu\\Programs";
    folders[kFolderProgramsAll] = "C:\\ProgramData\\Start Menu\\Programs";
    folders[kFolderDesktopAll] = "C:\\users\\Public\\Desktop";
    folders[kFolderProgramFiles] = "C:\\Program Files";
    for (auto& f : folders) MakeDirs(f.second);
    MakeDirs("C:\\windows\\system32");
  }

  // Normalised key of a path: lower case, single separators, no trailing
  // separator, each name without trailing spaces and dots.
  static std::string Key(const std::string& path) {
    std::string out, part;
    auto flush = [&] {
      while (!part.empty() && (part.back() == ' ' || part.back() == '.') && part != "." && part != "..")
        part.pop_back();
      if (!part.empty()) out += (out.empty() ? "" : "\\") + part;
      part.clear();
    };
    for (char c : path) {
      if (c == '\\' || c == '/') flush();
      else part += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    flush();
    return out;
  }

  // Test set-up helpers.
  void MakeDirs(const std::string& path) {
    std::string k = Key(path), acc;
    size_t pos = 0;
    std::string shown = path;
    while (pos != std::string::npos) {
      pos = k.find('\\', pos + 1);
      std::string sub = k.substr(0, pos);
      if (!nodes_.count(sub)) nodes_[sub] = Node{true, sub.substr(sub.find_last_of('\\') + 1), {}};
    }
  }
  void PutFile(const std::string& path, const std::string& data) {
    MakeDirs(path.substr(0, path.find_last_of('\\')));
    nodes_[Key(path)] = Node{false, path.substr(path.find_last_of('\\') + 1), data};
  }
  // A junction at `path` to the directory `target`: paths through it lead
  // into the target, while the junction itself is removed as an empty
  // directory.
  void MakeLink(const std::string& path, const std::string& target) {
    MakeDirs(path.substr(0, path.find_last_of('\\')));
    nodes_[Key(path)] = Node{true, path.substr(path.find_last_of('\\') + 1), {}, Key(target)};
  }
  // A folder moved away by whoever may write its parent, and a junction
  // put in its place.
  void SwapForLink(const std::string& path, const std::string& target) {
    for (const std::string& k : BelowKey(Key(path))) nodes_.erase(k);
    nodes_.erase(Key(path));
    MakeLink(path, target);
  }
  bool Exists(const std::string& path) const { return nodes_.count(Real(path)) > 0; }
  bool IsDir(const std::string& path) const {
    auto it = nodes_.find(Real(path));
    return it != nodes_.end() && it->second.is_dir;
  }
  std::string Data(const std::string& path) const {
    auto it = nodes_.find(Real(path));
    return it == nodes_.end() ? std::string("<missing>") : it->second.data;
  }
  // The key a path leads to, through the junctions of its folders (and of
  // its last name too when follow_last).
  std::string Real(const std::string& path, bool follow_last = false) const {
    std::string k = Key(path), out;
    size_t pos = 0;
    while (pos <= k.size()) {
      size_t cut = k.find('\\', pos);
      if (cut == std::string::npos) cut = k.size();
      out += (out.empty() ? "" : "\\") + k.substr(pos, cut - pos);
      pos = cut + 1;
      bool last = cut == k.size();
      auto it = nodes_.find(out);
      if ((!last || follow_last) && it != nodes_.end() && !it->second.link.empty()) out = it->second.link;
      if (last) break;
    }
    return out;
  }
  // Every path below a folder (keys), for "nothing else was left" checks.
  std::vector<std::string> Below(const std::string& folder) const { return BelowKey(Real(folder, true)); }
  std::vector<std::string> BelowKey(const std::string& key) const {
    std::vector<std::string> out;
    std::string k = key + "\\";
    for (auto& n : nodes_)
      if (n.first.rfind(k, 0) == 0) out.push_back(n.first);
    return out;
  }
  std::optional<ShortcutInfo> Shortcut(const std::string& lnk) const {
    if (!Exists(lnk)) return std::nullopt;
    auto it = shortcuts_.find(Key(lnk));
    if (it == shortcuts_.end()) return std::nullopt;
    return it->second;
  }
  static std::string RegKey(RegRoot root, const std::string& subkey) {
    return std::to_string(static_cast<int>(root)) + ":" + Key(subkey);
  }
  bool HasKey(RegRoot root, const std::string& subkey) const {
    return registry.count(RegKey(root, subkey)) > 0;
  }
  std::string RegValue(RegRoot root, const std::string& subkey, const std::string& name) const {
    auto k = registry.find(RegKey(root, subkey));
    if (k == registry.end()) return "<no key>";
    auto v = k->second.find(name);
    return v == k->second.end() ? "<no value>" : v->second;
  }

  // InstallPlatform.
  // Thrown at the change a run is killed at (see kill_after).
  struct Killed {};

  bool CreateDir(const std::string& path) override {
    std::string k = Real(path);
    Change("mkdir " + k);
    if (fail_create.count(k) || nodes_.count(k) || !ParentIsDir(k)) return Error("cannot create");
    nodes_[k] = Node{true, k.substr(k.find_last_of('\\') + 1), {}};
    return true;
  }
  bool RemoveDir(const std::string& path) override {
    std::string k = Real(path);
    Change("rmdir " + k);
    auto it = nodes_.find(k);
    if (it == nodes_.end() || !it->second.is_dir || locked.count(k) ||
        (it->second.link.empty() && !BelowKey(k).empty()))
      return Error("cannot remove");
    nodes_.erase(it);
    return true;
  }
  bool IsDirectory(const std::string& path) override { return IsDir(path); }
  bool IsLink(const std::string& path) override {
    auto it = nodes_.find(Real(path));
    return it != nodes_.end() && !it->second.link.empty();
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    auto it = nodes_.find(Real(path));
    if (it == nodes_.end() || it->second.is_dir) return std::nullopt;
    return it->second.data.size();
  }
  bool EraseFile(const std::string& path) override {
    if (before_erase) before_erase(path);
    Change("erase " + Real(path));
    auto it = nodes_.find(Real(path));
    if (it == nodes_.end() || it->second.is_dir || locked.count(it->first)) return Error("cannot delete");
    nodes_.erase(it);
    ++deletions;
    return true;
  }
  EraseResult EraseFileWithin(const std::string& path, const std::string& root) override {
    if (before_erase) before_erase(path);
    std::string k = Real(path);
    Change("erase " + k);
    auto top = nodes_.find(Key(root));
    if (top == nodes_.end() || !top->second.link.empty()) return EraseResult::kOutside;
    auto it = nodes_.find(k);
    if (it == nodes_.end()) return EraseResult::kMissing;
    if (it->second.is_dir || k.rfind(Real(root, true) + "\\", 0) != 0) return EraseResult::kOutside;
    if (locked.count(k)) return EraseResult::kInUse;
    nodes_.erase(it);
    ++deletions;
    return EraseResult::kErased;
  }
  bool FileInUse(const std::string& path) override { return locked.count(Real(path)) > 0; }
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    std::string k = Real(path);
    Change("create " + k);
    if (fail_create.count(k) || locked.count(k) || !ParentIsDir(k) || IsDir(path)) {
      Error("cannot create file");
      return nullptr;
    }
    std::string name = path.substr(path.find_last_of('\\') + 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    nodes_[k] = Node{false, name, {}};
    return std::make_unique<File>(this, k);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    auto it = nodes_.find(Real(path));
    if (it == nodes_.end() || it->second.is_dir) return std::nullopt;
    return it->second.data;
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    auto data = ReadFile(path);
    if (!data) {
      Error("cannot open");
      return nullptr;
    }
    return std::make_unique<Input>(std::move(*data));
  }
  std::optional<std::vector<DirEntry>> ListDir(const std::string& path) override {
    std::string real = Real(path, true);
    auto dir = nodes_.find(real);
    if (dir == nodes_.end() || !dir->second.is_dir) return std::nullopt;
    std::vector<DirEntry> out;
    std::string k = real + "\\";
    for (auto& n : nodes_)
      if (n.first.rfind(k, 0) == 0 && n.first.find('\\', k.size()) == std::string::npos)
        out.push_back({n.second.name, n.second.is_dir, !n.second.link.empty()});
    return out;
  }
  bool RegMakeKey(RegRoot root, const std::string& subkey) override {
    Change("reg-make " + RegKey(root, subkey));
    registry[RegKey(root, subkey)];
    return true;
  }
  bool RegSetString(RegRoot root, const std::string& subkey, const std::string& name,
                    const std::string& value) override {
    Change("reg-set " + RegKey(root, subkey));
    registry[RegKey(root, subkey)][name] = value;
    return true;
  }
  bool RegSetDword(RegRoot root, const std::string& subkey, const std::string& name,
                   uint32_t value) override {
    Change("reg-set " + RegKey(root, subkey));
    registry[RegKey(root, subkey)][name] = "dword:" + std::to_string(value);
    return true;
  }
  bool RegSetStrings(RegRoot root, const std::string& subkey, const std::string& name,
                     const std::vector<std::string>& values) override {
    Change("reg-set " + RegKey(root, subkey));
    std::string joined = "multi:";
    for (const std::string& v : values) joined += v + "\n";
    registry[RegKey(root, subkey)][name] = joined;
    return true;
  }
  std::optional<std::vector<std::string>> RegGetStrings(RegRoot root, const std::string& subkey,
                                                        const std::string& name) override {
    std::string v = RegValue(root, subkey, name);
    if (v.rfind("multi:", 0) != 0) return std::nullopt;
    std::vector<std::string> out;
    for (size_t at = 6, end; (end = v.find('\n', at)) != std::string::npos; at = end + 1)
      out.push_back(v.substr(at, end - at));
    return out;
  }
  bool RegRemoveTree(RegRoot root, const std::string& subkey) override {
    Change("reg-delete " + RegKey(root, subkey));
    reg_deletes.push_back(RegKey(root, subkey));
    std::string k = RegKey(root, subkey);
    bool any = false;
    for (auto it = registry.begin(); it != registry.end();) {
      if (it->first == k || it->first.rfind(k + "\\", 0) == 0) {
        it = registry.erase(it);
        any = true;
      } else {
        ++it;
      }
    }
    return any;
  }
  std::optional<std::string> RegGetString(RegRoot root, const std::string& subkey,
                                          const std::string& name) override {
    auto k = registry.find(RegKey(root, subkey));
    if (k == registry.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end() || v->second.rfind("dword:", 0) == 0 || v->second.rfind("multi:", 0) == 0)
      return std::nullopt;
    return v->second;
  }
  std::string SpecialFolder(int id) override { return folders.count(id) ? folders[id] : ""; }
  std::string BrowseForFolder(const std::string& title) override {
    browse_titles.push_back(title);
    return browse_answer;
  }
  bool CreateShortcut(const ShortcutInfo& shortcut) override {
    if (!shortcuts_work) return Error("no shell object");
    Change("lnk " + Real(shortcut.path));
    auto f = CreateOutput(shortcut.path);
    if (!f) return false;
    f->Write("lnk");
    shortcuts_[Key(shortcut.path)] = shortcut;
    return true;
  }
  std::optional<FixedVersion> FileVersion(const std::string& path) override {
    auto it = versions.find(Key(path));
    if (it == versions.end() || !Exists(path)) return std::nullopt;
    return it->second;
  }
  std::optional<VersionStrings> FileVersionStrings(const std::string& path) override {
    auto it = version_strings.find(Key(path));
    if (it == version_strings.end() || !Exists(path)) return std::nullopt;
    return it->second;
  }
  bool StartProcess(const std::string& command_line, bool hidden) override {
    Change("start");
    started.push_back(command_line + (hidden ? " [hidden]" : ""));
    return true;
  }
  bool HoldSetupLock() override { return setup_lock_free; }
  bool StartCleanup(const std::string& command_line) override {
    Change("start");
    started.push_back(command_line + " [cleanup]");
    return true;
  }
  bool CleanupRunning() override { return cleanup_running_for > 0; }
  void Pause(int milliseconds) override {
    pauses.push_back(milliseconds);
    if (cleanup_running_for > 0) --cleanup_running_for;
    if (on_pause) on_pause();
  }
  bool IsElevated() override { return elevated; }
  bool OthersCanWrite(const std::string& folder) override {
    return writable_by_others.count(Real(folder, true)) > 0;
  }
  bool ProtectFolder(const std::string& folder) override {
    Change("protect " + Real(folder, true));
    if (!protect_works) return Error("cannot protect");
    protected_folders.push_back(Real(folder, true));
    return true;
  }
  unsigned long ProcessId() override { return 4242; }
  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    if (answers.empty()) return kBoxAnswerOk;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  bool SetEnv(const std::string& name, const std::string& value) override {
    env[name] = value;
    return true;
  }
  bool MutexExists(const std::string& name) override {
    if (running_checks_left > 0 && --running_checks_left == 0) mutexes.erase(name);
    return mutexes.count(name) > 0;
  }
  std::string GetEnv(const std::string& name) override { return env.count(name) ? env[name] : ""; }
  std::string OwnPath() override { return own_path; }
  std::string WindowsDirectory() override { return windows_dir; }
  std::string SystemDirectory() override { return windows_dir.empty() ? "" : windows_dir + "\\system32"; }
  std::string LastError() override { return last_error_; }

  // Knobs and records, open to the tests.
  std::map<std::string, std::string> env;
  std::map<int, std::string> folders;
  std::string browse_answer;
  std::vector<std::string> browse_titles;
  std::set<std::string> fail_create;      // keys whose creation fails
  std::set<std::string> fail_write;       // keys whose writes fail
  bool shortcuts_work = true;
  std::map<std::string, std::map<std::string, std::string>> registry;
  std::vector<std::string> reg_deletes;
  std::map<std::string, FixedVersion> versions;  // by Key()
  std::map<std::string, VersionStrings> version_strings;
  std::vector<std::string> started;
  std::vector<Box> boxes;
  std::deque<int> answers;
  std::string own_path;
  std::string windows_dir = "C:\\windows";
  std::set<std::string> locked;          // keys of files and folders in use
  std::set<std::string> mutexes;         // named mutexes that exist
  int running_checks_left = 0;           // the program closes after this many asks
  int deletions = 0;
  bool setup_lock_free = true;            // no other setup holds the lock
  int cleanup_running_for = 0;           // an earlier cleanup ends after this many pauses
  std::vector<int> pauses;
  std::function<void()> on_pause;
  std::function<void(const std::string&)> before_erase;  // may swap a folder for a junction
  bool elevated = true;
  std::set<std::string> writable_by_others;  // keys of folders users may change
  bool protect_works = true;
  std::vector<std::string> protected_folders;
  std::vector<std::string> journal;  // every change, in order
  int kill_after = -1;               // changes left before the run is killed

 private:
  class Input : public InputFile {
   public:
    explicit Input(std::string data) : data_(std::move(data)) {}
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    bool ReadAt(int64_t offset, void* dst, size_t n) override {
      if (offset < 0 || static_cast<uint64_t>(offset) > data_.size() || data_.size() - offset < n)
        return false;
      std::copy_n(data_.data() + offset, n, static_cast<char*>(dst));
      return true;
    }

   private:
    std::string data_;
  };
  class File : public OutputFile {
   public:
    File(FakePlatform* fs, std::string key) : fs_(fs), key_(std::move(key)) {}
    bool Write(std::string_view bytes) override {
      fs_->Change("write " + key_);
      if (closed_ || fs_->fail_write.count(key_) || !fs_->nodes_.count(key_))
        return fs_->Error("write failed");
      fs_->nodes_[key_].data.append(bytes);
      return true;
    }
    bool Flush() override { return !closed_; }
    void Close() override { closed_ = true; }

   private:
    FakePlatform* fs_;
    std::string key_;
    bool closed_ = false;
  };

  bool ParentIsDir(const std::string& k) const {
    size_t slash = k.find_last_of('\\');
    if (slash == std::string::npos) return false;
    auto it = nodes_.find(k.substr(0, slash));
    return it != nodes_.end() && it->second.is_dir;
  }
  void Change(const std::string& what) {
    if (kill_after == 0) throw Killed{};
    if (kill_after > 0) --kill_after;
    journal.push_back(what);
  }
  bool Error(const std::string& text) {
    last_error_ = text;
    return false;
  }

  std::map<std::string, Node> nodes_;
  std::map<std::string, ShortcutInfo> shortcuts_;
  std::string last_error_;
};

}  // namespace kova
