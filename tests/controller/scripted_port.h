// A serial port whose answers the test scripts read by read, recording every
// frame written and every read with the virtual time it happened at.
#pragma once
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "serial/serial_port.h"

namespace kova {

class ScriptedPort : public SerialPort {
 public:
  struct Event {
    char kind;  // 'W' a frame written, 'R' a read
    uint32_t time;
    std::vector<uint8_t> bytes;  // frame bytes
    bool ok = true;              // read answered
  };
  explicit ScriptedPort(Clock& clock) : clock_(clock) {}

  // Answers handed out by the next reads, in order; nothing = a failed read.
  // With the queue empty every read fails (a silent controller).
  std::deque<std::optional<std::string>> answers;
  std::vector<Event> events;
  std::vector<std::string> calls;  // the set-up calls, in order
  int port_number = 0;

  std::vector<std::vector<uint8_t>> Frames() const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& e : events)
      if (e.kind == 'W') out.push_back(e.bytes);
    return out;
  }
  int Reads() const {
    int n = 0;
    for (const auto& e : events) n += e.kind == 'R';
    return n;
  }

  int SetPortNumber(int number) override {
    port_number = number;
    calls.push_back("number " + std::to_string(number));
    return 0;
  }
  int GetPortNumber() override { return port_number; }
  int OpenPort() override {
    calls.push_back("open");
    return 0;
  }
  int ClosePort() override { return 0; }
  int PortConnected() override { return 1; }
  int SetPortBaudRate(unsigned long baud) override {
    calls.push_back("baud " + std::to_string(baud));
    return 0;
  }
  int SetPortDtaBit(unsigned char bits) override {
    calls.push_back("data " + std::to_string(bits));
    return 0;
  }
  int SetPortStopBit(unsigned char stop) override {
    calls.push_back("stop " + std::to_string(stop));
    return 0;
  }
  int SetPortParity(unsigned char parity) override {
    calls.push_back("parity " + std::to_string(parity));
    return 0;
  }
  int SetCommunicationTimeouts(unsigned long a, unsigned long b, unsigned long c,
                               unsigned long d, unsigned long e) override {
    calls.push_back("timeouts " + std::to_string(a) + " " + std::to_string(b) + " " +
                    std::to_string(c) + " " + std::to_string(d) + " " + std::to_string(e));
    return 0;
  }
  int ReadPort(unsigned char* buffer, unsigned long requested, unsigned long* length) override {
    std::optional<std::string> a;
    if (!answers.empty()) {
      a = answers.front();
      answers.pop_front();
    }
    events.push_back({'R', clock_.Now(), {}, a.has_value()});
    if (!a || a->size() + 1 > requested) return 6;  // read error
    // An empty text stands for an answer whose first byte is 0: success,
    // length 0.
    if (a->empty()) {
      buffer[0] = 0;
      *length = 0;
      return 0;
    }
    std::memcpy(buffer, a->data(), a->size());
    buffer[a->size()] = 0;
    *length = static_cast<unsigned long>(a->size());
    return 0;
  }
  int WritePort(const unsigned char* buffer, unsigned long count,
                unsigned long* written) override {
    events.push_back({'W', clock_.Now(), std::vector<uint8_t>(buffer, buffer + count)});
    *written = count;
    return 0;
  }

 private:
  Clock& clock_;
};

}  // namespace kova
