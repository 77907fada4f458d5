#include "monitor/recording_place.h"

#include <sys/time.h>

#include <cstdlib>
#include <ctime>

namespace kova {

CsvFormat UserCsvFormat() { return {}; }

LocalTime LocalNow() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  time_t secs = tv.tv_sec;
  localtime_r(&secs, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     static_cast<int>(tv.tv_usec / 1000)};
}

}  // namespace kova
