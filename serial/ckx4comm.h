// CKX4COMM: the application's one serial (COM) port. It opens a port by
// number, sets line parameters and timeouts, writes raw command bytes and
// hands back what the controller answered as hexadecimal text ("%1X|" per
// byte: B0 15 0A C0 reads as "B0|15|A|C0|").
//
// Every operation reports a CKX4COMM_RESULT (0 = success) and never throws.
// The getters of line parameters have no error channel: they return 4 when
// the port's state cannot be read.
//
// Platforms: on Windows the Win32 communications API. On POSIX systems the
// same operations run over termios; port COMn is the device named by the
// environment variable KOVA_COM<n> (for example KOVA_COM1=/dev/pts/3), else
// /dev/ttyS<n-1>; COM0 has no default device. A pseudo-terminal carries
// 8-bit characters without parity whatever is set: there the data bits and
// parity scheme are remembered and reported back, not applied. Messages go to
// stderr there.
#pragma once
#include <cstdint>

#include "ckx4comm_platform.h"

// Baud rates in bits per second, written as they are into the line state.
enum CKX4COMM_BAUDRATE : uint32_t {
  CKX4COMM_BAUD_110 = 110,
  CKX4COMM_BAUD_300 = 300,
  CKX4COMM_BAUD_600 = 600,
  CKX4COMM_BAUD_1200 = 1200,
  CKX4COMM_BAUD_2400 = 2400,
  CKX4COMM_BAUD_4800 = 4800,
  CKX4COMM_BAUD_9600 = 9600,
  CKX4COMM_BAUD_14400 = 14400,
  CKX4COMM_BAUD_19200 = 19200,
  CKX4COMM_BAUD_38400 = 38400,
  CKX4COMM_BAUD_57600 = 57600,
  CKX4COMM_BAUD_115200 = 115200,
  CKX4COMM_BAUD_128000 = 128000,
  CKX4COMM_BAUD_256000 = 256000,
};

// Data bits per character.
enum CKX4COMM_DTABIT : uint32_t {
  CKX4COMM_DTABIT_5 = 5,
  CKX4COMM_DTABIT_6 = 6,
  CKX4COMM_DTABIT_7 = 7,
  CKX4COMM_DTABIT_8 = 8,
};

// Parity scheme, coded as the line state codes it.
enum CKX4COMM_PARITY : uint32_t {
  CKX4COMM_PARITY_NONE = 0,
  CKX4COMM_PARITY_ODD = 1,
  CKX4COMM_PARITY_EVEN = 2,
  CKX4COMM_PARITY_MARK = 3,
  CKX4COMM_PARITY_SPACE = 4,
};

// Stop bits, coded as the line state codes them.
enum CKX4COMM_STPBIT : uint32_t {
  CKX4COMM_STPBIT_ONE = 0,
  CKX4COMM_STPBIT_ONE5 = 1,
  CKX4COMM_STPBIT_TWO = 2,
};

// Communication events, as the port's event mask codes them.
enum CKX4COMM_EVENTS : uint32_t {
  CKX4COMM_EV_RXCHAR = 0x0001,
  CKX4COMM_EV_RXFLAG = 0x0002,
  CKX4COMM_EV_TXEMPTY = 0x0004,
  CKX4COMM_EV_CTS = 0x0008,
  CKX4COMM_EV_DSR = 0x0010,
  CKX4COMM_EV_RLSD = 0x0020,
  CKX4COMM_EV_BREAK = 0x0040,
  CKX4COMM_EV_ERR = 0x0080,
  CKX4COMM_EV_RING = 0x0100,
};

enum CKX4COMM_RESULT : uint32_t {
  CKX4COMM_OK = 0,
  CKX4COMM_OPEN_ERROR = 3,    // not opened, or line state not read/applied while opening
  CKX4COMM_GET_ERROR = 4,     // line state or timeouts not readable
  CKX4COMM_SET_ERROR = 5,     // line state, timeouts or configuration not applied
  CKX4COMM_READ_ERROR = 6,    // read failed, returned nothing, or filled the request
  CKX4COMM_WRITE_ERROR = 7,   // write failed or wrote fewer bytes than asked
  CKX4COMM_CLOSE_ERROR = 8,   // handle not closed
  CKX4COMM_EVENT_ERROR = 9,   // event mask not set
  CKX4COMM_THREAD_ERROR = 11, // event object of the port-watch loop not created
};

class CKX4COMM {
 public:
  // Size of the text ReadPort builds, terminator included: 3333 bytes fit.
  static constexpr unsigned long kWorkTextSize = 10000;
  // What the line getters return when the port's state cannot be read.
  static constexpr unsigned char kGetterFailure = 4;

  CKX4COMM();
  virtual ~CKX4COMM();  // closes the port
  CKX4COMM(const CKX4COMM&) = delete;
  CKX4COMM& operator=(const CKX4COMM&) = delete;

  // Stores the number and names the port "COM<number>"; opens nothing.
  CKX4COMM_RESULT SetPortNumber(int number);
  int GetPortNumber();
  const char* GetPortName();
  int PortConnected();

