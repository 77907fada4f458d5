#include "Instalador/setup/install_platform_win32.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

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
  void Close() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

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
    HKEY k;
    LONG r = ::RegOpenKeyExW(RootKey(root), W(subkey).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &k);
    if (r != ERROR_SUCCESS) {
      Reg(r);
      return std::nullopt;
    }
    std::wstring n = W(name);
    DWORD type = 0, size = 0;
    std::optional<std::string> out;
    r = ::RegQueryValueExW(k, n.c_str(), nullptr, &type, nullptr, &size);
    if (r == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size < 65536) {
      std::wstring v(size / sizeof(wchar_t) + 1, L'\0');
      r = ::RegQueryValueExW(k, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data()), &size);
      if (r == ERROR_SUCCESS) out = U(std::wstring(v.c_str()));
    }
    ::RegCloseKey(k);
    if (r != ERROR_SUCCESS) Reg(r);
    return out;
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
    std::wstring cmd = W(command_line);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (hidden) {
      si.dwFlags = STARTF_USESHOWWINDOW;
      si.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION pi = {};
    // Started in the system folder: never in a folder the user may write to.
    std::wstring cwd = W(SystemDirectory());
    if (!Check(::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE,
                                (hidden ? CREATE_NO_WINDOW : 0) | CREATE_UNICODE_ENVIRONMENT,
                                nullptr, cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)))
      return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
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

  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
    return ::MessageBoxW(g_owner, W(text).c_str(), W(caption).c_str(), flags);
  }
  std::string GetEnv(const std::string& name) override {
    wchar_t buf[32768];
    DWORD n = ::GetEnvironmentVariableW(W(name).c_str(), buf, 32768);
    return n == 0 || n >= 32768 ? std::string() : U(std::wstring(buf, n));
  }
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
