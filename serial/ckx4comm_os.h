// The operating-system calls under CKX4COMM, one file per platform
// (ckx4comm_win32.cpp, ckx4comm_posix.cpp). Each mirrors one Win32
// communications call with the same success/failure meaning, so the port
// object's steps read the same everywhere.
#pragma once
#include <cstdint>

#include "ckx4comm_platform.h"

namespace kova::comm {

inline constexpr uint32_t kErrorIoIncomplete = 996;
inline constexpr uint32_t kErrorIoPending = 997;

enum class MessageIcon { kNone, kExclamation };

// Opens the port of this name exclusively for reading and writing;
// kNoHandle on failure.
Handle OpenDevice(const char* name);
bool CloseDevice(Handle h);
void SetupQueues(Handle h, uint32_t input, uint32_t output);
bool GetState(Handle h, Dcb* dcb);
bool SetState(Handle h, const Dcb* dcb);
bool GetTimeouts(Handle h, Timeouts* t);
bool SetTimeouts(Handle h, const Timeouts* t);
// Reads or writes synchronously, honouring the port's timeouts.
bool ReadBytes(Handle h, void* buffer, uint32_t count, uint32_t* got);
bool WriteBytes(Handle h, const void* buffer, uint32_t count, uint32_t* written);
// Error code of the calling thread's last failed call.
uint32_t LastError();
bool OverlappedResult(Handle h, Overlapped* ov, uint32_t* transferred);
// Clears the port's error state; *errors receives the line errors found.
bool ClearErrors(Handle h, uint32_t* errors);
bool SetEventMask(Handle h, uint32_t mask);
bool WaitForEvent(Handle h, uint32_t* mask);
EventHandle CreateWatchEvent();
void CloseWatchEvent(EventHandle e);
bool GetConfig(Handle h, Config* config);
void ConfigDialog(const char* name, Config* config);
bool SetConfig(Handle h, const Config* config);
// Texts are UTF-8.
void ShowMessage(const char* text, const char* caption, MessageIcon icon);

}  // namespace kova::comm
