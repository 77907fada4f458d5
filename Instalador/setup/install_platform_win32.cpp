#include "Instalador/setup/install_platform_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <vector>

#include "common/cp1252.h"

namespace kova {

namespace {

// A procedure found by name, as the type it has: through a plain function
// pointer, since FARPROC's own type matches none of them.
template <typename T>
T ProcAs(FARPROC proc) {
  return reinterpret_cast<T>(reinterpret_cast<void (*)()>(proc));
}

HWND g_owner = nullptr;

std::wstring W(const std::string& utf8) { return Utf8ToWide(utf8); }
std::string U(const std::wstring& wide) { return WideToUtf8(wide); }

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::kUsers: return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

class Win32File final : public OutputFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { Close(); }
  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
      DWORD done = 0;
      if (h_ == INVALID_HANDLE_VALUE || !::WriteFile(h_, bytes.data(), chunk, &done, nullptr))
        return false;
      bytes.remove_prefix(done);
    }
    return true;
  }
  bool Flush() override { return h_ != INVALID_HANDLE_VALUE && ::FlushFileBuffers(h_); }
  void Close() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// A handle closed on scope exit.
struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE && h) ::CloseHandle(h);
  }
  bool Ok() const { return h != INVALID_HANDLE_VALUE && h; }
};

std::wstring FinalPath(HANDLE h) {
  wchar_t buf[32768];
  DWORD n = ::GetFinalPathNameByHandleW(h, buf, 32768, FILE_NAME_NORMALIZED);
  return n == 0 || n >= 32768 ? std::wstring() : std::wstring(buf, n);
}

bool IsReparseOrFolder(HANDLE h, DWORD which) {
  BY_HANDLE_FILE_INFORMATION info;
  return !::GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & which);
}

// Machine-wide marks: one setup at a time, and an uninstaller's cleanup.
constexpr wchar_t kSetupMutex[] = L"Global\\Instalador.Desinstalar.Setup";
constexpr wchar_t kCleanupMark[] = L"Global\\Instalador.Desinstalar.Limpeza";

// SIDs whose rights over a folder are an administrator's: Administrators,
// SYSTEM, TrustedInstaller, and the elevated user running this program.
bool TrustedSid(PSID sid, PSID self) {
  if (!sid || !::IsValidSid(sid)) return false;
  if (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
      (self && ::EqualSid(sid, self)))
    return true;
  LPWSTR text = nullptr;
  bool installer = false;
  if (::ConvertSidToStringSidW(sid, &text)) {
    installer = std::wcscmp(text, L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464") == 0;
    ::LocalFree(text);
  }
  return installer;
}

class Win32Input final : public InputFile {
 public:
  Win32Input(HANDLE h, int64_t size) : h_(h), size_(size) {}
  ~Win32Input() override { ::CloseHandle(h_); }
  int64_t Size() const override { return size_; }
  bool ReadAt(int64_t offset, void* dst, size_t n) override {
    if (offset < 0 || offset > size_ || static_cast<uint64_t>(size_ - offset) < n) return false;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!::SetFilePointerEx(h_, at, nullptr, FILE_BEGIN)) return false;
    auto* p = static_cast<char*>(dst);
    while (n > 0) {
      DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), got = 0;
      if (!::ReadFile(h_, p, want, &got, nullptr) || got == 0) return false;
      p += got;
      n -= got;
    }
    return true;
  }

 private:
  HANDLE h_;
  int64_t size_;
};

// version.dll is not one of the DLLs Windows always takes from the system
// folder, so it is not imported (the loader would look for it first beside
// the installer, in a download folder) but loaded from the system folder.
struct VersionApi {
  decltype(&::GetFileVersionInfoSizeW) size = nullptr;
  decltype(&::GetFileVersionInfoW) info = nullptr;
  decltype(&::VerQueryValueW) query = nullptr;
  bool Ready() {
    static bool tried = false;
    if (!tried) {
      tried = true;
      if (HMODULE m = ::LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        size = ProcAs<decltype(size)>(::GetProcAddress(m, "GetFileVersionInfoSizeW"));
        info = ProcAs<decltype(info)>(::GetProcAddress(m, "GetFileVersionInfoW"));
        query = ProcAs<decltype(query)>(::GetProcAddress(m, "VerQueryValueW"));
      }
    }
    return size && info && query;
  }
};
VersionApi g_version;

