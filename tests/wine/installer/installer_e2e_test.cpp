// Instalador.exe and Desinstalar.exe end to end under Wine: a package is
// built with kova-pack around KOVA.exe, installed unattended and through the
// wizard driven by the Win32 API, checked on disk, in the shortcuts and in
// the registry, then uninstalled, with the batch file run by the command
// interpreter, until nothing of it is left.
//
// Environment (Unix paths): KOVA_E2E_INSTALLER, KOVA_E2E_UNINSTALLER,
// KOVA_E2E_PACK (kova-pack.exe), KOVA_E2E_PROGRAM (the program packed as
// KOVA.exe), KOVA_E2E_WORK (a scratch folder), KOVA_E2E_PICTURE (optional
// background JPEG). Screenshots of the pages go to KOVA_E2E_WORK/shots.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Instalador/package/package_layout.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"
#include "common/cp1252.h"
#include "tests/wine/support/find_window.h"

namespace {

using kova::Utf8ToWide;
using kova::WideToUtf8;

const std::wstring kProduct = L"KOVA E2E";
const std::wstring kUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA E2E";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::wstring WinePath(const std::string& unix_path) {
  std::wstring w = L"Z:" + Utf8ToWide(unix_path);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  return w;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Reads a file even while a program writes it.
std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(h);
  return out;
}

void WriteAll(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << WideToUtf8(path);
  DWORD done = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
  CloseHandle(h);
}

// Starts a command line; with wait, returns its exit code (or -1).
int Start(const std::wstring& command, bool wait, HANDLE* process = nullptr,
        std::string* output = nullptr) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  HANDLE read_end = nullptr, write_end = nullptr;
  if (output) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    CreatePipe(&read_end, &write_end, &sa, 0);
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write_end;
    si.hStdError = write_end;
  }
  PROCESS_INFORMATION pi = {};
  std::wstring cmd = command;
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                      &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  if (output) {
    CloseHandle(write_end);
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buf, sizeof buf, &got, nullptr) && got) output->append(buf, got);
    CloseHandle(read_end);
  }
  if (process) {
    *process = pi.hProcess;
    return 0;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (wait && WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

// A value of the Uninstall entry as reg.exe shows it, or "<none>".
std::string RegValue(const std::wstring& key, const std::wstring& name) {
  std::string out;
  int rc = Start(L"reg.exe query \"HKLM\\" + key + L"\" /v \"" + name + L"\"", true, nullptr, &out);
  if (rc != 0) return "<none>";
  std::string n = WideToUtf8(name);
  size_t at = out.find("    " + n + "    ");
  if (at == std::string::npos) return "<none>";
  size_t type_end = out.find("    ", at + 8 + n.size());
  size_t eol = out.find_first_of("\r\n", type_end);
  return out.substr(type_end + 4, eol - type_end - 4);
}

// A string value read directly, for texts outside the console's code page.
std::wstring RegString(const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024] = {0};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  HKEY k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k) != ERROR_SUCCESS)
    return L"<none>";
  LONG r = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  return r == ERROR_SUCCESS && type == REG_SZ ? std::wstring(buf) : L"<none>";
}

// A text of a file's version resource, read the way Explorer does.
std::wstring VersionText(const std::wstring& file, const wchar_t* name) {
  DWORD handle = 0, size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  std::vector<char> block(size);
  if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return L"<no version>";
  struct {
    WORD language, code_page;
  }* tr = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len))
    return L"<no translation>";
  wchar_t query[128];
  swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", tr->language, tr->code_page, name);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &len) || !value)
    return L"<no " + std::wstring(name) + L">";
  return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY k;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

std::wstring ShortcutTarget(const std::wstring& lnk) {
  IShellLinkW* link = nullptr;
  std::wstring target = L"<unreadable>";
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ))) {
      wchar_t path[MAX_PATH] = {0};
      if (SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0))) target = path;
    }
    file->Release();
  }
  link->Release();
  return target;
}

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {0};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
  return path;
}

bool WaitGone(const std::wstring& path, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (!Exists(path)) return true;
    Sleep(100);
  }
  return false;
}

