// Serves a ControllerSim on a pseudo-terminal: the PC side opens the pty's
// path like a serial device. Used by kova-sim and by tests that drive the
// real port object against the simulator.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/controller_sim.h"

namespace kova::sim {

class PtyServer {
 public:
  PtyServer() = default;
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the pty in raw mode; false with a reason on failure.
  bool Open(std::string* error);
  // The device path the PC side opens (/dev/pts/N).
  const std::string& Path() const { return path_; }

  // One round: hands what the PC wrote to the simulator (waiting up to
  // wait_ms for it) and writes what the simulator has sent by now.
  void PumpOnce(ControllerSim& sim, int wait_ms);

  // PumpOnce on a thread until Stop; hold Lock() while touching the
  // simulator from elsewhere.
  void Start(ControllerSim& sim);
  void Stop();
  std::mutex& Lock() { return mutex_; }
  // Bytes written to the PC side so far.
  uint64_t BytesSent() const { return bytes_sent_; }

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the pty survives the PC side closing it
  std::string path_;
  std::vector<unsigned char> unsent_;
  std::mutex mutex_;
  std::atomic<bool> running_{false};
  std::atomic<uint64_t> bytes_sent_{0};
  std::thread thread_;
};

}  // namespace kova::sim
