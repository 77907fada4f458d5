#include "sim/controller_sim.h"

#include <algorithm>

namespace kova::sim {

namespace {

// a is at or after b, on a clock that wraps.
bool NotBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) >= 0; }

// A configured installation: 4 cylinders, 1 coil, 0.36 s simulated probe
// times, actuator defaults of 60 and 120 steps, cut-off at 4500 rpm.
const std::map<uint8_t, uint8_t>& CommonRegisters() {
  static const std::map<uint8_t, uint8_t> regs = {
      {0x82, 0x01},  // emulator
      {0x81, 0x0A},  // 1.0
      {0x80, 0x0A},  // 10
      {0x77, 0x32},  // 0.50
      {0x76, 0x00},
      {0x75, 0x28},  // 2000 rpm (x 50)
      {0x74, 0x01},  // ascending
      {0x70, 0x32},  // 1.00
      {0x60, 0x00},  // standard simulated probe
      {0x46, 0x0A}, {0x45, 0x0A}, {0x42, 0x05}, {0x41, 0x05},
      {0x3E, 0x78},  // high-speed actuator position, 120 steps
      {0x3D, 0x3C},  // idle actuator position, 60 steps
      {0x2C, 0x04},  // cylinders
      {0x2B, 0x01},  // coils
      {0x21, 0x0A},
      {0x20, 0x00},
      {0x1F, 0x24}, {0x1E, 0x24},  // 0.36 s off / on
      {0x16, 0x00}, {0x15, 0x78},  // probe heating 120 s
      {0x13, 0x01},  // probe 0-1 V
      {0x12, 0x03},  // TPS hysteresis 0.06 V
      {0x10, 0x01},  // TPS 0-5 V
  };
  return regs;
}

}  // namespace

ControllerSim::ControllerSim(int model, kova::Clock& clock)
    : model_(model), clock_(clock), registers_(CommonRegisters()), epoch_ms_(clock.Now()) {
  if (model_ == kVela) {
    // Cut-off held as a period count: 1 coil x 120000000 / (4 cyl x 4500 rpm).
    registers_[0x25] = 0x00;
    registers_[0x26] = 0x1A;
    registers_[0x27] = 0x0A;
  } else {
    registers_[0x26] = 0x11;  // 4500 rpm, high byte
    registers_[0x27] = 0x94;  // low byte
    registers_[0x7F] = 0x01;  // enabled
    registers_[0x7C] = 0x50;
    registers_[0x7B] = 0x28;
    registers_[0x7A] = 0x14;
    registers_[0x79] = 0x1E;  // 3.0 ms standard injection
    registers_[0x78] = 0x00;  // probe mode: simulation
  }
}

uint8_t ControllerSim::ReadCommand() const {
  return model_ == kVela ? 0x09 : (model_ == kBrio ? 0x04 : 0x06);
}

bool ControllerSim::HasRegister(uint8_t addr) const { return registers_.count(addr) != 0; }

uint8_t ControllerSim::Register(uint8_t addr) const {
  auto it = registers_.find(addr);
  return it == registers_.end() ? 0 : it->second;
}

void ControllerSim::SetRegister(uint8_t addr, uint8_t value) { registers_[addr] = value; }
void ControllerSim::RemoveRegister(uint8_t addr) { registers_.erase(addr); }

std::vector<uint8_t> ControllerSim::RegisterAddresses() const {
  std::vector<uint8_t> out;
  for (const auto& [addr, value] : registers_) out.push_back(addr);
  return out;
}

size_t ControllerSim::Pending() {
  Catchup(clock_.Now());
  return Queued();
}

size_t ControllerSim::Queued() const {
  size_t n = 0;
  for (const Chunk& c : out_) n += c.bytes.size() - c.offset;
  return n;
}

void ControllerSim::Receive(const uint8_t* data, size_t n) {
  const uint32_t now = clock_.Now();
  Catchup(now);
  if (!partial_.empty() && NotBefore(now, partial_since_ + frame_gap_ms_))
    partial_.clear();  // a stale fragment: the next frame starts afresh
  for (size_t i = 0; i < n; ++i) {
    // Three-byte frames open with 0x00; anything else before it is noise.
    if (partial_.empty() && FrameSize() == 3 && data[i] != 0x00) continue;
    if (partial_.empty()) partial_since_ = now;
    partial_.push_back(data[i]);
    if (partial_.size() == FrameSize()) {
      frames_.push_back({now, partial_});
      const uint8_t command = partial_[FrameSize() - 2];
      const uint8_t argument = partial_[FrameSize() - 1];
      partial_.clear();
      Handle(command, argument, now);
    }
  }
}

