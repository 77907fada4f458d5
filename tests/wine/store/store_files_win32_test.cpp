// The store's file access on Windows: wide-character paths, exclusive dump
// files, replacement of parameter files, KOVA.INI and its fallback.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/cp1252.h"
#include "store/ckx4data.h"
#include "store/ckx4file.h"
#include "store/diagnostic_dump.h"
#include "screens/file_actions.h"
#include "store/platform_file.h"
#include "store/settings.h"
#include "tests/support/fake_view.h"

namespace {

std::string Folder(const char* name) {
  wchar_t tmp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, tmp);
  std::string dir = kova::WideToUtf8(tmp) + name + "-" + std::to_string(::GetCurrentProcessId());
  kova::file::MakeFolders(dir);
  return dir;
}

std::string Value(CKX4DATA& s, const char* kw) {
  std::string v;
  return s.GetText(kw, v) ? v : std::string("<absent>");
}

TEST(StoreFilesWin32, AccentedFileNamesSaveAndLoadBack) {
  std::string dir = Folder("kova-files");
  std::string path = dir + "\\Configuração São João.VELA";  // UTF-8 source text
  ::DeleteFileW(kova::Utf8ToWide(path).c_str());
  CKX4DATA eq, fs;
  eq.Add("15", "58");
  eq.Add("16", "2");
  kova::CustomerRecord c;
  c.Set(kova::CustomerRecord::kClientes, kova::Utf8ToCp1252("João"));
  std::string cur, applicable;
  unsigned char src = 0, loaded = 0;
  kova::FakeView view;
  view.dialog_answers.push_back(path);
  kova::ParameterFileContext ctx{eq, fs, c, cur, applicable, 1, src, loaded, view, 7};
  ASSERT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kDone);
  // The name on disk is the wide form of the text, not its UTF-8 bytes.
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((kova::Utf8ToWide(dir) + L"\\Configura\u00e7\u00e3o*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ::FindClose(h);
  EXPECT_EQ(std::wstring(fd.cFileName), L"Configura\u00e7\u00e3o S\u00e3o Jo\u00e3o.VELA");

  CKX4DATA eq2, fs2;
  eq2.Add("15", "0");
  eq2.Add("16", "0");
  kova::CustomerRecord c2;
  view.dialog_answers.push_back(path);
  kova::ParameterFileContext ctx2{eq2, fs2, c2, cur, applicable, 1, src, loaded, view, 7};
  ASSERT_EQ(kova::LoadParameterFile(ctx2), kova::FileAction::kDone);
  EXPECT_EQ(Value(fs2, "15"), "58");
  EXPECT_EQ(Value(fs2, "16"), "2");
  EXPECT_EQ(c2.Get(kova::CustomerRecord::kClientes), "Jo\xe3o");
}

// The files in a folder, by name.
std::vector<std::wstring> FilesIn(const std::string& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((L"\\\\?\\" + kova::Utf8ToWide(dir) + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return names;
}

// A parameter file another program has open without delete sharing (an
// antivirus scan, Excel), in a folder past the classic 260 characters. Held
// all along, the save says so and the file stays as it was; held for 300 ms,
// the save waits and writes both sections. Nothing is left beside the file.
TEST(StoreFilesWin32, SavingAHeldFileInALongPath) {
  std::string dir = Folder("kova-held");
  for (int i = 0; dir.size() < 300; ++i) {
    dir += "\\pasta-de-clientes-" + std::to_string(i);
    ASSERT_TRUE(kova::file::MakeFolders(dir)) << dir;
  }
  const std::string path = dir + "\\Oficina São João.VELA", old_text = "[VELA]\r\nMarca=Fiat\r\n";
  ASSERT_TRUE(kova::file::ReplaceAtomically(path, old_text));
  CKX4DATA eq, fs;
  eq.Add("15", "58");
  kova::CustomerRecord c;
  c.Set(kova::CustomerRecord::kMarca, "VW");
  std::string cur, applicable;
  unsigned char src = 0, loaded = 0;
  kova::FakeView view;
  kova::ParameterFileContext ctx{eq, fs, c, cur, applicable, 1, src, loaded, view, 7};
  for (bool released : {false, true}) {
    HANDLE held = ::CreateFileW((L"\\\\?\\" + kova::Utf8ToWide(path)).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release;
    if (released) release = std::thread([held] { ::Sleep(300), ::CloseHandle(held); });
    view.messages.clear();
    view.dialog_answers.push_back(path);
    view.answers.push_back(kova::kIdYes);
    const kova::FileAction saved = kova::SaveParameterFile(ctx);
    if (released) {
      release.join();
      EXPECT_EQ(saved, kova::FileAction::kDone);
      const std::string text = kova::file::ReadAll(path).value_or("");
      EXPECT_EQ(text.rfind("[VELA]\r\nMarca=VW\r\n", 0), 0u) << text;
      EXPECT_NE(text.find("[CONFIG_VELA]\r\n15=58\r\n"), std::string::npos) << text;
    } else {
      ::CloseHandle(held);
      EXPECT_EQ(saved, kova::FileAction::kFailed);
      ASSERT_EQ(view.messages.size(), 2u);
      EXPECT_EQ(view.messages[1].text, kova::kSaveInUseText);
      EXPECT_EQ(kova::file::ReadAll(path).value_or(""), old_text);
    }
    EXPECT_EQ(FilesIn(dir), (std::vector<std::wstring>{L"Oficina S\u00e3o Jo\u00e3o.VELA"}));
  }
}

TEST(StoreFilesWin32, AReadOnlyParameterFileIsReportedAndKept) {
  std::string path = Folder("kova-files") + "\\locked.BRIO";
  std::wstring w = kova::Utf8ToWide(path);
  ::SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(w.c_str());
  ASSERT_TRUE(kova::file::ReplaceAtomically(path, "[CONFIG_BRIO]\r\n10=1\r\n"));
  ASSERT_TRUE(::SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_READONLY));
  CKX4DATA s;
  s.Add("10", "2");
  EXPECT_EQ(s.WriteConfigINI(path, "BRIO"), -2);
  EXPECT_EQ(kova::file::ReadAll(path).value_or(""), "[CONFIG_BRIO]\r\n10=1\r\n");
  ::SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(s.WriteConfigINI(path, "BRIO"), 0);
  EXPECT_EQ(kova::file::ReadAll(path).value_or(""), "[CONFIG_BRIO]\r\n10=2\r\n");
}

TEST(StoreFilesWin32, DumpFileIsExclusiveAndReadsBackAsFixedLines) {
  std::string dir = Folder("kova-dump");
  CKX4DATA s;
  s.Add("20", "1");
  s.Add("15", "1A");
  s.Add("1E", "FF");
  CKX4FILE f;
  EXPECT_EQ(f.KX4OpenFile("Q:\\no\\such\\folder\\x.txt"), CKX4FILE_OPEN_ERROR);
  ASSERT_TRUE(kova::DiagnosticDump(f, s, 1, dir));
  std::string path = kova::DiagnosticDumpPath(1, dir);
  EXPECT_EQ(kova::file::ReadAll(path).value_or(""),
            "000000=|15|-1|1A|\r\n000001=|1E|-1|FF|\r\n000002=|20|-1|1|\r\n");

  ASSERT_EQ(f.KX4OpenFile(path), CKX4FILE_OK);
  HANDLE other = ::CreateFileW(kova::Utf8ToWide(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);  // no sharing while it is open
  if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
  f.KX4CloseFile();

  ASSERT_TRUE(kova::file::ReplaceAtomically(path, "ABCDEFGHIJKLMNOPQ\r\n0123456789ABCDEFG\r\n"));
  std::string text;
  ASSERT_EQ(f.KX4ReadFile(text, path), CKX4FILE_OK);
  EXPECT_EQ(text, "ABCDEFGHIJKLMNOPQ0123456789ABCDEFG");
  f.KX4CloseFile();
  EXPECT_EQ(kova::file::DumpFolder(), "c:\\temp");
}

TEST(StoreFilesWin32, SettingsFallBackToTheUserFolder) {
  std::string work = Folder("kova-work");
  std::string user = Folder("kova-user") + "\\KOVA";
  ::DeleteFileW(kova::Utf8ToWide(work + "\\KOVA.INI").c_str());
  kova::SettingsFolders f{work, user};
  int port = 4;
  EXPECT_EQ(kova::PortSetting(f, "VELA", port, "SET"), 0);
  EXPECT_EQ(kova::file::ReadAll(work + "\\KOVA.INI").value_or(""), "[CONFIG_VELA]\r\nCOM=4\r\n");

  // A working folder that cannot take files: the per-user folder instead.
  std::string blocked = work + "\\KOVA.INI\\sub";
  kova::SettingsFolders g{blocked, user};
  port = 9;
  EXPECT_EQ(kova::PortSetting(g, "BRIO", port, "SET"), 0);
  EXPECT_EQ(kova::file::ReadAll(user + "\\KOVA.INI").value_or(""), "[CONFIG_BRIO]\r\nCOM=9\r\n");
  port = 0;
  EXPECT_EQ(kova::PortSetting(g, "BRIO", port, "GET"), 0);
  EXPECT_EQ(port, 9);

  std::string appdata = kova::file::UserSettingsFolder();
  EXPECT_EQ(appdata.substr(appdata.size() - 5), "\\KOVA");
}

}  // namespace

namespace {

// The default fatal-error path: the stop box captioned "CKX4DATA ERROR",
// then the calling thread ends with 0xFFFFFFFF while the entry stays.
DWORD WINAPI FillSmallStore(void* param) {
  auto* s = static_cast<CKX4DATA*>(param);
  s->Add("1", "a");
  s->Add("2", "b");
  s->Add("3", "c");
  return 0;  // not reached
}

TEST(StoreErrorWin32, FullStoreShowsTheStopBoxAndEndsTheThread) {
  CKX4DATA s(3);
  HANDLE t = ::CreateThread(nullptr, 0, FillSmallStore, &s, 0, nullptr);
  ASSERT_NE(t, nullptr);
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; ++i) {
    box = ::FindWindowW(L"#32770", L"CKX4DATA ERROR");
    if (!box) ::Sleep(50);
  }
  ASSERT_NE(box, nullptr) << "no message box";
  wchar_t text[512] = {};
  ::GetDlgItemTextW(box, 0xFFFF, text, 512);  // the static text of a message box
  EXPECT_EQ(kova::WideToUtf8(text), CKX4DATA::ErrorText(2));
  EXPECT_TRUE(::GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(::WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeThread(t, &code);
  ::CloseHandle(t);
  EXPECT_EQ(code, 0xFFFFFFFFu);
  EXPECT_EQ(s.GetQtyUsed(), 3u);
  EXPECT_EQ(Value(s, "3"), "c");
}

}  // namespace
