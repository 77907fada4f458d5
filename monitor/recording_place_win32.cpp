#include "monitor/recording_place.h"

#include "shell/win32/win32.h"
#include <shlobj.h>

#include "common/cp1252.h"
#include "store/platform_file.h"

namespace kova {

std::string RecordingFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path)) && path)
    folder = WideToUtf8(path);
  CoTaskMemFree(path);
  if (folder.empty()) folder = file::WorkingFolder();
  return file::Join(folder, "KOVA");
}

LocalTime LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace kova