void ControllerSim::Handle(uint8_t command, uint8_t argument, uint32_t now) {
  if (command == ReadCommand()) {
    std::vector<uint8_t> answer;
    for (const auto& [addr, value] : registers_) {
      if (argument != 0x00 && addr != argument) continue;
      answer.insert(answer.end(), {0xB0, addr, value, 0xC0});
    }
    if (!answer.empty()) Send(std::move(answer), now, false);
    return;
  }
  switch (command) {
    case kCommandConfirm:
      return;  // accepted; the write it follows is already in force
    case kCommandStart:
      if (argument != 0x00) return;
      if (!streaming_) next_group_ms_ = now + stream_period_ms_;
      streaming_ = true;
      return;
    case kCommandStop:
      if (argument == 0x00) streaming_ = false;
      return;
    case kCommandCalibrate:
      if (argument != 0x00) return;
      calibration_start_ = now;
      calibration_due_ = now + calibration_ms_;
      return;
    default:
      break;
  }
  if (HasRegister(command)) {
    const auto& locked = faults_.read_only;
    if (std::find(locked.begin(), locked.end(), command) == locked.end())
      registers_[command] = argument;
    // The write is acknowledged with the register's record as it now is.
    Send({0xB0, command, registers_[command], 0xC0}, now, false);
  }
}

void ControllerSim::Catchup(uint32_t now) {
  // Calibration report and live groups are produced in time order.
  for (;;) {
    const bool group_due = streaming_ && NotBefore(now, next_group_ms_);
    const bool report_due = calibration_due_ && NotBefore(now, *calibration_due_);
    if (!group_due && !report_due) break;
    if (report_due && (!group_due || NotBefore(next_group_ms_, *calibration_due_))) {
      const uint32_t at = *calibration_due_;
      calibration_due_.reset();
      if (faults_.calibration != Faults::Calibration::kNoReport) {
        const uint8_t outcome = faults_.calibration == Faults::Calibration::kDone ? 1 : 2;
        Send(LiveRecord(kCalibrationKey, outcome), at, true);
      }
      continue;
    }
    std::vector<uint8_t> group;
    for (const auto& [key, value] : LiveValues(next_group_ms_)) {
      const std::vector<uint8_t> r = LiveRecord(key, value);
      group.insert(group.end(), r.begin(), r.end());
    }
    Send(std::move(group), next_group_ms_, true);
    next_group_ms_ += stream_period_ms_;
  }
}

std::vector<uint8_t> ControllerSim::LiveRecord(uint8_t key, uint8_t value) const {
  // The check byte is key + value modulo 256, as the controller sends it.
  uint8_t check = static_cast<uint8_t>(key + value);
  if (faults_.bad_check) check = static_cast<uint8_t>(check + 1);
  return {0xB0, key, value, check, 0xC0};
}

uint32_t ControllerSim::EngineRpm(uint32_t t) const {
  // A 20 s cycle: idle, rev up to 3000 rpm, hold, back down, idle.
  const uint32_t c = t % 20000;
  const uint32_t idle = 850 + (c / 700) % 3 * 10;
  if (c < 6000) return idle;
  if (c < 9000) return idle + (3000 - idle) * (c - 6000) / 3000;
  if (c < 13000) return 3000 + (c / 500) % 2 * 40;
  if (c < 16000) return 3000 - (3000 - idle) * (c - 13000) / 3000;
  return idle;
}

