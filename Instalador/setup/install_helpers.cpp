#include "Instalador/setup/install_helpers.h"

#include <algorithm>

#include "Instalador/package/name_compare.h"
#include "Instalador/setup/cstack.h"

namespace kova {

std::string InstallDirectoryFromText(const std::string& text) {
  if (!text.empty() && text.back() == '\\') return text.substr(0, text.size() - 1);
  return text;
}

std::string EnsureTrailingBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

bool FileExists(InstallPlatform& sys, const std::string& path) {
  return sys.FileSize(path).has_value();
}

std::string SpecialFolderPath(InstallPlatform& sys, int folder_id) {
  std::string path = sys.SpecialFolder(folder_id);
  return LooksAbsolute(path) ? path : std::string();
}

bool LooksAbsolute(std::string_view dir) {
  bool drive = dir.size() >= 3 && dir[1] == ':' && dir[2] == '\\' &&
               ((dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z'));
  bool unc = dir.size() > 2 && dir[0] == '\\' && dir[1] == '\\' && dir[2] != '\\';
  return drive || unc;
}

namespace {

bool PlainName(std::string_view name) {
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::string>> PathNames(std::string_view path) {
  if (!LooksAbsolute(path)) return std::nullopt;
  std::vector<std::string> names;
  std::string_view rest;
  if (path[0] == '\\') {
    size_t cut = path.find('\\', 2);
    std::string_view server = path.substr(2, cut == std::string_view::npos ? path.npos : cut - 2);
    if (server.empty() || !PlainName(server) || server.find_first_not_of(". ") == server.npos)
      return std::nullopt;
    names.push_back("\\\\" + std::string(server));
    rest = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
  } else {
    names.push_back(std::string(path.substr(0, 2)));
    rest = path.substr(3);
  }
  while (!rest.empty()) {
    size_t cut = rest.find('\\');
    std::string_view name = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (cut != std::string_view::npos && rest.empty()) return std::nullopt;  // "a\"
    if (!PlainName(name)) return std::nullopt;
    size_t end = name.find_last_not_of(". ");
    if (end == std::string_view::npos) return std::nullopt;  // "", ".", "..", " "
    names.push_back(std::string(name.substr(0, end + 1)));
  }
  return names;
}

bool PathInside(std::string_view path, std::string_view root, bool or_equal) {
  auto p = PathNames(path), r = PathNames(root);
  if (!p || !r || p->size() < r->size() || (!or_equal && p->size() == r->size())) return false;
  return std::equal(r->begin(), r->end(), p->begin(), [](const std::string& a, const std::string& b) {
    return SameNameIgnoringCase(a, b);
  });
}

bool SamePath(std::string_view a, std::string_view b) {
  auto pa = PathNames(a);
  return pa && pa->size() == PathNames(b).value_or(std::vector<std::string>{}).size() &&
         PathInside(a, b, true);
}

bool ProgramRunning(InstallPlatform& sys, const std::vector<std::string>& programs) {
  if (sys.MutexExists(kProgramMutex)) return true;
  // The mark is only seen in this session, and any program may make one:
  // a copy running in any session holds its file too.
  return std::any_of(programs.begin(), programs.end(),
                     [&](const std::string& p) { return sys.FileInUse(p); });
}

bool WaitForProgramClosed(InstallPlatform& sys, const std::string& product,
                          const std::vector<std::string>& programs, bool quiet) {
  while (ProgramRunning(sys, programs)) {
    if (quiet) return false;
    std::string text = "O " + product +
                       " está aberto. Feche o programa e clique em 'Repetir' para continuar, "
                       "ou em 'Cancelar' para voltar.";
    if (sys.ShowMessage(text, product, kBoxRetryCancel | kBoxIconWarning) != kBoxAnswerRetry)
      return false;
  }
  return true;
}

bool TakeSetupLock(InstallPlatform& sys, const std::string& caption, bool quiet) {
  if (sys.HoldSetupLock()) return true;
  if (!quiet) sys.ShowMessage(kSetupBusyText, caption, kBoxOk | kBoxIconWarning);
  return false;
}

bool WaitForCleanup(InstallPlatform& sys, StepProgress& progress) {
  if (!sys.CleanupRunning()) return true;
  progress.SetStatus("Aguardando o fim de uma desinstalação anterior...");
  for (int second = 0; second < kCleanupWaitSeconds; ++second) {
    progress.PumpEvents();
    sys.Pause(1000);
    if (!sys.CleanupRunning()) return true;
  }
  return false;
}

std::string BrowseForFolder(InstallPlatform& sys, const std::string& title) {
  std::string chosen = sys.BrowseForFolder(title);
  size_t first = chosen.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return TrimRight(chosen.substr(first));
}

namespace {

// One level of the removal: takes the next directory from `pending`,
// collects its subdirectories on `found` while deleting its files, then
// descends into each collected subdirectory before removing the directory.
// Files go through a handle that must still lead inside `top`: a folder
// swapped for a junction after the listing cannot redirect a delete.
bool RemoveOneLevel(InstallPlatform& sys, const std::string& top, CStack& pending, CStack& found,
                    bool with_contents) {
  std::string dir = EnsureTrailingBackslash(pending.Pop());
  std::string bare = dir.substr(0, dir.size() - 1);
  bool ok = true;
  // A junction or symbolic link goes as itself: what it points at is
  // somebody else's, however it got there.
  if (with_contents && !sys.IsLink(bare)) {
    auto entries = sys.ListDir(bare);
    if (!entries) return false;
    int16_t mark = found.Length();
    for (const DirEntry& e : *entries) {
      if (e.name == "." || e.name == "..") continue;
      if (e.is_link && e.is_dir) {
        if (!sys.RemoveDir(dir + e.name)) return false;
      } else if (e.is_dir) {
        if (!found.Push(dir + e.name + "\\")) return false;
      } else if (sys.EraseFileWithin(dir + e.name, top) != EraseResult::kErased) {
        return false;
      }
    }
    // Only what this level found; deeper levels drain their own entries.
    while (found.Length() > mark) {
      pending.Push(found.Pop());
      if (!RemoveOneLevel(sys, top, pending, found, with_contents)) ok = false;
    }
  }
  if (!sys.RemoveDir(bare)) return false;
  return ok;
}

const char* OsName(uint32_t os) {
  switch (os) {
    case 0x00010001: return "DOS-Win16";
    case 0x00010004: return "DOS-Win32";
    case 0x00020002: return "OS/2-16 PM-16";
    case 0x00020003: return "OS/2-16 PM-32";
    case 0x00040004: return "NT-Win32";
    default: return "Unknown";
  }
}

const char* TypeName(uint32_t type) {
  switch (type) {
    case 1: return "App";
    case 2: return "DLL";
    case 3: return "Driver";
    case 4: return "Font";
    case 5: return "VxD";
    case 7: return "Lib";
    default: return "Unknown";
  }
}

const char* DriverSubtypeName(uint32_t subtype) {
  static const char* const kNames[] = {
      "Unknown",     "Printer drv", "Keyboard drv", "Language drv",
      "Display drv", "Mouse drv",   "Network drv",  "System drv",
      "Installable", "Sound drv",   "Comm drv"};
  return subtype < 11 ? kNames[subtype] : "Unknown";
}

std::string FourParts(uint32_t ms, uint32_t ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

}  // namespace

bool RemoveDirectoryTree(InstallPlatform& sys, const std::string& path, bool with_contents) {
  if (path.empty()) return false;
  CStack pending, found;
  pending.Push(path);
  return RemoveOneLevel(sys, path, pending, found, with_contents);
}

std::optional<VersionReport> QueryFileVersion(InstallPlatform& sys, const std::string& path) {
  std::optional<FixedVersion> v = sys.FileVersion(path);
  if (!v) return std::nullopt;
  VersionReport r;
  r.struct_version =
      std::to_string(v->struct_version >> 16) + "." + std::to_string(v->struct_version & 0xFFFF);
  r.file_version = FourParts(v->file_ms, v->file_ls);
  r.product_version = FourParts(v->product_ms, v->product_ls);
  uint32_t f = v->flags & v->flags_mask;
  if (f & 0x01) r.flags += "Debug ";
  if (f & 0x02) r.flags += "PreRel ";
  if (f & 0x04) r.flags += "Patched ";
  if (f & 0x08) r.flags += "Private ";
  if (f & 0x20) r.flags += "Special ";
  r.os = OsName(v->os);
  r.type = TypeName(v->type);
  if (v->type == 3) r.subtype = DriverSubtypeName(v->subtype);
  r.file_parts[0] = static_cast<uint16_t>(v->file_ms >> 16);
  r.file_parts[1] = static_cast<uint16_t>(v->file_ms & 0xFFFF);
  r.file_parts[2] = static_cast<uint16_t>(v->file_ls >> 16);
  r.file_parts[3] = static_cast<uint16_t>(v->file_ls & 0xFFFF);
  return r;
}

std::string VersionDigits(std::string_view version_text) {
  std::string out;
  for (char c : version_text)
    if (c != '.') out += c;
  return out;
}

int CompareVersions(const uint16_t (&a)[4], const uint16_t (&b)[4]) {
  for (int i = 0; i < 4; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

std::string TrimRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string ParentFolder(std::string_view path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

}  // namespace kova
