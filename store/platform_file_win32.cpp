#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cwchar>

#include "common/cp1252.h"
#include "store/platform_file.h"

namespace kova::file {
namespace {

// The path as the wide-character file functions take it. Past the classic
// limit of 260 characters only the extended form ("\\?\C:\...",
// "\\?\UNC\server\share\...") reaches the file; it must be absolute
// and use backslashes, which GetFullPathNameW gives.
std::wstring W(const std::string& utf8) {
  std::wstring path = Utf8ToWide(utf8);
  if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
  DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// A new file with a name of its own in `folder`, open for writing; its
// name in `name`.
HANDLE CreateUnique(const std::wstring& folder, std::wstring* name) {
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t part[40];
    swprintf(part, 40, L"~kova%lx%lx.tmp", ::GetCurrentProcessId(),
             static_cast<unsigned long>(::InterlockedIncrement(&counter) + ::GetTickCount()));
    const bool ends = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    *name = folder + (ends ? L"" : L"\\") + part;
    HANDLE h = ::CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

HANDLE H(NativeHandle h) { return reinterpret_cast<HANDLE>(h); }

std::wstring FolderOf(const std::wstring& path) {
  auto p = path.find_last_of(L"\\/");
  if (p == std::wstring::npos) return L".";
  if (p == 0 || (p == 2 && path[1] == L':')) return path.substr(0, p + 1);
  return path.substr(0, p);
}

bool WriteFully(HANDLE h, const char* data, std::size_t n) {
  while (n > 0) {
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    DWORD written = 0;
    if (!::WriteFile(h, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    n -= written;
  }
  return true;
}

}  // namespace

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadAll(const std::string& path) {
  HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      ::CloseHandle(h);
      return std::nullopt;
    }
    if (got == 0) break;
    out.append(buf, got);
  }
  ::CloseHandle(h);
  return out;
}

std::optional<std::string> WriteBeside(const std::string& path, std::string_view contents) {
  std::wstring target = W(path);
  // A read-only file is not replaced (some file systems would let the move
  // through).
  DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return std::nullopt;
  std::wstring tmp;
  HANDLE h = CreateUnique(FolderOf(target), &tmp);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  bool ok = WriteFully(h, contents.data(), contents.size()) && ::FlushFileBuffers(h);
  ok = ::CloseHandle(h) && ok;
  if (ok) return WideToUtf8(tmp);
  ::DeleteFileW(tmp.c_str());
  return std::nullopt;
}

ReplaceResult MoveOver(const std::string& from, const std::string& to) {
  if (::MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ReplaceResult::kDone;
  switch (::GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED:  // also what a file open for deleting gives
    case ERROR_USER_MAPPED_FILE:
      return ReplaceResult::kInUse;
    default:
      return ReplaceResult::kFailed;
  }
}

bool Remove(const std::string& path) { return ::DeleteFileW(W(path).c_str()) != 0; }

bool CreateEmpty(const std::string& path) {
  HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

bool FolderWritable(const std::string& folder) {
  std::wstring tmp;
  HANDLE h = CreateUnique(W(folder), &tmp);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  ::DeleteFileW(tmp.c_str());
  return true;
}

bool MakeFolders(const std::string& folder) {
  std::wstring f = W(folder);
  DWORD a = ::GetFileAttributesW(f.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::wstring parent = FolderOf(f);
  if (parent != f && parent != L"." && !MakeFolders(WideToUtf8(parent))) return false;
  return ::CreateDirectoryW(f.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string WorkingFolder() {
  DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring buf(n, L'\0');
  DWORD got = ::GetCurrentDirectoryW(n, buf.data());
  buf.resize(got);
  return WideToUtf8(buf);
}

std::string UserSettingsFolder() {
  wchar_t path[MAX_PATH];
  if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return Join(WideToUtf8(path), "KOVA");
  if (const wchar_t* a = ::_wgetenv(L"APPDATA"); a && *a) return Join(WideToUtf8(a), "KOVA");
  return WorkingFolder();
}

std::string DocumentsFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path)) && path)
    folder = WideToUtf8(path);
  ::CoTaskMemFree(path);
  return folder.empty() ? WorkingFolder() : folder;
}

std::string DumpFolder() { return "c:\\temp"; }

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + "\\" + name;
}

NativeHandle CreateAlways(const std::string& path) {
  HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<NativeHandle>(h);
}

NativeHandle CreateNewReadable(const std::string& path) {
  HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<NativeHandle>(h);
}

NativeHandle OpenExisting(const std::string& path) {
  HANDLE h = ::CreateFileW(W(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<NativeHandle>(h);
}

void Close(NativeHandle h) {
  if (h != kNoHandle) ::CloseHandle(H(h));
}

bool Write(NativeHandle h, const void* data, std::size_t n) {
  return h != kNoHandle && WriteFully(H(h), static_cast<const char*>(data), n);
}

long Read(NativeHandle h, void* data, std::size_t n) {
  if (h == kNoHandle) return -1;
  DWORD got = 0;
  if (!::ReadFile(H(h), data, static_cast<DWORD>(n), &got, nullptr)) return -1;
  return static_cast<long>(got);
}

bool SeekTo(NativeHandle h, std::int64_t offset) {
  LARGE_INTEGER li;
  li.QuadPart = offset;
  return h != kNoHandle && ::SetFilePointerEx(H(h), li, nullptr, FILE_BEGIN);
}

bool SeekToEnd(NativeHandle h) {
  LARGE_INTEGER li;
  li.QuadPart = 0;
  return h != kNoHandle && ::SetFilePointerEx(H(h), li, nullptr, FILE_END);
}

}  // namespace kova::file
