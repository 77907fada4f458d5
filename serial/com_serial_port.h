// The product's SerialPort: forwards every call to the application's
// CKX4COMM, so the controller exchange talks to the real port.
#pragma once
#include <memory>

#include "serial/serial_port.h"

class CKX4COMM;

namespace kova {

class ComSerialPort : public SerialPort {
 public:
  explicit ComSerialPort(CKX4COMM& port) : port_(port) {}
  int SetPortNumber(int number) override;
  int GetPortNumber() override;
  int OpenPort() override;
  int ClosePort() override;
  int PortConnected() override;
  int SetPortBaudRate(unsigned long baud) override;
  int SetPortDtaBit(unsigned char bits) override;
  int SetPortStopBit(unsigned char stop) override;
  int SetPortParity(unsigned char parity) override;
  int SetCommunicationTimeouts(unsigned long read_interval, unsigned long read_multiplier,
                               unsigned long read_constant, unsigned long write_multiplier,
                               unsigned long write_constant) override;
  int ReadPort(unsigned char* buffer, unsigned long requested, unsigned long* length) override;
  int WritePort(const unsigned char* buffer, unsigned long count,
                unsigned long* written) override;

 private:
  CKX4COMM& port_;
};

// A port object of its own, for asking another port than the
// application's: COM<number> opened, closed again when the object goes.
// Nothing when it does not open.
std::unique_ptr<SerialPort> OpenOwnComPort(int number);

}  // namespace kova
