// An in-process serial link to a ControllerSim for tests: reads and writes
// give exactly CKX4COMM's results and answer text; opening, closing and the
// line set-up are recorded so a test can assert how the link was set up.
#pragma once
#include <string>
#include <vector>

#include "common/clock.h"
#include "serial/serial_port.h"
#include "sim/controller_sim.h"

namespace kova::sim {

class SimSerialPort : public kova::SerialPort {
 public:
  SimSerialPort(ControllerSim& sim, kova::Clock& clock);

  int SetPortNumber(int number) override;
  int GetPortNumber() override { return port_number_; }
  int OpenPort() override;
  int ClosePort() override;
  int PortConnected() override { return connected_ ? 1 : 0; }
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

  // Switches: the next opens fail (the device is missing or taken); writes
  // fail.
  void SetOpenFails(bool fails) { open_fails_ = fails; }
  void SetWriteFails(bool fails) { write_fails_ = fails; }

  // What was asked of the link. Line values start as a fresh driver's
  // (9600 baud, 8 data bits, no parity, one stop bit).
  int Opens() const { return opens_; }    // successful opens
  int Closes() const { return closes_; }  // closes of an open port
  unsigned long BaudRate() const { return baud_; }
  unsigned char DataBits() const { return data_bits_; }
  unsigned char StopBits() const { return stop_bits_; }
  unsigned char Parity() const { return parity_; }
  struct Timeouts {
    unsigned long read_interval = 0, read_multiplier = 0, read_constant = 0;
    unsigned long write_multiplier = 0, write_constant = 0;
    bool operator==(const Timeouts&) const = default;
  };
  const Timeouts& CommTimeouts() const { return timeouts_; }
  // The clock's time at every ReadPort call, whatever its result.
  const std::vector<uint32_t>& ReadTimes() const { return read_times_; }
  // Every set-up call in order, as "OpenPort", "SetPortBaudRate(38400)", ...
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  int LineSetter(const std::string& call, unsigned long value, unsigned long* field);

  ControllerSim& sim_;
  kova::Clock& clock_;
  int port_number_ = 0;
  bool connected_ = false;
  bool open_fails_ = false;
  bool write_fails_ = false;
  int opens_ = 0;
  int closes_ = 0;
  unsigned long baud_ = 9600;
  unsigned char data_bits_ = 8;
  unsigned char stop_bits_ = 0;
  unsigned char parity_ = 0;
  Timeouts timeouts_;
  std::vector<std::string> calls_;
  std::vector<uint32_t> read_times_;
};

}  // namespace kova::sim