// Leftovers of an earlier, interrupted run would change what gets logged.
void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(dir + L"\\" + name);
      else
        DeleteFileW((dir + L"\\" + name).c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// Waits for the uninstallers' batches in the Windows folder: each deletes
// itself last.
bool WaitBatchDone(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((Folder(CSIDL_WINDOWS) + L"\\pelin_uni*.bat").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return true;
    FindClose(h);
    Sleep(100);
  }
  return false;
}

// ---- the wizard windows

HWND WaitWizard(HANDLE process) {
  return kova::wine_test::WaitForWindow(GetProcessId(process), [](HWND w) {
    return kova::wine_test::HasClass(w, L"KovaWizardMain");
  }, 30000);
}

// A message box of the process: its caption and text, then OK.
bool AnswerMessageBox(HANDLE process, std::wstring* caption, std::wstring* text) {
  HWND box = kova::wine_test::WaitForWindow(GetProcessId(process), [](HWND w) {
    return kova::wine_test::HasClass(w, L"#32770");
  }, 30000);
  if (!box) return false;
  wchar_t buf[4096] = {0};
  DWORD_PTR n = 0;
  SendMessageTimeoutW(box, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, &n);
  *caption = buf;
  text->clear();
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t t[4096] = {0};
    SendMessageTimeoutW(c, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(t), SMTO_NORMAL, 5000, &n);
    *text += t;
    *text += L"\n";
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return true;
}

class Wizard {
 public:
  Wizard(HWND main, int pages) : main_(main), pages_(pages) {}
  HWND Page(int n) const { return GetDlgItem(main_, 99 + n); }
  int ShownPage() const {
    for (int n = 1; n <= pages_; ++n)
      if (IsWindowVisible(Page(n))) return n;
    return 0;
  }
  HWND Control(int page, int id) const { return GetDlgItem(Page(page), id); }
  // WM_GETTEXT: GetWindowText does not ask controls of another process.
  std::string Text(HWND w) const {
    wchar_t buf[8192] = {0};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 10000, &n);
    return WideToUtf8(std::wstring(buf, n));
  }
  std::string ProductName() const { return Text(GetDlgItem(main_, 90)); }
  // Back 0, Next 1, Cancel 2: a click on the picture, waiting for its work.
  void Click(int button) {
    DWORD_PTR r;
    SendMessageTimeoutW(GetDlgItem(main_, 80 + button), WM_LBUTTONUP, 0, 0, SMTO_NORMAL, 180000, &r);
  }
  // A click that may open a modal box: does not wait for the handler.
  void PostClick(int button) { PostMessageW(GetDlgItem(main_, 80 + button), WM_LBUTTONUP, 0, 0); }
  void ClickControl(int page, int id) {
    DWORD_PTR r;
    SendMessageTimeoutW(Control(page, id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &r);
  }
  void SetText(int page, int id, const std::wstring& text) {
    DWORD_PTR r;
    SendMessageTimeoutW(Control(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, 10000, &r);
  }
  // The window as it is on screen, as a BMP file.
  void Shot(const std::wstring& path) {
    // Let the window finish painting what the last click changed.
    DWORD_PTR ignored;
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Sleep(300);
    RECT r;
    GetWindowRect(main_, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + stride * h), 0, 0,
                           sizeof fh + sizeof bi.bmiHeader};
    std::string data(reinterpret_cast<char*>(&fh), sizeof fh);
    data.append(reinterpret_cast<char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    data.append(static_cast<char*>(bits), stride * h);
    WriteAll(path, data);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
  }

 private:
  HWND main_;
  int pages_;
};

// ---- the package, built once

class InstallerEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    work_ = WinePath(Env("KOVA_E2E_WORK"));
    program_ = ReadAll(WinePath(Env("KOVA_E2E_PROGRAM")));
    CreateDirectoryW((work_ + L"\\shots").c_str(), nullptr);
    std::wstring stage = work_ + L"\\stage";
    CreateDirectoryW(stage.c_str(), nullptr);
    CreateDirectoryW((stage + L"\\dados").c_str(), nullptr);
    WriteAll(stage + L"\\KOVA.exe", program_);
    WriteAll(stage + L"\\dados\\leia-me.txt", "Arquivo de dados\r\n");
    WriteAll(work_ + L"\\descricao.txt", "Este pacote instala o KOVA de teste.\n");
    WriteAll(work_ + L"\\termos.txt", "Termos de uso do KOVA de teste.\nLinha dois.\n");
    std::string description =
        "product = KOVA E2E\n"
        "description_file = descricao.txt\n"
        "terms_file = termos.txt\n"
        "title_colour = 255, 255, 255\n"
        "text_colour = 20, 40, 80\n"
        "background_colour = 236, 240, 246\n"
        "directory = #PADRAO#\n"
        "folder = KOVA E2E\n"
        "desktop_shortcut = \\KOVA.exe | KOVA E2E\n"
        "start_menu_shortcut = \\KOVA.exe | KOVA E2E\n"
        "registry_key = HKCU\\Software\\KOVA E2E\n";
    if (!Env("KOVA_E2E_PICTURE").empty())
      description += "picture = " + WideToUtf8(WinePath(Env("KOVA_E2E_PICTURE"))) + "\n";
    WriteAll(work_ + L"\\pacote.ini", description);
    package_ = work_ + L"\\KOVA-setup.exe";
    DeleteFileW(package_.c_str());
    std::string out;
    int rc = Start(L"\"" + WinePath(Env("KOVA_E2E_PACK")) + L"\" --installer \"" +
                     WinePath(Env("KOVA_E2E_INSTALLER")) + L"\" --uninstaller \"" +
                     WinePath(Env("KOVA_E2E_UNINSTALLER")) + L"\" --description \"" + work_ +
                     L"\\pacote.ini\" --files \"" + stage + L"\" --output \"" + package_ +
                     L"\" --chunk-size 262144",
                 true, nullptr, &out);
    pack_output_ = out;
    pack_rc_ = rc;
  }

  void SetUp() override {
    for (const wchar_t* d : {L"C:\\Kova Quieto", L"C:\\Oficina E2E", L"C:\\Kova Nada", L"C:\\Kova Danificado",
                             L"C:\\KOVA Aberta", L"C:\\KOVA Param", L"C:\\KOVA Teclado", L"C:\\Vitima",
                             L"C:\\KOVA Segunda", L"C:\\KOVA Morta", L"C:\\Оficina Анна", L"C:\\Оficina Иван"})
      RemoveTree(d);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    ASSERT_EQ(pack_rc_, 0) << pack_output_;
    ASSERT_GT(program_.size(), 262144u) << "the program should span several chunks";
  }

  // Everything an install leaves, checked the same way for both runs.
  void CheckInstalled(const std::wstring& dir, const std::wstring& desktop,
                      const std::wstring& programs) {
    EXPECT_EQ(ReadAll(dir + L"\\KOVA.exe"), program_);
    EXPECT_EQ(ReadAll(dir + L"\\dados\\leia-me.txt"), "Arquivo de dados\r\n");
    std::string un = ReadAll(dir + L"\\Desinstalar.exe");
    ASSERT_EQ(un.size(), size_t(kova::pkg::kUninstallerImageSize) + 4 + 8);
    EXPECT_EQ(un.substr(kova::pkg::kUninstallerImageSize), std::string("\x08\0\0\0", 4) + "KOVA E2E");

    // Each line comes before what it names is made.
    std::vector<std::string> log = kova::SplitLogLines(ReadAll(dir + L"\\uninstall.log"));
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(log[0], "#NAO DELETE ESTE ARQUIVO!!!");
    std::string d = WideToUtf8(dir);
    EXPECT_EQ(log[1], "DIR=" + d);
    EXPECT_EQ(log[2], "REG=HKCU\\Software\\KOVA E2E");
    EXPECT_EQ(log[3], "DIR=" + d + "\\dados");
    std::string exe_line = d + "\\KOVA.exe" + std::string(56, ' ');
    size_t chunks = (program_.size() + 262143) / 262144;
    EXPECT_EQ(static_cast<size_t>(std::count(log.begin(), log.end(), exe_line)), chunks);
    EXPECT_NE(std::find(log.begin(), log.end(), WideToUtf8(desktop + L"\\KOVA E2E.lnk")), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), WideToUtf8(programs + L"\\KOVA E2E\\KOVA E2E.lnk")),
              log.end());
    EXPECT_EQ(log[log.size() - 2], "DIR=" + WideToUtf8(programs + L"\\KOVA E2E"));

    EXPECT_EQ(ShortcutTarget(desktop + L"\\KOVA E2E.lnk"), dir + L"\\KOVA.exe");
    EXPECT_EQ(ShortcutTarget(programs + L"\\KOVA E2E\\KOVA E2E.lnk"), dir + L"\\KOVA.exe");
    EXPECT_EQ(ShortcutTarget(programs + L"\\KOVA E2E\\Desinstalar.lnk"), dir + L"\\Desinstalar.exe");

    EXPECT_EQ(RegValue(kUninstallKey, L"DisplayName"), "KOVA E2E");
    EXPECT_EQ(RegValue(kUninstallKey, L"DisplayIcon"), d + "\\Desinstalar.exe");
    EXPECT_EQ(RegValue(kUninstallKey, L"UninstallString"), "\"" + d + "\\Desinstalar.exe\"");
    EXPECT_EQ(RegValue(kUninstallKey, L"QuietUninstallString"), "\"" + d + "\\Desinstalar.exe\" /S");
    EXPECT_EQ(RegValue(kUninstallKey, L"InstallLocation"), d);
    EXPECT_EQ(RegValue(kUninstallKey, L"NoModify"), "0x1");
    EXPECT_EQ(RegValue(kUninstallKey, L"NoRepair"), "0x1");
    EXPECT_NE(RegValue(kUninstallKey, L"EstimatedSize"), "<none>");
    // Taken from the version resource of the program the shortcuts start.
    EXPECT_EQ(RegString(kUninstallKey, L"DisplayVersion"), VersionText(dir + L"\\KOVA.exe", L"ProductVersion"));
    EXPECT_EQ(RegString(kUninstallKey, L"Publisher"), VersionText(dir + L"\\KOVA.exe", L"CompanyName"));
    EXPECT_NE(RegString(kUninstallKey, L"Publisher").find(L"KOVA"), std::wstring::npos);
  }

  void CheckRemoved(const std::wstring& dir, const std::wstring& desktop, const std::wstring& programs) {
    EXPECT_TRUE(WaitGone(dir, 60)) << "the batch did not remove " << WideToUtf8(dir);
    EXPECT_TRUE(WaitBatchDone(10));
    EXPECT_FALSE(Exists(desktop + L"\\KOVA E2E.lnk"));
    EXPECT_FALSE(Exists(programs + L"\\KOVA E2E"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(RegValue(kUninstallKey, L"DisplayName"), "<none>");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\KOVA E2E"));
  }

  static std::wstring work_, package_;
  static std::string program_, pack_output_;
  static int pack_rc_;
};

std::wstring InstallerEndToEnd::work_, InstallerEndToEnd::package_;
std::string InstallerEndToEnd::program_, InstallerEndToEnd::pack_output_;
int InstallerEndToEnd::pack_rc_ = -1;

TEST_F(InstallerEndToEnd, UnattendedInstallAndUninstall) {
  const std::wstring dir = L"C:\\Kova Quieto\\Programa";
  HKEY k;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KOVA E2E\\Sub", 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
  RegCloseKey(k);
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  CheckInstalled(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));

  // Started from elsewhere: it still finds its log and trailer.
  SetCurrentDirectoryW(work_.c_str());
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  CheckRemoved(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
  EXPECT_TRUE(Exists(L"C:\\Kova Quieto"));  // made by the install, not recorded
  RemoveDirectoryW(L"C:\\Kova Quieto");
}

TEST_F(InstallerEndToEnd, UnattendedRefusesMissingOrDamagedPackage) {
  EXPECT_EQ(Start(L"\"" + WinePath(Env("KOVA_E2E_INSTALLER")) + L"\" /S /D=C:\\Kova Nada", true), 2);
  std::string damaged = ReadAll(package_);
  damaged.resize(damaged.size() - 10);
  std::wstring copy = work_ + L"\\danificado.exe";
  WriteAll(copy, damaged);
  EXPECT_NE(Start(L"\"" + copy + L"\" /S /D=C:\\Kova Danificado", true), 0);
  EXPECT_FALSE(Exists(L"C:\\Kova Nada"));
  EXPECT_FALSE(Exists(L"C:\\Kova Danificado"));
}

TEST_F(InstallerEndToEnd, WizardWithoutPackageStopsOnPageFive) {
  HANDLE process = nullptr;
  ASSERT_EQ(Start(L"\"" + WinePath(Env("KOVA_E2E_INSTALLER")) + L"\"", false, &process), 0);
  HWND main = WaitWizard(process);
  ASSERT_TRUE(main);
  Wizard w(main, 6);
  EXPECT_EQ(w.ProductName(), "");
  w.Click(1);
  w.ClickControl(2, 213);
  for (int i = 0; i < 3; ++i) w.Click(1);
  ASSERT_EQ(w.ShownPage(), 5);
  w.Click(1);  // nothing to install: stays, every button disabled
  EXPECT_EQ(w.ShownPage(), 5);
  w.Click(2);  // Cancel is disabled too: no question, still running
  EXPECT_EQ(WaitForSingleObject(process, 500), static_cast<DWORD>(WAIT_TIMEOUT));
  w.Shot(work_ + L"\\shots\\sem_pacote_5.bmp");
  PostMessageW(main, WM_CLOSE, 0, 0);  // the window's close box is the way out
  ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 1u);
}

