#include "monitor/recording_place.h"

#include "shell/win32/win32.h"

#include <string>

#include "common/cp1252.h"

namespace kova {

CsvFormat UserCsvFormat() {
  // What Excel splits a CSV line with, and reads a decimal number by.
  auto setting = [](LCTYPE type) {
    wchar_t value[8] = {};
    int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, value, 8);
    return n > 1 ? WideToUtf8(std::wstring(value, static_cast<size_t>(n - 1))) : std::string();
  };
  return {setting(LOCALE_SLIST), setting(LOCALE_SDECIMAL)};
}

LocalTime LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace kova
