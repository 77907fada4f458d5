#include "monitor/recording_place.h"

#include "shell/win32/win32.h"

namespace kova {

LocalTime LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace kova