TEST_F(InstallerEndToEnd, WizardShowsFatalErrorForDamagedPackage) {
  std::string damaged = ReadAll(package_);
  damaged.resize(damaged.size() - 10);  // the header is whole, the file section is not
  std::wstring copy = work_ + L"\\danificado_wizard.exe";
  WriteAll(copy, damaged);
  HANDLE process = nullptr;
  ASSERT_EQ(Start(L"\"" + copy + L"\"", false, &process), 0);
  HWND main = WaitWizard(process);
  ASSERT_TRUE(main);
  Wizard w(main, 6);
  w.Click(1);
  w.ClickControl(2, 213);
  w.Click(1);
  w.SetText(3, 223, L"C:\\Kova Danificado");
  w.Click(1);
  w.Click(1);
  ASSERT_EQ(w.ShownPage(), 5);
  w.PostClick(1);
  std::wstring caption, text;
  ASSERT_TRUE(AnswerMessageBox(process, &caption, &text));
  EXPECT_EQ(caption, L"Erro Fatal");
  EXPECT_NE(text.find(L"danificado"), std::wstring::npos) << WideToUtf8(text);
  ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 1u);
  EXPECT_FALSE(Exists(L"C:\\Kova Danificado"));  // checked before anything was written
}

TEST_F(InstallerEndToEnd, WizardInstallThenWizardUninstall) {
  const std::wstring shots = work_ + L"\\shots\\";
  HANDLE process = nullptr;
  ASSERT_EQ(Start(L"\"" + package_ + L"\"", false, &process), 0);
  HWND main = WaitWizard(process);
  ASSERT_TRUE(main);
  Wizard w(main, 6);
  EXPECT_EQ(w.ProductName(), "KOVA E2E");
  EXPECT_EQ(w.ShownPage(), 1);
  EXPECT_EQ(w.Text(w.Control(1, 201)), "Este pacote instala o KOVA de teste.\r\n");
  w.Shot(shots + L"instalador_1.bmp");
  w.Click(0);  // Back on page 1: nothing
  EXPECT_EQ(w.ShownPage(), 1);
  w.Click(1);
  EXPECT_EQ(w.ShownPage(), 2);
  w.Click(1);  // terms not accepted yet
  EXPECT_EQ(w.ShownPage(), 2);
  w.ClickControl(2, 213);  // Eu Aceito
  w.Shot(shots + L"instalador_2.bmp");
  w.Click(1);
  ASSERT_EQ(w.ShownPage(), 3);
  EXPECT_EQ(w.Text(w.Control(3, 223)), WideToUtf8(Folder(CSIDL_PROGRAM_FILES)) + "\\KOVA E2E");
  const std::wstring dir = L"C:\\Oficina E2E\\Kova";
  w.SetText(3, 223, dir + L"\\");  // one trailing backslash is dropped
  w.Shot(shots + L"instalador_3.bmp");
  w.Click(1);
  ASSERT_EQ(w.ShownPage(), 4);
  w.ClickControl(4, 234);  // Somente este usuário
  w.Shot(shots + L"instalador_4.bmp");
  w.Click(1);
  ASSERT_EQ(w.ShownPage(), 5);
  w.Shot(shots + L"instalador_5.bmp");
  w.Click(1);  // installs
  ASSERT_EQ(w.ShownPage(), 6);
  EXPECT_EQ(w.Text(w.Control(3, 223)), WideToUtf8(dir));
  w.Shot(shots + L"instalador_6.bmp");
  w.Click(1);
  ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);
  CheckInstalled(dir, Folder(CSIDL_DESKTOPDIRECTORY), Folder(CSIDL_PROGRAMS));

  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\"", false, &process), 0);
  main = WaitWizard(process);
  ASSERT_TRUE(main);
  Wizard u(main, 3);
  EXPECT_EQ(u.ProductName(), "KOVA E2E");
  EXPECT_NE(u.Text(u.Control(1, 201)).find("desinstalar o KOVA E2E do seu computador"), std::string::npos);
  u.Shot(shots + L"desinstalar_1.bmp");
  u.Click(1);
  ASSERT_EQ(u.ShownPage(), 2);
  u.Shot(shots + L"desinstalar_2.bmp");
  u.Click(1);  // removes files and keys, writes the batch
  ASSERT_EQ(u.ShownPage(), 3);
  EXPECT_FALSE(Exists(dir + L"\\KOVA.exe"));
  u.Shot(shots + L"desinstalar_3.bmp");
  u.Click(1);  // starts the batch and ends
  ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);
  CheckRemoved(dir, Folder(CSIDL_DESKTOPDIRECTORY), Folder(CSIDL_PROGRAMS));
  RemoveDirectoryW(L"C:\\Oficina E2E");
}