std::string FolderOf(UINT (WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH + 1] = {0};
  UINT n = get(buf, MAX_PATH + 1);
  return n == 0 || n > MAX_PATH ? std::string() : U(std::wstring(buf, n));
}

// COM for the shell calls, initialised once on the calling (window) thread.
void EnsureCom() {
  static bool done = false;
  if (!done) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    done = true;
  }
}

class SystemPlatform final : public InstallPlatform {
 public:
  bool CreateDir(const std::string& path) override {
    return Check(::CreateDirectoryW(W(path).c_str(), nullptr));
  }
  bool RemoveDir(const std::string& path) override {
    return Check(::RemoveDirectoryW(W(path).c_str()));
  }
  bool IsDirectory(const std::string& path) override {
    DWORD a = ::GetFileAttributesW(W(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool IsLink(const std::string& path) override {
    DWORD a = ::GetFileAttributesW(W(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!Check(::GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) ||
        (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return std::nullopt;
    return (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  }
  EraseResult EraseFileWithin(const std::string& path, const std::string& root) override {
    // The folder is held open without delete sharing while the file is
    // checked and deleted, so neither it nor a folder above it can be
    // renamed away in between.
    Handle folder{::CreateFileW(W(root).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
    if (!Check(folder.Ok())) return EraseResult::kFailed;
    std::wstring inside = FinalPath(folder.h);
    if (inside.empty() || IsReparseOrFolder(folder.h, FILE_ATTRIBUTE_REPARSE_POINT))
      return EraseResult::kOutside;
    inside += L'\\';
    Handle file{::CreateFileW(W(path).c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
    if (!file.Ok()) {
      DWORD e = ::GetLastError();
      error_ = e;
      if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return EraseResult::kMissing;
      if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION) return EraseResult::kInUse;
      return IsDirectory(path) ? EraseResult::kOutside : EraseResult::kFailed;
    }
    std::wstring final_path = FinalPath(file.h);
    if (IsReparseOrFolder(file.h, FILE_ATTRIBUTE_DIRECTORY) || final_path.size() <= inside.size() ||
        ::CompareStringOrdinal(final_path.c_str(), static_cast<int>(inside.size()), inside.c_str(),
                               static_cast<int>(inside.size()), TRUE) != CSTR_EQUAL)
      return EraseResult::kOutside;
    FILE_BASIC_INFO basic;
    if (::GetFileInformationByHandleEx(file.h, FileBasicInfo, &basic, sizeof basic) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
      basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
      if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
      ::SetFileInformationByHandle(file.h, FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO dispose = {TRUE};
    if (Check(::SetFileInformationByHandle(file.h, FileDispositionInfo, &dispose, sizeof dispose)))
      return EraseResult::kErased;
    // A running program's image cannot be deleted: in use, like a file
    // held open.
    return error_ == ERROR_ACCESS_DENIED || error_ == ERROR_SHARING_VIOLATION ? EraseResult::kInUse
                                                                              : EraseResult::kFailed;
  }
  bool FileInUse(const std::string& path) override {
    Handle h{::CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)};
    return !h.Ok() && ::GetLastError() == ERROR_SHARING_VIOLATION;
  }
  bool EraseFile(const std::string& path) override {
    std::wstring w = W(path);
    DWORD a = ::GetFileAttributesW(w.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
      ::SetFileAttributesW(w.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    return Check(::DeleteFileW(w.c_str()));
  }
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!Check(h != INVALID_HANDLE_VALUE)) return nullptr;
    return std::make_unique<Win32File>(h);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!Check(h != INVALID_HANDLE_VALUE)) return std::nullopt;
    LARGE_INTEGER size;
    std::optional<std::string> out;
    if (Check(::GetFileSizeEx(h, &size)) && size.QuadPart < (1LL << 31)) {
      std::string data(static_cast<size_t>(size.QuadPart), '\0');
      DWORD got = 0;
      if (data.empty() || (Check(::ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got,
                                            nullptr)) &&
                           got == data.size()))
        out = std::move(data);
    }
    ::CloseHandle(h);
    return out;
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!Check(h != INVALID_HANDLE_VALUE)) return nullptr;
    LARGE_INTEGER size;
    if (!Check(::GetFileSizeEx(h, &size))) {
      ::CloseHandle(h);
      return nullptr;
    }
    return std::make_unique<Win32Input>(h, size.QuadPart);
  }
  std::optional<std::vector<DirEntry>> ListDir(const std::string& path) override {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(W(path + "\\*").c_str(), &fd);
    if (!Check(h != INVALID_HANDLE_VALUE)) return std::nullopt;
    std::vector<DirEntry> out;
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      out.push_back({U(name), (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                     (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return out;
  }

  bool RegMakeKey(RegRoot root, const std::string& subkey) override {
    HKEY k;
    LONG r = ::RegCreateKeyExW(RootKey(root), W(subkey).c_str(), 0, nullptr, 0,
                               KEY_WRITE | KEY_WOW64_64KEY, nullptr, &k, nullptr);
    if (r != ERROR_SUCCESS) return Reg(r);
    ::RegCloseKey(k);
    return true;
  }
  bool RegSetString(RegRoot root, const std::string& subkey, const std::string& name,
                    const std::string& value) override {
    std::wstring v = W(value);
    return SetValue(root, subkey, name, REG_SZ, v.c_str(),
                    static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
  }
  bool RegSetDword(RegRoot root, const std::string& subkey, const std::string& name,
                   uint32_t value) override {
    DWORD v = value;
    return SetValue(root, subkey, name, REG_DWORD, &v, sizeof v);
  }
  bool RegSetStrings(RegRoot root, const std::string& subkey, const std::string& name,
                     const std::vector<std::string>& values) override {
    std::wstring data;
    for (const std::string& v : values) data += W(v) + L'\0';
    data += L'\0';
    return SetValue(root, subkey, name, REG_MULTI_SZ, data.c_str(),
                    static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  }
  std::optional<std::vector<std::string>> RegGetStrings(RegRoot root, const std::string& subkey,
                                                        const std::string& name) override {
    std::optional<std::wstring> data = QueryValue(root, subkey, name, REG_MULTI_SZ);
    if (!data) return std::nullopt;
    std::vector<std::string> out;
    for (size_t at = 0; at < data->size();) {
      size_t end = data->find(L'\0', at);
      if (end == std::wstring::npos) end = data->size();
      if (end > at) out.push_back(U(data->substr(at, end - at)));
      at = end + 1;
    }
    return out;
  }
  bool RegRemoveTree(RegRoot root, const std::string& subkey) override {
    HKEY k;
    std::wstring sub = W(subkey);
    LONG r = ::RegOpenKeyExW(RootKey(root), sub.c_str(), 0,
                             KEY_ALL_ACCESS | KEY_WOW64_64KEY, &k);
    if (r != ERROR_SUCCESS) return Reg(r);
    r = ::RegDeleteTreeW(k, nullptr);
    ::RegCloseKey(k);
    if (r != ERROR_SUCCESS) return Reg(r);
    return Reg(::RegDeleteKeyExW(RootKey(root), sub.c_str(), KEY_WOW64_64KEY, 0));
  }
  std::optional<std::string> RegGetString(RegRoot root, const std::string& subkey,
                                          const std::string& name) override {
    std::optional<std::wstring> v = QueryValue(root, subkey, name, REG_SZ);
    if (!v) return std::nullopt;
    return U(std::wstring(v->c_str()));
  }


  std::string SpecialFolder(int id) override {
    EnsureCom();
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, id, &pidl)) || !pidl) return {};
    wchar_t buf[MAX_PATH * 2] = {0};
    BOOL ok = ::SHGetPathFromIDListW(pidl, buf);
    ::CoTaskMemFree(pidl);
    return ok ? U(buf) : std::string();
  }
  std::string BrowseForFolder(const std::string& title) override {
    EnsureCom();
    std::wstring t = W(title);
    BROWSEINFOW bi = {};
    bi.hwndOwner = g_owner;
    bi.lpszTitle = t.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST pidl = ::SHBrowseForFolderW(&bi);
    if (!pidl) return {};
    wchar_t buf[MAX_PATH * 2] = {0};
    BOOL ok = ::SHGetPathFromIDListW(pidl, buf);
    ::CoTaskMemFree(pidl);
    return ok ? U(buf) : std::string();
  }
  bool CreateShortcut(const ShortcutInfo& shortcut) override {
    EnsureCom();
    IShellLinkW* link = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkW, reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return Hr(hr);
    std::string icon = shortcut.icon;
    int index = 0;
    size_t comma = icon.find_last_of(',');
    if (comma != std::string::npos) {
      index = std::atoi(icon.c_str() + comma + 1);
      icon.resize(comma);
    }
    link->SetPath(W(shortcut.target).c_str());
    link->SetShowCmd(shortcut.window_style);
    link->SetIconLocation(W(icon).c_str(), index);
    size_t slash = shortcut.target.find_last_of('\\');
    if (slash != std::string::npos) link->SetWorkingDirectory(W(shortcut.target.substr(0, slash)).c_str());
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
      hr = file->Save(W(shortcut.path).c_str(), TRUE);
      file->Release();
    }
    link->Release();
    return SUCCEEDED(hr) || Hr(hr);
  }

  std::optional<FixedVersion> FileVersion(const std::string& path) override {
    std::vector<char> block;
    if (!VersionBlock(path, &block)) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!g_version.query(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
      return std::nullopt;
    FixedVersion v;
    v.struct_version = info->dwStrucVersion;
    v.file_ms = info->dwFileVersionMS;
    v.file_ls = info->dwFileVersionLS;
    v.product_ms = info->dwProductVersionMS;
    v.product_ls = info->dwProductVersionLS;
    v.flags_mask = info->dwFileFlagsMask;
    v.flags = info->dwFileFlags;
    v.os = info->dwFileOS;
    v.type = info->dwFileType;
    v.subtype = info->dwFileSubtype;
    return v;
  }
  std::optional<VersionStrings> FileVersionStrings(const std::string& path) override {
    std::vector<char> block;
    if (!VersionBlock(path, &block)) return std::nullopt;
    struct Translation {
      WORD language, code_page;
    }* tr = nullptr;
    UINT len = 0;
    if (!g_version.query(block.data(), L"\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&tr), &len) ||
        len < sizeof(Translation))
      return std::nullopt;
    wchar_t prefix[64];
    std::swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", tr->language, tr->code_page);
    auto get = [&](const wchar_t* name) {
      std::wstring q = std::wstring(prefix) + name;
      wchar_t* value = nullptr;
      UINT n = 0;
      if (!g_version.query(block.data(), q.c_str(), reinterpret_cast<void**>(&value), &n) ||
          !value || n == 0)
        return std::string();
      return U(std::wstring(value, wcsnlen(value, n)));
    };
    VersionStrings s;
    s.company = get(L"CompanyName");
    s.product_version = get(L"ProductVersion");
    s.file_version = get(L"FileVersion");
    return s;
  }

  bool StartProcess(const std::string& command_line, bool hidden) override {
    return StartProcessWith(command_line, hidden, nullptr);
  }

  bool SetEnv(const std::string& name, const std::string& value) override {
    return Check(::SetEnvironmentVariableW(W(name).c_str(), W(value).c_str()));
  }
  bool MutexExists(const std::string& name) override {
    HANDLE h = ::OpenMutexW(SYNCHRONIZE, FALSE, W(name).c_str());
    if (h) {
      ::CloseHandle(h);
      return true;
    }
    // Held by a program running with other rights: it exists all the same.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
  }

  bool HoldSetupLock() override {
    static HANDLE held = nullptr;
    if (held) return true;
    HANDLE m = ::CreateMutexW(nullptr, TRUE, kSetupMutex);
    if (!m) return false;  // held by a program with other rights
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
      ::CloseHandle(m);
      return false;
    }
    held = m;  // kept until the process ends
    return true;
  }
  bool StartCleanup(const std::string& command_line) override {
    // The mark is a semaphore the interpreter inherits: it lives exactly as
    // long as the cleanup's processes hold it, however they end.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE mark = ::CreateSemaphoreW(&sa, 0, 1, kCleanupMark);
    bool ok = StartProcessWith(command_line, true, mark);
    if (mark) ::CloseHandle(mark);
    return ok;
  }
  bool CleanupRunning() override {
    HANDLE h = ::OpenSemaphoreW(SYNCHRONIZE, FALSE, kCleanupMark);
    if (h) ::CloseHandle(h);
    return h || ::GetLastError() == ERROR_ACCESS_DENIED;
  }
  void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }

  bool IsElevated() override {
    Handle token{nullptr};
    TOKEN_ELEVATION e = {};
    DWORD size = 0;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token.h) &&
           ::GetTokenInformation(token.h, TokenElevation, &e, sizeof e, &size) && e.TokenIsElevated;
  }
  bool OthersCanWrite(const std::string& folder) override {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (::GetNamedSecurityInfoW(W(folder).c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
      return true;  // unknown: not safe to assume
    std::vector<char> self_buf(SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER));
    PSID self = nullptr;
    Handle token{nullptr};
    DWORD size = 0;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token.h) &&
        ::GetTokenInformation(token.h, TokenUser, self_buf.data(), static_cast<DWORD>(self_buf.size()), &size))
      self = reinterpret_cast<TOKEN_USER*>(self_buf.data())->User.Sid;
    // The owner may always change the rights; so may whoever an entry
    // lets write, delete, or change rights or owner.
    const ACCESS_MASK write = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE |
                              WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    bool others = !TrustedSid(owner, self) || !dacl;
    for (DWORD i = 0; !others && dacl && i < dacl->AceCount; ++i) {
      ACE_HEADER* ace = nullptr;
      if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->AceType != ACCESS_ALLOWED_ACE_TYPE ||
          (ace->AceFlags & INHERIT_ONLY_ACE))
        continue;
      auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
      others = (allowed->Mask & write) && !TrustedSid(&allowed->SidStart, self);
    }
    ::LocalFree(sd);
    return others;
  }
  bool ProtectFolder(const std::string& folder) override {
    // As Program Files: Administrators own it; they and SYSTEM have full
    // control, Users read and execute; inherited below, nothing from above.
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!Check(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1, &sd,
            nullptr)))
      return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    ::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    ::GetSecurityDescriptorOwner(sd, &owner, &defaulted);
    std::wstring w = W(folder);
    DWORD r = ::SetNamedSecurityInfoW(
        w.data(), SE_FILE_OBJECT,
        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
        owner, nullptr, dacl, nullptr);
    ::LocalFree(sd);
    if (r != ERROR_SUCCESS) error_ = r;
    return r == ERROR_SUCCESS;
  }

  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
    return ::MessageBoxW(g_owner, W(text).c_str(), W(caption).c_str(), flags);
  }
  std::string GetEnv(const std::string& name) override {
    wchar_t buf[32768];
    DWORD n = ::GetEnvironmentVariableW(W(name).c_str(), buf, 32768);
    return n == 0 || n >= 32768 ? std::string() : U(std::wstring(buf, n));
  }
  unsigned long ProcessId() override { return ::GetCurrentProcessId(); }
  std::string OwnPath() override {
    wchar_t buf[32768];
    DWORD n = ::GetModuleFileNameW(nullptr, buf, 32768);
    return U(std::wstring(buf, n));
  }
  std::string WindowsDirectory() override { return FolderOf(::GetSystemWindowsDirectoryW); }
  std::string SystemDirectory() override { return FolderOf(::GetSystemDirectoryW); }
  std::string LastError() override {
    if (error_ == 0) return {};
    wchar_t* text = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error_, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string out = n ? U(std::wstring(text, n)) : "Erro " + std::to_string(error_);
    if (text) ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
      out.pop_back();
    return out;
  }

 private:
  // Starts a process in the system folder (never a folder the user may
  // write to); `inherit`, when given, is the one handle it inherits.
  bool StartProcessWith(const std::string& command_line, bool hidden, HANDLE inherit) {
    std::wstring cmd = W(command_line);
    STARTUPINFOEXW si = {};
    si.StartupInfo.cb = sizeof si;
    if (hidden) {
      si.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
      si.StartupInfo.wShowWindow = SW_HIDE;
    }
    std::vector<char> attributes;
    if (inherit) {
      SIZE_T size = 0;
      ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
      attributes.resize(size);
      si.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
      if (!::InitializeProcThreadAttributeList(si.lpAttributeList, 1, 0, &size) ||
          !::UpdateProcThreadAttribute(si.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                       &inherit, sizeof inherit, nullptr, nullptr))
        si.lpAttributeList = nullptr;
    }
    PROCESS_INFORMATION pi = {};
    std::wstring cwd = W(SystemDirectory());
    DWORD flags = (hidden ? CREATE_NO_WINDOW : 0) | CREATE_UNICODE_ENVIRONMENT |
                  (si.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0);
    bool ok = Check(::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr,
                                     si.lpAttributeList != nullptr, flags, nullptr,
                                     cwd.empty() ? nullptr : cwd.c_str(), &si.StartupInfo, &pi));
    if (si.lpAttributeList) ::DeleteProcThreadAttributeList(si.lpAttributeList);
    if (!ok) return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
  }
  bool Check(BOOL ok) {
    if (!ok) error_ = ::GetLastError();
    return ok != FALSE;
  }
  bool Reg(LONG r) {
    if (r != ERROR_SUCCESS) error_ = static_cast<DWORD>(r);
    return r == ERROR_SUCCESS;
  }
  bool Hr(HRESULT hr) {
    error_ = static_cast<DWORD>(hr);
    return false;
  }
  // A value's text: REG_SZ (or REG_EXPAND_SZ) or REG_MULTI_SZ, as asked.
  std::optional<std::wstring> QueryValue(RegRoot root, const std::string& subkey,
                                         const std::string& name, DWORD want) {
    HKEY k;
    LONG r = ::RegOpenKeyExW(RootKey(root), W(subkey).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &k);
    if (r != ERROR_SUCCESS) {
      Reg(r);
      return std::nullopt;
    }
    std::wstring n = W(name);
    DWORD type = 0, size = 0;
    std::optional<std::wstring> out;
    r = ::RegQueryValueExW(k, n.c_str(), nullptr, &type, nullptr, &size);
    bool fits = type == want || (want == REG_SZ && type == REG_EXPAND_SZ);
    if (r == ERROR_SUCCESS && fits && size < 65536) {
      std::wstring v(size / sizeof(wchar_t) + 1, L'\0');
      r = ::RegQueryValueExW(k, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data()), &size);
      if (r == ERROR_SUCCESS) out = v.substr(0, size / sizeof(wchar_t));
    }
    ::RegCloseKey(k);
    if (r != ERROR_SUCCESS) Reg(r);
    return out;
  }
  bool SetValue(RegRoot root, const std::string& subkey, const std::string& name, DWORD type,
                const void* data, DWORD size) {
    HKEY k;
    LONG r = ::RegOpenKeyExW(RootKey(root), W(subkey).c_str(), 0,
                             KEY_SET_VALUE | KEY_WOW64_64KEY, &k);
    if (r != ERROR_SUCCESS) return Reg(r);
    r = ::RegSetValueExW(k, W(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(k);
    return Reg(r);
  }
  bool VersionBlock(const std::string& path, std::vector<char>* block) {
    if (!g_version.Ready()) return false;
    std::wstring w = W(path);
    DWORD handle = 0;
    DWORD size = g_version.size(w.c_str(), &handle);
    if (size == 0) return false;
    block->assign(size, 0);
    return g_version.info(w.c_str(), 0, size, block->data()) != FALSE;
  }

  DWORD error_ = 0;
};

}  // namespace

InstallPlatform& Win32Platform() {
  static SystemPlatform platform;
  return platform;
}

void SetMessageOwner(void* hwnd) { g_owner = static_cast<HWND>(hwnd); }

bool QuietSwitch(const wchar_t* command_line) {
  bool quiet = false;
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(command_line, &argc);
  for (int i = 1; argv && i < argc; ++i)
    if (::lstrcmpiW(argv[i], L"/S") == 0) quiet = true;
  if (argv) ::LocalFree(argv);
  return quiet;
}

void HardenDllSearch() {
  // DLLs loaded from now on come from the system folder only, never from
  // the current or the program's folder (a download folder).
  ::SetDllDirectoryW(L"");
  using SetDefault = BOOL(WINAPI*)(DWORD);
  if (auto set = ProcAs<SetDefault>(
          ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")))
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace kova
