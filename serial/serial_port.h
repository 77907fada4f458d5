// What the controller exchange needs of a serial port: the operations of
// CKX4COMM that it calls, with CKX4COMM's result codes. The product adapts a
// CKX4COMM (ComSerialPort); tests plug in the in-process simulated
// controller. CKX4COMM itself stays a plain class with no virtuals.
#pragma once
#include <cstdint>

namespace kova {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  virtual int SetPortNumber(int number) = 0;
  virtual int GetPortNumber() = 0;
  virtual int OpenPort() = 0;
  virtual int ClosePort() = 0;
  virtual int PortConnected() = 0;
  virtual int SetPortBaudRate(unsigned long baud) = 0;
  virtual int SetPortDtaBit(unsigned char bits) = 0;
  virtual int SetPortStopBit(unsigned char stop) = 0;
  virtual int SetPortParity(unsigned char parity) = 0;
  virtual int SetCommunicationTimeouts(unsigned long read_interval,
                                       unsigned long read_multiplier,
                                       unsigned long read_constant,
                                       unsigned long write_multiplier,
                                       unsigned long write_constant) = 0;
  // Same contract as CKX4COMM::ReadPort: the buffer receives the "%1X|" text.
  virtual int ReadPort(unsigned char* buffer, unsigned long requested,
                       unsigned long* length) = 0;
  virtual int WritePort(const unsigned char* buffer, unsigned long count,
                        unsigned long* written) = 0;
};

}  // namespace kova