// ---- elevated safety, upgrades, a running program, the keyboard

// Ends a program the test started when the test stops early.
struct Ender {
  HANDLE* process;
  ~Ender() {
    if (*process && WaitForSingleObject(*process, 0) == WAIT_TIMEOUT) TerminateProcess(*process, 9);
  }
};

TEST_F(InstallerEndToEnd, UninstallKeepsOthersFilesEvenThroughATamperedLog) {
  // C:\KOVA-like folders are writable by ordinary users: anyone may edit
  // the log the administrator's uninstall reads. A technician's parameter
  // file saved in the install folder stays too.
  const std::wstring dir = L"C:\\KOVA Param\\Programa";
  CreateDirectoryW(L"C:\\Vitima", nullptr);
  WriteAll(L"C:\\Vitima\\dados.txt", "de outra pessoa");
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  // Registry lines too: one outside the product, one inside that the
  // install never recorded.
  for (const wchar_t* key : {L"Software\\Vitima", L"Software\\KOVA E2E Vizinho", L"SOFTWARE\\KOVA E2E\\Fora"}) {
    HKEY k;
    RegCreateKeyExW(key[1] == 'O' ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE,
                    nullptr, &k, nullptr);
    RegCloseKey(k);
  }
  std::string log = ReadAll(dir + L"\\uninstall.log");
  log += "C:\\Vitima\\dados.txt\r\nDIR=C:\\Vitima\r\nDIR=" + WideToUtf8(dir) + "\\..\\..\\Vitima\r\n" +
         "REG=HKCU\\Software\\Vitima\r\nREG=HKCU\\Software\\KOVA E2E Vizinho\r\n"
         "REG=HKLM\\SOFTWARE\\KOVA E2E\\Fora\r\n";
  WriteAll(dir + L"\\uninstall.log", log);
  WriteAll(dir + L"\\Cliente João.VELA", "[CONFIG_VELA]\r\n");
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  EXPECT_TRUE(WaitGone(dir + L"\\Desinstalar.exe", 60));
  EXPECT_TRUE(WaitBatchDone(10));
  EXPECT_EQ(ReadAll(L"C:\\Vitima\\dados.txt"), "de outra pessoa");
  EXPECT_EQ(ReadAll(dir + L"\\Cliente João.VELA"), "[CONFIG_VELA]\r\n");
  for (const wchar_t* gone : {L"\\KOVA.exe", L"\\dados", L"\\uninstall.log"}) EXPECT_FALSE(Exists(dir + gone));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Vitima"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\KOVA E2E Vizinho"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KOVA E2E\\Fora"));  // never recorded: stays
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vitima");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KOVA E2E Vizinho");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KOVA E2E");
  RemoveTree(L"C:\\Vitima");
  RemoveTree(L"C:\\KOVA Param");
}

