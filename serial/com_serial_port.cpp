#include "serial/com_serial_port.h"

#include "serial/ckx4comm.h"

namespace kova {
namespace {

struct OwnComm {
  CKX4COMM comm;
};

// The port object comes first, so it outlives the adapter that uses it.
class OwnComPort final : private OwnComm, public ComSerialPort {
 public:
  OwnComPort() : ComSerialPort(comm) {}
};

}  // namespace

std::unique_ptr<SerialPort> OpenOwnComPort(int number) {
  auto port = std::make_unique<OwnComPort>();
  port->SetPortNumber(number);
  if (port->OpenPort() != CKX4COMM_OK) return nullptr;
  return port;
}

int ComSerialPort::SetPortNumber(int number) { return port_.SetPortNumber(number); }
int ComSerialPort::GetPortNumber() { return port_.GetPortNumber(); }
int ComSerialPort::OpenPort() { return port_.OpenPort(); }
int ComSerialPort::ClosePort() { return port_.ClosePort(); }
int ComSerialPort::PortConnected() { return port_.PortConnected(); }
int ComSerialPort::SetPortBaudRate(unsigned long baud) {
  return port_.SetPortBaudRate(static_cast<CKX4COMM_BAUDRATE>(baud));
}
int ComSerialPort::SetPortDtaBit(unsigned char bits) {
  return port_.SetPortDtaBit(static_cast<CKX4COMM_DTABIT>(bits));
}
int ComSerialPort::SetPortStopBit(unsigned char stop) {
  return port_.SetPortStopBit(static_cast<CKX4COMM_STPBIT>(stop));
}
int ComSerialPort::SetPortParity(unsigned char parity) {
  return port_.SetPortParity(static_cast<CKX4COMM_PARITY>(parity));
}
int ComSerialPort::SetCommunicationTimeouts(unsigned long read_interval,
                                            unsigned long read_multiplier,
                                            unsigned long read_constant,
                                            unsigned long write_multiplier,
                                            unsigned long write_constant) {
  return port_.SetCommunicationTimeouts(read_interval, read_multiplier, read_constant,
                                        write_multiplier, write_constant);
}
int ComSerialPort::ReadPort(unsigned char* buffer, unsigned long requested,
                            unsigned long* length) {
  return port_.ReadPort(buffer, requested, length);
}
int ComSerialPort::WritePort(const unsigned char* buffer, unsigned long count,
                             unsigned long* written) {
  // CKX4COMM never writes into the bytes it sends.
  return port_.WritePort(const_cast<unsigned char*>(buffer), count, written);
}

}  // namespace kova
