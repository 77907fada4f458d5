// A stand-in for the gas-injection controller: the register file of each
// model, its command frames, its answers (after a latency, on the injected
// clock), the live stream from a small engine model and the calibration
// report, with faults to inject. Bytes go in with Receive and come out with
// Drain, so the same object serves the in-process link and a pty.
//
// How it answers:
// - a full read lists every register as B0 address value C0, by ascending
//   address; a single read answers that register's record, or nothing when
//   the model has no such register;
// - a write is applied and acknowledged with the register's new record;
// - confirmations, stream start/stop and calibration answer nothing at once;
//   between start and stop a group of live records B0 key value check C0
//   goes out every stream period; the calibration report (key 72) follows
//   the calibration command after the calibration time, streaming or not;
// - unknown commands are ignored; every complete frame is logged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "common/clock.h"
#include "common/model.h"

namespace kova::sim {

// Model codes as the application's model index.
inline constexpr int kBrio = kova::kModelBrio;
inline constexpr int kVela = kova::kModelVela;
inline constexpr int kVelaPlus = kova::kModelVelaPlus;

struct Faults {
  enum class Calibration { kDone, kFailure, kNoReport };

  bool silent = false;          // sends nothing at all
  uint32_t delay_ms = 0;        // every answer arrives this much later
  size_t garbage_bytes = 0;     // junk put in front of every answer
  std::vector<uint8_t> garbage = {0x07, 0x3C, 0xFF};  // the junk, repeated
  bool bad_check = false;       // live records carry a wrong check byte
  bool split_records = false;   // answers arrive in two parts, cut inside a record
  uint32_t split_gap_ms = 150;  // between the two parts (longer than a poll)
  Calibration calibration = Calibration::kDone;
  // Registers whose writes are acknowledged with the value they keep.
  std::vector<uint8_t> read_only;
};

class ControllerSim {
 public:
  ControllerSim(int model, kova::Clock& clock);

  // Bytes from the PC, at clock.Now().
  void Receive(const uint8_t* data, size_t n);
  // Bytes the controller has sent by clock.Now(), oldest first.
  size_t Drain(uint8_t* out, size_t max);

  struct Frame {
    uint32_t time_ms;
    std::vector<uint8_t> bytes;
  };
  // Every frame received, with its time.
  const std::vector<Frame>& Frames() const { return frames_; }
  void ClearFrames() { frames_.clear(); }

  bool HasRegister(uint8_t addr) const;
  uint8_t Register(uint8_t addr) const;  // 0 when absent
  void SetRegister(uint8_t addr, uint8_t value);
  void RemoveRegister(uint8_t addr);
  std::vector<uint8_t> RegisterAddresses() const;

  Faults& faults() { return faults_; }

  int model() const { return model_; }
  size_t FrameSize() const { return model_ == kVela ? 2 : 3; }
  uint8_t ReadCommand() const;
  bool Streaming() const { return streaming_; }
  bool Calibrating() const { return calibration_due_.has_value(); }
  size_t Pending();  // bytes sent by now or scheduled, not yet drained

  // Time from a command to its answer being readable (default 30 ms).
  void SetLatency(uint32_t ms) { latency_ms_ = ms; }
  // Time between two live groups (default 100 ms).
  void SetStreamPeriod(uint32_t ms) { stream_period_ms_ = ms ? ms : 1; }
  // Time from the calibration command to its report (default 4000 ms).
  void SetCalibrationTime(uint32_t ms) { calibration_ms_ = ms; }
  // A frame left incomplete for this long is dropped, so the next one
  // starts clean (default 100 ms).
  void SetFrameGap(uint32_t ms) { frame_gap_ms_ = ms; }

  // The live values the engine model gives at time t (key -> value),
  // before faults; what one stream group carries.
  std::vector<std::pair<uint8_t, uint8_t>> LiveValues(uint32_t t) const;
  // Pins a live key to a value (adding the key when the model has none).
  // Like every live value it goes out with the check byte key + value
  // modulo 256.
  void SetLiveValue(uint8_t key, uint8_t value) { pinned_[key] = value; }
  void ClearLiveValue(uint8_t key) { pinned_.erase(key); }

  static constexpr uint8_t kCommandConfirm = 0x05;
  static constexpr uint8_t kCommandStop = 0x07;
  static constexpr uint8_t kCommandStart = 0x08;
  static constexpr uint8_t kCommandCalibrate = 0x61;
  static constexpr uint8_t kCalibrationKey = 0x72;
  // The PC's input queue: what it cannot take is lost.
  static constexpr size_t kQueueLimit = 10000;

 private:
  struct Chunk {
    uint32_t ready_ms;
    std::vector<uint8_t> bytes;
    size_t offset = 0;
  };

  void Handle(uint8_t command, uint8_t argument, uint32_t now);
  void Catchup(uint32_t now);
  void Send(std::vector<uint8_t> bytes, uint32_t at, bool live);
  void Queue(uint32_t ready, std::vector<uint8_t> bytes);
  size_t Queued() const;
  std::vector<uint8_t> LiveRecord(uint8_t key, uint8_t value) const;
  uint32_t EngineRpm(uint32_t t) const;

  int model_;
  kova::Clock& clock_;
  std::map<uint8_t, uint8_t> registers_;
  std::map<uint8_t, uint8_t> pinned_;
  Faults faults_;
  uint32_t latency_ms_ = 30;
  uint32_t stream_period_ms_ = 100;
  uint32_t calibration_ms_ = 4000;
  uint32_t frame_gap_ms_ = 100;

  std::vector<uint8_t> partial_;
  uint32_t partial_since_ = 0;
  std::vector<Frame> frames_;
  std::deque<Chunk> out_;

  bool streaming_ = false;
  uint32_t next_group_ms_ = 0;
  std::optional<uint32_t> calibration_due_;
  uint32_t calibration_start_ = 0;
  uint32_t epoch_ms_;
};

}  // namespace kova::sim