  // Closes first when open; then opens the named port, hands the queue
  // sizes to the driver and sets every flag of the line state: binary, no
  // parity checking, no flow control, DTR and RTS raised, no error or null
  // handling, no abort on error. Speed, data bits, parity and stop bits are
  // the driver's on a first open, and those set on this port before when it
  // is opened again. A failure after the device opened leaves the port open
  // (connected).
  CKX4COMM_RESULT OpenPort();
  // Closing a closed port succeeds; a failed close keeps the port open.
  CKX4COMM_RESULT ClosePort();

  // Reads what has arrived (at most `requested` bytes) and replaces it in
  // `buffer` by its text, terminated; `length` receives the text length.
  // CKX4COMM_READ_ERROR when the read fails, delivers nothing, or fills
  // `requested` exactly (length untouched). A failed read clears the port's
  // error state; when that fails too the device is gone and the port is
  // closed (PortConnected() 0), so it can be opened again when it is back. A first byte 0x00 gives an empty
  // text, length 0 and CKX4COMM_OK. The text never exceeds the work text
  // nor `requested` (terminator included): an answer too long for either is
  // cut after the last byte whose "%1X|" fits, so nothing is written past
  // the caller's buffer.
  CKX4COMM_RESULT ReadPort(unsigned char* buffer, unsigned long requested,
                           unsigned long* length);
  // Writes `count` raw bytes; `written` receives the driver's count.
  // CKX4COMM_OK only when the driver took all of them. A failed write clears
  // the error state, and closes the port as a read does when it cannot.
  CKX4COMM_RESULT WritePort(unsigned char* const buffer, unsigned long count,
                            unsigned long* written);

  // Each reads the open port's live line state (CKX4COMM_GET_ERROR, also
  // when closed), changes one field and applies it (CKX4COMM_SET_ERROR).
  // Nothing is remembered for a later open.
  CKX4COMM_RESULT SetPortBaudRate(CKX4COMM_BAUDRATE baud);
  CKX4COMM_RESULT SetPortDtaBit(CKX4COMM_DTABIT bits);
  CKX4COMM_RESULT SetPortParity(CKX4COMM_PARITY parity);
  CKX4COMM_RESULT SetPortStopBit(CKX4COMM_STPBIT stop);

  // Live values, or 4 when the state cannot be read. GetPortParity tells
  // whether parity checking is on (1/0), not the scheme SetPortParity sets.
  unsigned long GetPortBaudRate();
  unsigned char GetPortDtaBit();
  unsigned char GetPortStopBit();
  unsigned char GetPortParity();

  // Refreshes the stored timeouts from the port.
  CKX4COMM_RESULT GetCommunicationTimeouts();
  // Reads the port's timeouts (CKX4COMM_GET_ERROR), replaces all five and
  // applies them (CKX4COMM_SET_ERROR). Milliseconds; an interval of
  // 0xFFFFFFFF with zero totals makes reads return at once.
  CKX4COMM_RESULT SetCommunicationTimeouts(unsigned long read_interval,
                                           unsigned long read_multiplier,
                                           unsigned long read_constant,
                                           unsigned long write_multiplier,
                                           unsigned long write_constant);
  // The working copies, as last read or applied.
  const kova::comm::Timeouts& StoredTimeouts() const { return m_timeouts; }
  const kova::comm::Dcb& StoredLineState() const { return m_dcb; }

  CKX4COMM_RESULT SetEventMonitor(CKX4COMM_EVENTS mask);
  // Waits for one received-character, event-character, CTS or DSR event;
  // returns 1.
  unsigned long WaitEvent();
  // Port-watch loop: waits for port events while connected. The text is
  // unused. "Falha ao Criar o thread!" and CKX4COMM_THREAD_ERROR when its
  // event cannot be created.
  unsigned long ProcPorta(char* text);
  // The system's configuration dialog for this port, then applies the
  // choice: 0, or 5 when the configuration cannot be read or applied.
  int WindowsConfigScreen();
  // Part of the port's interface with nothing to do: CKX4COMM_OK.
  CKX4COMM_RESULT GetPortExistent();

 private:
  // Reads the live state into the working copy, lets `change` edit it and
  // applies it.
  template <typename Change>
  CKX4COMM_RESULT ChangeLine(Change change);
  bool ReadLineState();
  static void SetLineFlags(kova::comm::Dcb& dcb);
  // Clears the error state after a failed transfer; false, with the port
  // closed, when the device no longer answers.
  bool ClearAfterFailure(uint32_t* line_errors);

  kova::comm::Handle m_port_handle;
  uint32_t m_input_queue_size;
  uint32_t m_output_queue_size;
  kova::comm::Timeouts m_timeouts;
  kova::comm::Overlapped m_overlapped;
  char m_port_name[8];
  int32_t m_port_number;
  kova::comm::Dcb m_dcb;
  kova::comm::Config m_config;
  int32_t m_connected;
  char m_open_name[8];  // the name the handle was opened with
};
