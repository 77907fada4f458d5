// Records of the serial port object on Windows: the communications API's
// own records, used as they are.
#pragma once
#include <windows.h>

namespace kova::comm {

using Handle = HANDLE;
inline const Handle kNoHandle = nullptr;
using EventHandle = HANDLE;
inline const EventHandle kNoEvent = nullptr;
using Dcb = DCB;
using Timeouts = COMMTIMEOUTS;
using Overlapped = OVERLAPPED;
using Config = COMMCONFIG;

inline constexpr unsigned kDtrControlEnable = DTR_CONTROL_ENABLE;
inline constexpr unsigned kRtsControlEnable = RTS_CONTROL_ENABLE;

}  // namespace kova::comm