TEST_F(InstallerEndToEnd, InstallAndUninstallWaitForTheRunningProgram) {
  const std::wstring dir = L"C:\\KOVA Aberta";
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  HANDLE kova = nullptr;
  Ender end_kova{&kova};
  ASSERT_EQ(Start(L"\"" + dir + L"\\KOVA.exe\"", false, &kova), 0);
  bool marked = false;
  for (int i = 0; i < 300 && !marked; ++i) {
    HANDLE m = OpenMutexW(SYNCHRONIZE, FALSE, L"Kova_aplication");
    if (m) CloseHandle(m), marked = true;
    else Sleep(100);
  }
  ASSERT_TRUE(marked) << "KOVA.exe did not start";
  // Unattended: a distinct exit code, nothing changed.
  EXPECT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 4);
  EXPECT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 4);
  EXPECT_EQ(ReadAll(dir + L"\\KOVA.exe"), program_);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  TerminateProcess(kova, 0);
  WaitForSingleObject(kova, 10000);
  // A copy running in another session has no mark this session sees, but
  // holds its file.
  HANDLE held = CreateFileW((dir + L"\\KOVA.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 4);
  EXPECT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 4);
  CloseHandle(held);
  // Once it is closed the uninstall goes ahead.
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  EXPECT_TRUE(WaitGone(dir, 60));
}

