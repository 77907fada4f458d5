#include "serial/ckx4comm.h"

#include <cstdio>
#include <cstring>

#include "serial/answer_text.h"
#include "serial/ckx4comm_os.h"

namespace os = kova::comm;

CKX4COMM::CKX4COMM()
    : m_port_handle(os::kNoHandle),
      m_input_queue_size(10000),
      m_output_queue_size(10000),
      m_timeouts{},
      m_overlapped{},
      m_port_name{},
      m_port_number(0),
      m_dcb{},
      m_config{},
      m_connected(0),
      m_open_name{} {}

CKX4COMM::~CKX4COMM() { ClosePort(); }

CKX4COMM_RESULT CKX4COMM::SetPortNumber(int number) {
  m_port_number = number;
  // The name holds 7 characters: a number too long for it is cut rather
  // than written past the name.
  std::snprintf(m_port_name, sizeof m_port_name, "COM%d", number);
  return CKX4COMM_OK;
}

int CKX4COMM::GetPortNumber() { return m_port_number; }
const char* CKX4COMM::GetPortName() { return m_port_name; }
int CKX4COMM::PortConnected() { return m_connected; }

CKX4COMM_RESULT CKX4COMM::OpenPort() {
  // Reopening the same port keeps the line settings made on it: the driver
  // need not carry them from one handle to the next.
  const bool reopening = m_connected && std::strcmp(m_open_name, m_port_name) == 0;
  const os::Dcb before = m_dcb;
  if (m_connected) ClosePort();
  m_port_handle = os::OpenDevice(m_port_name);
  if (m_port_handle == os::kNoHandle) return CKX4COMM_OPEN_ERROR;
  m_connected = 1;
  std::memcpy(m_open_name, m_port_name, sizeof m_open_name);
  os::SetupQueues(m_port_handle, m_input_queue_size, m_output_queue_size);
  if (!os::GetState(m_port_handle, &m_dcb)) return CKX4COMM_OPEN_ERROR;
  if (reopening) {
    m_dcb.BaudRate = before.BaudRate;
    m_dcb.ByteSize = before.ByteSize;
    m_dcb.Parity = before.Parity;
    m_dcb.StopBits = before.StopBits;
  }
  SetLineFlags(m_dcb);
  if (!os::SetState(m_port_handle, &m_dcb)) return CKX4COMM_OPEN_ERROR;
  return CKX4COMM_OK;
}

void CKX4COMM::SetLineFlags(kova::comm::Dcb& dcb) {
  // Every flag is set here rather than kept from whatever used the port
  // last: a left-over abort-on-error would make every read after one
  // framing error fail, and null stripping would eat the controller's 00
  // bytes. No flow control: the controller drives neither CTS nor DSR, and
  // it expects DTR and RTS held up.
  dcb.fBinary = 1;
  dcb.fParity = 0;
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDtrControl = os::kDtrControlEnable;
  dcb.fDsrSensitivity = 0;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fErrorChar = 0;
  dcb.fNull = 0;
  dcb.fRtsControl = os::kRtsControlEnable;
  dcb.fAbortOnError = 0;
  // Unused without XON/XOFF, but drivers refuse equal characters or limits
  // beyond the queue.
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.ErrorChar = 0;
  dcb.EofChar = 0;
  dcb.EvtChar = 0;
}

bool CKX4COMM::ClearAfterFailure(uint32_t* line_errors) {
  // A failed transfer leaves the driver's error state set; clearing it lets
  // the next one through. When even that fails the device is gone (an
  // adapter unplugged, a laptop that slept): the handle is let go so the
  // port can be opened afresh once it is back.
  uint32_t ignored = 0;
  if (os::ClearErrors(m_port_handle, line_errors ? line_errors : &ignored)) return true;
  os::CloseDevice(m_port_handle);
  m_port_handle = os::kNoHandle;
  m_connected = 0;
  return false;
}

