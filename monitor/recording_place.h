// Where recordings go and what time it is, one implementation per platform
// (recording_place_win32.cpp, recording_place_posix.cpp).
#pragma once
#include <string>

#include "monitor/recorder.h"

namespace kova {

// The user's documents folder + "KOVA" (UTF-8); the working folder's
// "KOVA" when the system names no documents folder.
std::string RecordingFolder();
// The local date and time now.
LocalTime LocalNow();
// The user's list separator and decimal symbol (Windows: the regional
// settings; elsewhere ";" and ",", as on a Brazilian Windows).
CsvFormat UserCsvFormat();

}  // namespace kova