// One setup at a time: a second one, started while the wizard is open,
// changes nothing and says why (exit code 6 unattended).
TEST_F(InstallerEndToEnd, SecondSetupIsRefusedAndAReinstallWaitsForTheCleanup) {
  HANDLE wizard = nullptr;
  Ender end{&wizard};
  ASSERT_EQ(Start(L"\"" + package_ + L"\"", false, &wizard), 0);
  ASSERT_TRUE(WaitWizard(wizard));
  EXPECT_EQ(Start(L"\"" + package_ + L"\" /S /D=C:\\KOVA Segunda", true), 6);
  EXPECT_EQ(Start(L"\"" + WinePath(Env("KOVA_E2E_UNINSTALLER")) + L"\" /S", true), 6);
  EXPECT_FALSE(Exists(L"C:\\KOVA Segunda"));
  TerminateProcess(wizard, 0);
  WaitForSingleObject(wizard, 10000);

  // A reinstall right after an uninstall waits until the uninstall's
  // cleanup has gone, so the cleanup never takes the new copy's files.
  const std::wstring dir = L"C:\\KOVA Segunda";
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  EXPECT_TRUE(WaitBatchDone(70));
  CheckInstalled(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  CheckRemoved(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
}

// Folder names Windows-1252 cannot hold: the install records them whole,
// the uninstall removes them, and a same-length name of somebody else is
// never taken for them.
TEST_F(InstallerEndToEnd, NonLatinFolderNamesAreRecordedAndToldApart) {
  const std::wstring dir = L"C:\\Оficina Анна\\KOVA", other = L"C:\\Оficina Иван";
  CreateDirectoryW(other.c_str(), nullptr);
  CreateDirectoryW((other + L"\\KOVA").c_str(), nullptr);
  WriteAll(other + L"\\KOVA\\KOVA.exe", "de outra pessoa");
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  EXPECT_EQ(ReadAll(dir + L"\\KOVA.exe"), program_);
  EXPECT_EQ(RegString(kUninstallKey, L"InstallLocation"), dir);
  std::string log = ReadAll(dir + L"\\uninstall.log");
  EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");  // kept in UTF-8
  std::vector<std::string> lines = kova::SplitLogLines(log);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "DIR=" + WideToUtf8(dir));
  EXPECT_EQ(lines[3], "DIR=" + WideToUtf8(dir) + "\\dados");
  WriteAll(dir + L"\\uninstall.log", log + WideToUtf8(other) + "\\KOVA\\KOVA.exe\r\n");
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  CheckRemoved(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
  EXPECT_EQ(ReadAll(other + L"\\KOVA\\KOVA.exe"), "de outra pessoa");
  RemoveTree(other);
  RemoveDirectoryW(L"C:\\Оficina Анна");
}

// An install killed half-way has already recorded everything it made: the
// install folder and each file in it. A second run finishes it, and the
// uninstall then leaves nothing.
TEST_F(InstallerEndToEnd, KilledInstallLeavesNothingItsLogDoesNotName) {
  const std::wstring dir = L"C:\\KOVA Morta\\Programa", log_path = dir + L"\\uninstall.log";
  const std::string exe_line = WideToUtf8(dir) + "\\KOVA.exe" + std::string(56, ' ');
  HANDLE setup = nullptr;
  Ender end{&setup};
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, false, &setup), 0);
  // Killed once the program's first part is on record.
  std::vector<std::string> log;
  auto named = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); };
  for (int i = 0; i < 20000 && WaitForSingleObject(setup, 1) == WAIT_TIMEOUT; ++i)
    if (log = kova::SplitLogLines(ReadAll(log_path)); named(exe_line)) TerminateProcess(setup, 9);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(setup, &code) && code == 9) << "the install ended before it was killed";
  log = kova::SplitLogLines(ReadAll(log_path));
  EXPECT_TRUE(named("DIR=" + WideToUtf8(dir)));
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do {
    std::wstring name = fd.cFileName;
    std::string path = WideToUtf8(dir + L"\\" + name);
    if (name == L"." || name == L".." || name == L"uninstall.log" || name == L"Desinstalar.exe") continue;
    EXPECT_TRUE(named((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "DIR=" + path
                                                                       : path + std::string(64 - name.size(), ' ')))
        << path;
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  CheckRemoved(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
  RemoveDirectoryW(L"C:\\KOVA Morta");
}

// Keys as the keyboard delivers them: to the control of the wizard's
// thread that has the focus (the window itself when none has), key down
// then key up, Alt held as the key's context bit.
void Keys(HWND window, std::initializer_list<std::pair<WORD, bool>> keys) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  for (auto [vk, alt] : keys) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : window;
    UINT scan = MapVirtualKeyW(vk, 0);
    LPARAM down = 1 | (scan << 16) | (alt ? (1 << 29) : 0);
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, down | (1u << 30) | (1u << 31));
    // Wait until the wizard has handled them.
    DWORD_PTR r;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &r);
    Sleep(150);
  }
}

