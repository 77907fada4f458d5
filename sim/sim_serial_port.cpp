#include "sim/sim_serial_port.h"

#include "serial/answer_text.h"

namespace kova::sim {

namespace {
// CKX4COMM's result codes.
constexpr int kOk = 0, kOpenError = 3, kGetError = 4, kReadError = 6, kWriteError = 7;
}  // namespace

SimSerialPort::SimSerialPort(ControllerSim& sim, kova::Clock& clock) : sim_(sim), clock_(clock) {}

int SimSerialPort::SetPortNumber(int number) {
  calls_.push_back("SetPortNumber(" + std::to_string(number) + ")");
  port_number_ = number;
  return kOk;
}

int SimSerialPort::OpenPort() {
  calls_.push_back("OpenPort");
  if (connected_) {
    connected_ = false;
    ++closes_;
  }
  if (open_fails_) return kOpenError;
  connected_ = true;
  ++opens_;
  return kOk;
}

int SimSerialPort::ClosePort() {
  calls_.push_back("ClosePort");
  if (connected_) ++closes_;
  connected_ = false;
  return kOk;
}

int SimSerialPort::LineSetter(const std::string& call, unsigned long value,
                              unsigned long* field) {
  calls_.push_back(call + "(" + std::to_string(value) + ")");
  if (!connected_) return kGetError;  // no live state to read on a closed port
  *field = value;
  return kOk;
}

int SimSerialPort::SetPortBaudRate(unsigned long baud) {
  return LineSetter("SetPortBaudRate", baud, &baud_);
}

int SimSerialPort::SetPortDtaBit(unsigned char bits) {
  unsigned long v = data_bits_;
  const int r = LineSetter("SetPortDtaBit", bits, &v);
  data_bits_ = static_cast<unsigned char>(v);
  return r;
}

int SimSerialPort::SetPortStopBit(unsigned char stop) {
  unsigned long v = stop_bits_;
  const int r = LineSetter("SetPortStopBit", stop, &v);
  stop_bits_ = static_cast<unsigned char>(v);
  return r;
}

int SimSerialPort::SetPortParity(unsigned char parity) {
  unsigned long v = parity_;
  const int r = LineSetter("SetPortParity", parity, &v);
  parity_ = static_cast<unsigned char>(v);
  return r;
}

int SimSerialPort::SetCommunicationTimeouts(unsigned long read_interval,
                                            unsigned long read_multiplier,
                                            unsigned long read_constant,
                                            unsigned long write_multiplier,
                                            unsigned long write_constant) {
  calls_.push_back("SetCommunicationTimeouts(" + std::to_string(read_interval) + "," +
                   std::to_string(read_multiplier) + "," + std::to_string(read_constant) + "," +
                   std::to_string(write_multiplier) + "," + std::to_string(write_constant) + ")");
  if (!connected_) return kGetError;
  timeouts_ = {read_interval, read_multiplier, read_constant, write_multiplier, write_constant};
  return kOk;
}

int SimSerialPort::ReadPort(unsigned char* buffer, unsigned long requested,
                            unsigned long* length) {
  read_times_.push_back(clock_.Now());
  if (!connected_ || buffer == nullptr) return kReadError;
  const size_t got = sim_.Drain(buffer, requested);
  return RenderReadAnswer(buffer, requested, got, length);
}

int SimSerialPort::WritePort(const unsigned char* buffer, unsigned long count,
                             unsigned long* written) {
  if (written) *written = 0;
  if (!connected_ || write_fails_ || (buffer == nullptr && count != 0)) return kWriteError;
  sim_.Receive(buffer, count);
  if (written) *written = count;
  return kOk;
}

}  // namespace kova::sim