CKX4COMM_RESULT CKX4COMM::ClosePort() {
  if (m_connected && !os::CloseDevice(m_port_handle)) return CKX4COMM_CLOSE_ERROR;
  m_connected = 0;
  m_port_handle = os::kNoHandle;
  return CKX4COMM_OK;
}

CKX4COMM_RESULT CKX4COMM::ReadPort(unsigned char* buffer, unsigned long requested,
                                   unsigned long* length) {
  if (buffer == nullptr) return CKX4COMM_READ_ERROR;
  const uint32_t ask = requested > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(requested);
  uint32_t got = 0;
  if (!os::ReadBytes(m_port_handle, buffer, ask, &got)) {
    if (m_connected) ClearAfterFailure(nullptr);
    return CKX4COMM_READ_ERROR;
  }
  return static_cast<CKX4COMM_RESULT>(
      kova::RenderReadAnswer(buffer, ask, got, length, kWorkTextSize));
}

CKX4COMM_RESULT CKX4COMM::WritePort(unsigned char* const buffer, unsigned long count,
                                    unsigned long* written) {
  unsigned long ignored = 0;
  if (written == nullptr) written = &ignored;
  *written = 0;
  if (buffer == nullptr && count != 0) return CKX4COMM_WRITE_ERROR;
  const uint32_t want = count > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(count);
  uint32_t done = 0;
  if (os::WriteBytes(m_port_handle, buffer, want, &done)) {
    *written = done;
    // A write that timed out part-way still "succeeds" at the driver.
    return done == count ? CKX4COMM_OK : CKX4COMM_WRITE_ERROR;
  }
  *written = done;
  if (os::LastError() == os::kErrorIoPending) {
    unsigned long accumulated = 0;
    for (;;) {
      uint32_t part = 0;
      const bool finished = os::OverlappedResult(m_port_handle, &m_overlapped, &part);
      *written = part;
      if (finished) return part + accumulated == count ? CKX4COMM_OK : CKX4COMM_WRITE_ERROR;
      if (os::LastError() == os::kErrorIoIncomplete) {
        accumulated += part;
        if (accumulated > count) return CKX4COMM_WRITE_ERROR;
        continue;
      }
      uint32_t line_errors = 0;
      if (!ClearAfterFailure(&line_errors) || line_errors != 0) return CKX4COMM_WRITE_ERROR;
      return part + accumulated == count ? CKX4COMM_OK : CKX4COMM_WRITE_ERROR;
    }
  }
  // Any other failure: the bytes did not leave.
  if (m_connected) ClearAfterFailure(nullptr);
  return CKX4COMM_WRITE_ERROR;
}

template <typename Change>
CKX4COMM_RESULT CKX4COMM::ChangeLine(Change change) {
  os::Dcb live{};
  if (!os::GetState(m_port_handle, &live)) return CKX4COMM_GET_ERROR;
  m_dcb = live;
  change(m_dcb);
  if (!os::SetState(m_port_handle, &m_dcb)) return CKX4COMM_SET_ERROR;
  return CKX4COMM_OK;
}

CKX4COMM_RESULT CKX4COMM::SetPortBaudRate(CKX4COMM_BAUDRATE baud) {
  return ChangeLine([baud](os::Dcb& d) { d.BaudRate = baud; });
}
CKX4COMM_RESULT CKX4COMM::SetPortDtaBit(CKX4COMM_DTABIT bits) {
  return ChangeLine([bits](os::Dcb& d) { d.ByteSize = static_cast<uint8_t>(bits); });
}
CKX4COMM_RESULT CKX4COMM::SetPortParity(CKX4COMM_PARITY parity) {
  return ChangeLine([parity](os::Dcb& d) { d.Parity = static_cast<uint8_t>(parity); });
}
CKX4COMM_RESULT CKX4COMM::SetPortStopBit(CKX4COMM_STPBIT stop) {
  return ChangeLine([stop](os::Dcb& d) { d.StopBits = static_cast<uint8_t>(stop); });
}