TEST_F(InstallerEndToEnd, KeyboardOnlyUpgradeOverAnInstalledCopyThenCleanUninstall) {
  const std::wstring dir = L"C:\\KOVA Teclado\\Programa";
  ASSERT_EQ(Start(L"\"" + package_ + L"\" /S /D=" + dir, true), 0);
  std::vector<std::string> first = kova::SplitLogLines(ReadAll(dir + L"\\uninstall.log"));

  HANDLE process = nullptr;
  Ender end{&process};
  ASSERT_EQ(Start(L"\"" + package_ + L"\"", false, &process), 0);
  HWND main = WaitWizard(process);
  ASSERT_TRUE(main);
  Wizard w(main, 6);
  Keys(main, {{VK_RETURN, false}});
  ASSERT_EQ(w.ShownPage(), 2);
  Keys(main, {{VK_RETURN, false}});  // the terms are not accepted yet
  EXPECT_EQ(w.ShownPage(), 2);
  Keys(main, {{VK_TAB, false}, {VK_TAB, false}, {VK_SPACE, false}});  // to "Eu Aceito"
  EXPECT_EQ(SendMessageW(w.Control(2, 213), BM_GETCHECK, 0, 0), BST_CHECKED);
  Keys(main, {{VK_RETURN, false}});
  ASSERT_EQ(w.ShownPage(), 3);
  // The installed copy's folder is proposed.
  EXPECT_EQ(w.Text(w.Control(3, 223)), WideToUtf8(dir));
  Keys(main, {{'A', true}});
  ASSERT_EQ(w.ShownPage(), 4);
  Keys(main, {{'V', true}});
  ASSERT_EQ(w.ShownPage(), 3);
  Keys(main, {{VK_RETURN, false}, {VK_RETURN, false}});
  ASSERT_EQ(w.ShownPage(), 5);
  Keys(main, {{VK_RETURN, false}});  // installs
  for (int i = 0; i < 300 && w.ShownPage() != 6; ++i) Sleep(100);
  ASSERT_EQ(w.ShownPage(), 6);
  Keys(main, {{VK_RETURN, false}});
  ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);

  // The record still names what the first installation made, once.
  std::vector<std::string> second = kova::SplitLogLines(ReadAll(dir + L"\\uninstall.log"));
  for (const std::string& line : first) {
    if (line.empty() || line[0] == '#') continue;
    EXPECT_EQ(std::count(second.begin(), second.end(), line), 1) << line;
  }
  EXPECT_NE(std::find(second.begin(), second.end(), "DIR=" + WideToUtf8(dir)), second.end());

  // The uninstall removes both installations' work.
  ASSERT_EQ(Start(L"\"" + dir + L"\\Desinstalar.exe\" /S", true), 0);
  CheckRemoved(dir, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), Folder(CSIDL_COMMON_PROGRAMS));
  RemoveDirectoryW(L"C:\\KOVA Teclado");
}