std::vector<std::pair<uint8_t, uint8_t>> ControllerSim::LiveValues(uint32_t t) const {
  const uint32_t local = t - epoch_ms_;
  const uint32_t rpm = EngineRpm(local);
  const uint32_t load = (rpm > 850 ? rpm - 850 : 0) * 100 / 2150;  // 0..100 %
  uint32_t steps;
  if (calibration_due_) {
    // The actuator runs end to end while it calibrates.
    const uint32_t phase = (t - calibration_start_) % 2000;
    steps = phase < 1000 ? phase * 238 / 1000 : (2000 - phase) * 238 / 1000;
  } else {
    const uint32_t lo = Register(0x3D), hi = std::max(Register(0x3E), Register(0x3D));
    steps = lo + (hi - lo) * load / 100;
  }
  const uint32_t tps = 28 + 152 * load / 100;  // 0.56 V .. 3.60 V
  const uint32_t tri = local % 1500;            // probe switching rich/lean
  const uint32_t lambda = 5 + (tri < 750 ? tri : 1500 - tri) * 40 / 750;
  const uint32_t injection = 28 + 55 * load / 100;  // tenths of a millisecond
  std::vector<std::pair<uint8_t, uint32_t>> v = {{0x11, steps}, {0x23, tps}, {0x24, lambda}};
  if (model_ == kVela) {
    const uint32_t coils = Register(0x2B), cylinders = Register(0x2C);
    uint32_t period = 0xFFFFFF;
    if (coils && cylinders && rpm) period = std::min<uint32_t>(
        0xFFFFFF, static_cast<uint32_t>(uint64_t{coils} * 120000000u / (uint64_t{cylinders} * rpm)));
    v.push_back({0x28, period & 0xFF});
    v.push_back({0x29, (period >> 8) & 0xFF});
    v.push_back({0x2A, (period >> 16) & 0xFF});
  } else {
    v.push_back({0x28, rpm & 0xFF});
    v.push_back({0x29, rpm >> 8});
  }
  v.push_back({0x81, injection});
  v.push_back({0x83, calibration_due_ ? 1u : 0u});
  std::vector<std::pair<uint8_t, uint8_t>> out;
  // Every value is one byte; its check byte wraps modulo 256 (LiveRecord).
  for (const auto& [key, value] : v) {
    auto pin = pinned_.find(key);
    out.push_back({key, pin != pinned_.end() ? pin->second : static_cast<uint8_t>(value & 0xFF)});
  }
  for (const auto& [key, value] : pinned_)
    if (std::none_of(v.begin(), v.end(), [k = key](const auto& e) { return e.first == k; }))
      out.push_back({key, value});
  return out;
}

void ControllerSim::Send(std::vector<uint8_t> bytes, uint32_t at, bool live) {
  if (faults_.silent || bytes.empty()) return;
  const uint32_t ready = at + latency_ms_ + faults_.delay_ms;
  size_t cut = 0;
  if (faults_.split_records) {
    // Cut two bytes into the middle record.
    const size_t record = live ? 5 : 4;
    const size_t records = bytes.size() / record;
    cut = (records / 2) * record + 2;
    if (cut >= bytes.size()) cut = bytes.size() > 1 ? bytes.size() / 2 : 0;
  }
  if (faults_.garbage_bytes && !faults_.garbage.empty()) {
    std::vector<uint8_t> junk;
    for (size_t i = 0; i < faults_.garbage_bytes; ++i)
      junk.push_back(faults_.garbage[i % faults_.garbage.size()]);
    bytes.insert(bytes.begin(), junk.begin(), junk.end());
    if (cut) cut += junk.size();
  }
  if (cut) {
    Queue(ready, std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    Queue(ready + faults_.split_gap_ms, std::vector<uint8_t>(bytes.begin() + cut, bytes.end()));
  } else {
    Queue(ready, std::move(bytes));
  }
}

void ControllerSim::Queue(uint32_t ready, std::vector<uint8_t> bytes) {
  const size_t pending = Queued();
  if (pending >= kQueueLimit) return;
  if (pending + bytes.size() > kQueueLimit) bytes.resize(kQueueLimit - pending);
  out_.push_back({ready, std::move(bytes)});
}

size_t ControllerSim::Drain(uint8_t* out, size_t max) {
  const uint32_t now = clock_.Now();
  Catchup(now);
  size_t n = 0;
  // Bytes leave in order: a chunk not yet due holds back the ones after it.
  while (n < max && !out_.empty() && NotBefore(now, out_.front().ready_ms)) {
    Chunk& c = out_.front();
    const size_t take = std::min(max - n, c.bytes.size() - c.offset);
    std::copy_n(c.bytes.begin() + static_cast<std::ptrdiff_t>(c.offset), take, out + n);
    n += take;
    c.offset += take;
    if (c.offset == c.bytes.size()) out_.pop_front();
  }
  return n;
}

}  // namespace kova::sim
