// A serial port on which everything succeeds and nothing happens: port 1,
// open and connected, writes take every byte, reads bring no text. Tests
// derive from it and override only the calls they watch or answer.
#pragma once
#include "serial/serial_port.h"

namespace kova {

class NullSerialPort : public SerialPort {
 public:
  int SetPortNumber(int) override { return 0; }
  int GetPortNumber() override { return 1; }
  int OpenPort() override { return 0; }
  int ClosePort() override { return 0; }
  int PortConnected() override { return 1; }
  int SetPortBaudRate(unsigned long) override { return 0; }
  int SetPortDtaBit(unsigned char) override { return 0; }
  int SetPortStopBit(unsigned char) override { return 0; }
  int SetPortParity(unsigned char) override { return 0; }
  int SetCommunicationTimeouts(unsigned long, unsigned long, unsigned long, unsigned long,
                               unsigned long) override {
    return 0;
  }
  int ReadPort(unsigned char* buffer, unsigned long requested, unsigned long* length) override {
    if (requested > 0) buffer[0] = 0;
    *length = 0;
    return 0;
  }
  int WritePort(const unsigned char*, unsigned long count, unsigned long* written) override {
    *written = count;
    return 0;
  }
};

}  // namespace kova