bool CKX4COMM::ReadLineState() {
  os::Dcb live{};
  if (!os::GetState(m_port_handle, &live)) return false;
  m_dcb = live;
  return true;
}

unsigned long CKX4COMM::GetPortBaudRate() {
  return ReadLineState() ? m_dcb.BaudRate : kGetterFailure;
}
unsigned char CKX4COMM::GetPortDtaBit() {
  return ReadLineState() ? m_dcb.ByteSize : kGetterFailure;
}
unsigned char CKX4COMM::GetPortStopBit() {
  return ReadLineState() ? m_dcb.StopBits : kGetterFailure;
}
unsigned char CKX4COMM::GetPortParity() {
  return ReadLineState() ? static_cast<unsigned char>(m_dcb.fParity) : kGetterFailure;
}

CKX4COMM_RESULT CKX4COMM::GetCommunicationTimeouts() {
  os::Timeouts live{};
  if (!os::GetTimeouts(m_port_handle, &live)) return CKX4COMM_GET_ERROR;
  m_timeouts = live;
  return CKX4COMM_OK;
}

CKX4COMM_RESULT CKX4COMM::SetCommunicationTimeouts(unsigned long read_interval,
                                                   unsigned long read_multiplier,
                                                   unsigned long read_constant,
                                                   unsigned long write_multiplier,
                                                   unsigned long write_constant) {
  if (GetCommunicationTimeouts() != CKX4COMM_OK) return CKX4COMM_GET_ERROR;
  m_timeouts.ReadIntervalTimeout = static_cast<uint32_t>(read_interval);
  m_timeouts.ReadTotalTimeoutMultiplier = static_cast<uint32_t>(read_multiplier);
  m_timeouts.ReadTotalTimeoutConstant = static_cast<uint32_t>(read_constant);
  m_timeouts.WriteTotalTimeoutMultiplier = static_cast<uint32_t>(write_multiplier);
  m_timeouts.WriteTotalTimeoutConstant = static_cast<uint32_t>(write_constant);
  if (!os::SetTimeouts(m_port_handle, &m_timeouts)) return CKX4COMM_SET_ERROR;
  return CKX4COMM_OK;
}

CKX4COMM_RESULT CKX4COMM::SetEventMonitor(CKX4COMM_EVENTS mask) {
  return os::SetEventMask(m_port_handle, mask) ? CKX4COMM_OK : CKX4COMM_EVENT_ERROR;
}

unsigned long CKX4COMM::WaitEvent() {
  os::SetEventMask(m_port_handle, CKX4COMM_EV_RXCHAR | CKX4COMM_EV_RXFLAG | CKX4COMM_EV_CTS |
                                      CKX4COMM_EV_DSR);
  uint32_t which = 0;
  os::WaitForEvent(m_port_handle, &which);
  return 1;
}

unsigned long CKX4COMM::ProcPorta(char* /*text*/) {
  const os::EventHandle event = os::CreateWatchEvent();
  if (event == os::kNoEvent) {
    os::ShowMessage("Falha ao Criar o thread!", "Error!", os::MessageIcon::kExclamation);
    return CKX4COMM_THREAD_ERROR;
  }
  while (m_connected) {
    uint32_t mask = 0;
    os::WaitForEvent(m_port_handle, &mask);
  }
  os::CloseWatchEvent(event);
  return CKX4COMM_OK;
}

int CKX4COMM::WindowsConfigScreen() {
  m_config.dwSize = 52;
  if (m_port_handle == os::kNoHandle)
    os::ShowMessage("A porta serial não foi aberta!", "Atenção", os::MessageIcon::kNone);
  if (!os::GetConfig(m_port_handle, &m_config)) return CKX4COMM_SET_ERROR;
  os::ConfigDialog(m_port_name, &m_config);
  return os::SetConfig(m_port_handle, &m_config) ? CKX4COMM_OK : CKX4COMM_SET_ERROR;
}

CKX4COMM_RESULT CKX4COMM::GetPortExistent() { return CKX4COMM_OK; }
