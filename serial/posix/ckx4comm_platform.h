// Records of the serial port object on POSIX systems. They mirror the
// Windows communications records field for field, so the port object keeps
// one shape on every platform; the termios layer translates them.
#pragma once
#include <cstdint>

namespace kova::comm {

struct PosixPort;  // open device: descriptor plus what termios cannot hold
using Handle = PosixPort*;
inline constexpr Handle kNoHandle = nullptr;
using EventHandle = int;
inline constexpr EventHandle kNoEvent = -1;

struct Dcb {
  uint32_t DCBlength;
  uint32_t BaudRate;
  uint32_t fBinary : 1;
  uint32_t fParity : 1;
  uint32_t fOutxCtsFlow : 1;
  uint32_t fOutxDsrFlow : 1;
  uint32_t fDtrControl : 2;
  uint32_t fDsrSensitivity : 1;
  uint32_t fTXContinueOnXoff : 1;
  uint32_t fOutX : 1;
  uint32_t fInX : 1;
  uint32_t fErrorChar : 1;
  uint32_t fNull : 1;
  uint32_t fRtsControl : 2;
  uint32_t fAbortOnError : 1;
  uint32_t fDummy2 : 17;
  uint16_t wReserved;
  uint16_t XonLim;
  uint16_t XoffLim;
  uint8_t ByteSize;
  uint8_t Parity;
  uint8_t StopBits;
  char XonChar;
  char XoffChar;
  char ErrorChar;
  char EofChar;
  char EvtChar;
  uint16_t wReserved1;
};

struct Timeouts {
  uint32_t ReadIntervalTimeout;
  uint32_t ReadTotalTimeoutMultiplier;
  uint32_t ReadTotalTimeoutConstant;
  uint32_t WriteTotalTimeoutMultiplier;
  uint32_t WriteTotalTimeoutConstant;
};

struct Overlapped {
  uintptr_t Internal;
  uintptr_t InternalHigh;
  uint32_t Offset;
  uint32_t OffsetHigh;
  void* hEvent;
};

struct Config {
  uint32_t dwSize;
  uint16_t wVersion;
  uint16_t wReserved;
  Dcb dcb;
  uint32_t dwProviderSubType;
  uint32_t dwProviderOffset;
  uint32_t dwProviderSize;
  wchar_t wcProviderData[1];
};

inline constexpr unsigned kDtrControlEnable = 1;
inline constexpr unsigned kRtsControlEnable = 1;

}  // namespace kova::comm
