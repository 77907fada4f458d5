// The serial link when Windows ends the session or puts the PC to sleep. The
// live stream is stopped and the port closed, so the controller is not left
// streaming and no handle is kept over a sleep (a USB adapter comes back as
// a new device); after the sleep the port is opened afresh with the model's
// line settings.
#pragma once
#include "common/clock.h"
#include "serial/serial_port.h"

namespace kova {

class LinkSession {
 public:
  LinkSession(SerialPort& port, Clock& clock, const int& model)
      : port_(port), clock_(clock), model_(model) {}
  // The session ends: stream stopped, port closed; once.
  void End();
  // Before a sleep: the same, remembering whether the port was open.
  void Suspend();
  // After the sleep: the port that was open is opened again and set up.
  // True when it was (told twice, the second time does nothing).
  bool Resume();

 private:
  void Let();

  SerialPort& port_;
  Clock& clock_;
  const int& model_;
  bool ended_ = false;
  bool reopen_ = false;
};

}  // namespace kova