// The programs import only DLLs Windows takes from the system folder
// whatever the program's folder holds (comctl32 comes through the
// manifest's side-by-side assembly).
TEST_F(InstallerEndToEnd, ProgramsImportNoDllThatCouldBePlanted) {
  for (const char* var : {"KOVA_E2E_INSTALLER", "KOVA_E2E_UNINSTALLER"}) {
    std::string pe = ReadAll(WinePath(Env(var)));
    ASSERT_GT(pe.size(), 4096u);
    auto u32 = [&](size_t at) { return *reinterpret_cast<const uint32_t*>(pe.data() + at); };
    auto u16 = [&](size_t at) { return *reinterpret_cast<const uint16_t*>(pe.data() + at); };
    size_t nt = u32(0x3C), opt = nt + 24, sections = opt + u16(nt + 20);
    uint32_t import_rva = u32(opt + 112 + 8);  // PE32+ data directory 1
    auto offset = [&](uint32_t rva) -> size_t {
      for (int i = 0; i < u16(nt + 6); ++i) {
        size_t sh = sections + 40 * i;
        uint32_t va = u32(sh + 12), size = u32(sh + 16), raw = u32(sh + 20);
        if (rva >= va && rva < va + size) return rva - va + raw;
      }
      return 0;
    };
    const std::set<std::string> system = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                          "kernel32.dll", "msvcrt.dll",   "ole32.dll",    "oleaut32.dll",
                                          "shell32.dll",  "shlwapi.dll",  "user32.dll"};
    int imports = 0;
    for (size_t d = offset(import_rva); d && u32(d + 12); d += 20, ++imports) {
      std::string n = pe.c_str() + offset(u32(d + 12));
      for (char& c : n) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(system.count(n)) << var << " imports " << n;
    }
    EXPECT_GT(imports, 0) << var;
  }
}

}  // namespace
