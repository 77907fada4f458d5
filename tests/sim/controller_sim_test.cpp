// The simulated controller on virtual time: frames per model, answers,
// the live stream, calibration, every fault and the frame log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/clock.h"
#include "sim/controller_sim.h"

namespace kova::sim {
namespace {

using Bytes = std::vector<uint8_t>;

class Sim : public ::testing::Test {
 protected:
  ControllerSim Make(int model) { return ControllerSim(model, clock_); }
  static void Send(ControllerSim& sim, Bytes frame) { sim.Receive(frame.data(), frame.size()); }
  static Bytes Take(ControllerSim& sim) {
    Bytes out(20000);
    out.resize(sim.Drain(out.data(), out.size()));
    return out;
  }
  // Configuration records B0 a v C0 of an answer, as address -> value;
  // fails on anything else.
  static std::vector<std::pair<uint8_t, uint8_t>> Records(const Bytes& b) {
    std::vector<std::pair<uint8_t, uint8_t>> out;
    EXPECT_EQ(b.size() % 4, 0u);
    for (size_t i = 0; i + 4 <= b.size(); i += 4) {
      EXPECT_EQ(b[i], 0xB0);
      EXPECT_EQ(b[i + 3], 0xC0);
      out.push_back({b[i + 1], b[i + 2]});
    }
    return out;
  }
  // Live records B0 k v check C0, checked for shape.
  struct Live {
    uint8_t key, value, check;
  };
  static std::vector<Live> LiveRecords(const Bytes& b) {
    std::vector<Live> out;
    EXPECT_EQ(b.size() % 5, 0u);
    for (size_t i = 0; i + 5 <= b.size(); i += 5) {
      EXPECT_EQ(b[i], 0xB0);
      EXPECT_EQ(b[i + 4], 0xC0);
      out.push_back({b[i + 1], b[i + 2], b[i + 3]});
    }
    return out;
  }

  VirtualClock clock_;
};

TEST_F(Sim, FullReadAnswersEveryRegisterOfTheModel) {
  // Rows 5 to 32 of the parameter table, common to every model.
  const Bytes common = {0x82, 0x81, 0x80, 0x77, 0x76, 0x75, 0x74, 0x70, 0x60, 0x46,
                        0x45, 0x42, 0x41, 0x3E, 0x3D, 0x2C, 0x2B, 0x27, 0x26, 0x21,
                        0x20, 0x1F, 0x1E, 0x16, 0x15, 0x13, 0x12, 0x10};
  struct Case {
    int model;
    Bytes frame;
    Bytes extra;
    Bytes absent;
  } cases[] = {
      {kVela, {0x09, 0x00}, {0x25}, {0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7F}},
      {kBrio, {0x00, 0x04, 0x00}, {0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7F}, {0x25}},
      {kVelaPlus, {0x00, 0x06, 0x00}, {0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7F}, {0x25}},
  };
  for (const Case& c : cases) {
    ControllerSim sim = Make(c.model);
    Send(sim, c.frame);
    clock_.Advance(30);
    const auto records = Records(Take(sim));
    std::vector<uint8_t> got;
    for (auto [a, v] : records) got.push_back(a);
    for (uint8_t a : common) EXPECT_NE(std::find(got.begin(), got.end(), a), got.end()) << int(a);
    for (uint8_t a : c.extra) EXPECT_NE(std::find(got.begin(), got.end(), a), got.end()) << int(a);
    for (uint8_t a : c.absent) EXPECT_EQ(std::find(got.begin(), got.end(), a), got.end()) << int(a);
    EXPECT_EQ(records.size(), common.size() + c.extra.size());
    for (auto [a, v] : records) EXPECT_EQ(v, sim.Register(a));
  }
}

TEST_F(Sim, InstallationValuesArePlausible) {
  ControllerSim vela = Make(kVela);
  EXPECT_EQ(vela.Register(0x2C), 4);
  EXPECT_EQ(vela.Register(0x2B), 1);
  EXPECT_EQ(vela.Register(0x1E), 0x24);
  EXPECT_EQ(vela.Register(0x1F), 0x24);
  // The VELA cut-off period gives back a speed the screens can show.
  const uint32_t period = vela.Register(0x27) | vela.Register(0x26) << 8 | vela.Register(0x25) << 16;
  EXPECT_EQ(1u * 120000000u / (4u * period), 4500u);
  ControllerSim brio = Make(kBrio);
  EXPECT_EQ(brio.Register(0x27) | brio.Register(0x26) << 8, 4500);
}

TEST_F(Sim, AnswersBecomeReadableAfterTheLatency) {
  ControllerSim sim = Make(kVela);
  sim.SetLatency(40);
  Send(sim, {0x09, 0x20});
  clock_.Advance(39);
  EXPECT_TRUE(Take(sim).empty());
  clock_.Advance(1);
  EXPECT_EQ(Take(sim), (Bytes{0xB0, 0x20, 0x00, 0xC0}));
  EXPECT_TRUE(Take(sim).empty());
}

TEST_F(Sim, SingleReadsAndWrites) {
  ControllerSim sim = Make(kVelaPlus);
  Send(sim, {0x00, 0x06, 0x3D});
  clock_.Advance(30);
  EXPECT_EQ(Take(sim), (Bytes{0xB0, 0x3D, 0x3C, 0xC0}));
  // A register the model lacks is not answered.
  Send(sim, {0x00, 0x06, 0x25});
  clock_.Advance(30);
  EXPECT_TRUE(Take(sim).empty());
  // Write, acknowledged with the new record; confirmations answer nothing.
  Send(sim, {0x00, 0x20, 0x1A});
  Send(sim, {0x00, 0x05, 0x18});
  clock_.Advance(30);
  EXPECT_EQ(Take(sim), (Bytes{0xB0, 0x20, 0x1A, 0xC0}));
  EXPECT_EQ(sim.Register(0x20), 0x1A);
  Send(sim, {0x00, 0x06, 0x20});
  clock_.Advance(30);
  EXPECT_EQ(Take(sim), (Bytes{0xB0, 0x20, 0x1A, 0xC0}));
  // A removed register is gone from the full read too.
  sim.RemoveRegister(0x20);
  EXPECT_FALSE(sim.HasRegister(0x20));
  Send(sim, {0x00, 0x06, 0x00});
  clock_.Advance(30);
  for (auto [a, v] : Records(Take(sim))) EXPECT_NE(a, 0x20);
}

TEST_F(Sim, FramesFollowTheModel) {
  // VELA: two-byte frames back to back.
  ControllerSim vela = Make(kVela);
  Send(vela, {0x20, 0x01, 0x05, 0x18, 0x05});
  clock_.Advance(10);
  Send(vela, {0x18});
  ASSERT_EQ(vela.Frames().size(), 3u);
  EXPECT_EQ(vela.Frames()[0].bytes, (Bytes{0x20, 0x01}));
  EXPECT_EQ(vela.Frames()[2].bytes, (Bytes{0x05, 0x18}));
  EXPECT_EQ(vela.Frames()[0].time_ms, 0u);
  EXPECT_EQ(vela.Frames()[2].time_ms, 10u);
  EXPECT_EQ(vela.Register(0x20), 0x01);
  // Another model's read command is not a VELA command.
  clock_.Advance(30);
  Take(vela);
  Send(vela, {0x04, 0x00});
  clock_.Advance(30);
  EXPECT_TRUE(Take(vela).empty());

  // Three-byte frames open with 0x00; stray bytes before it are skipped.
  ControllerSim brio = Make(kBrio);
  Send(brio, {0x55, 0x00, 0x04, 0x20});
  ASSERT_EQ(brio.Frames().size(), 1u);
  EXPECT_EQ(brio.Frames()[0].bytes, (Bytes{0x00, 0x04, 0x20}));
  brio.ClearFrames();
  EXPECT_TRUE(brio.Frames().empty());

  // A fragment left hanging is dropped, so the next frame is read whole.
  ControllerSim stale = Make(kVela);
  Send(stale, {0x09});
  clock_.Advance(500);
  Send(stale, {0x09, 0x20});
  ASSERT_EQ(stale.Frames().size(), 1u);
  EXPECT_EQ(stale.Frames()[0].bytes, (Bytes{0x09, 0x20}));
}

TEST_F(Sim, LiveStreamBetweenStartAndStop) {
  for (int model : {kBrio, kVela, kVelaPlus}) {
    ControllerSim sim = Make(model);
    const Bytes start = model == kVela ? Bytes{0x08, 0x00} : Bytes{0x00, 0x08, 0x00};
    const Bytes stop = model == kVela ? Bytes{0x07, 0x00} : Bytes{0x00, 0x07, 0x00};
    clock_.Advance(1000);
    EXPECT_TRUE(Take(sim).empty());  // nothing before the start command
    Send(sim, start);
    EXPECT_TRUE(sim.Streaming());
    std::vector<uint8_t> keys_seen;
    std::vector<uint32_t> speeds;
    int wrapped = 0;  // records whose check byte wrapped past 0xFF
    for (int tick = 0; tick < 200; ++tick) {  // 20 s: a whole engine cycle
      clock_.Advance(100);
      const Bytes b = Take(sim);
      uint32_t low = 0, high = 0;
      bool speed = false;
      for (const Live& r : LiveRecords(b)) {
        EXPECT_EQ(r.check, (r.key + r.value) & 0xFF) << "key " << int(r.key);
        if (r.key + r.value > 0xFF) ++wrapped;
        keys_seen.push_back(r.key);
        if (r.key == 0x28) low = r.value, speed = true;
        if (r.key == 0x29) high = r.value;
      }
      if (model != kVela && speed) speeds.push_back(low + 256 * high);
    }
    for (uint8_t k : {0x11, 0x23, 0x24, 0x28, 0x29, 0x81, 0x83})
      EXPECT_NE(std::find(keys_seen.begin(), keys_seen.end(), k), keys_seen.end()) << int(k);
    EXPECT_EQ(std::find(keys_seen.begin(), keys_seen.end(), 0x2A) != keys_seen.end(),
              model == kVela);
    if (model != kVela) {
      // Idles near 850 and revs to about 3000.
      EXPECT_GE(*std::min_element(speeds.begin(), speeds.end()), 800u);
      EXPECT_LE(*std::min_element(speeds.begin(), speeds.end()), 900u);
      EXPECT_GE(*std::max_element(speeds.begin(), speeds.end()), 2900u);
    }
    // Values are not held back to keep key + value inside a byte: the speed's
    // low byte (and VELA's period bytes) run through every value.
    EXPECT_GT(wrapped, 0);
    Send(sim, stop);
    clock_.Advance(100);
    Take(sim);  // the last group sent before the stop
    clock_.Advance(1000);
    EXPECT_TRUE(Take(sim).empty());
  }
}

TEST_F(Sim, VelaStreamCarriesTheIgnitionPeriod) {
  ControllerSim sim = Make(kVela);
  Send(sim, {0x08, 0x00});
  clock_.Advance(200);
  uint32_t period = 0;
  for (const Live& r : LiveRecords(Take(sim))) {
    if (r.key == 0x28) period = r.value;
    if (r.key == 0x29) period |= r.value << 8;
    if (r.key == 0x2A) period |= r.value << 16;
  }
  // Idle: 1 coil x 120000000 / (4 cylinders x period) near 850 rpm.
  ASSERT_GT(period, 0u);
  const uint32_t rpm = 120000000u / (4u * period);
  EXPECT_GE(rpm, 800u);
  EXPECT_LE(rpm, 900u);
}

TEST_F(Sim, PinnedLiveValuesGoOutAsTheyAre) {
  ControllerSim sim = Make(kBrio);
  sim.SetLiveValue(0x28, 0xF0);  // 0x28 + 0xF0 passes a byte: the check wraps to 0x18
  sim.SetLiveValue(0x29, 0x03);
  sim.SetLiveValue(0x90, 0x01);  // a key the engine model does not send
  Send(sim, {0x00, 0x08, 0x00});
  clock_.Advance(150);
  bool low = false, high = false, extra = false;
  for (const Live& r : LiveRecords(Take(sim))) {
    if (r.key == 0x28) low = r.value == 0xF0 && r.check == 0x18;
    if (r.key == 0x29) high = r.value == 0x03 && r.check == 0x2C;
    if (r.key == 0x90) extra = r.value == 0x01 && r.check == 0x91;
  }
  EXPECT_TRUE(low);
  EXPECT_TRUE(high);
  EXPECT_TRUE(extra);
  sim.ClearLiveValue(0x28);
  clock_.Advance(100);
  for (const Live& r : LiveRecords(Take(sim)))
    if (r.key == 0x28) {
      EXPECT_EQ(r.check, (r.key + r.value) & 0xFF);
    }
}

TEST_F(Sim, CalibrationOutcomes) {
  struct Case {
    Faults::Calibration fault;
    int report;  // 0: none
  } cases[] = {{Faults::Calibration::kDone, 1},
               {Faults::Calibration::kFailure, 2},
               {Faults::Calibration::kNoReport, 0}};
  for (const Case& c : cases) {
    ControllerSim sim = Make(kBrio);
    sim.faults().calibration = c.fault;
    sim.SetCalibrationTime(3000);
    Send(sim, {0x00, 0x61, 0x00});
    EXPECT_TRUE(sim.Calibrating());
    clock_.Advance(2900);
    EXPECT_TRUE(Take(sim).empty());  // not streaming, no report yet
    clock_.Advance(200);
    const Bytes b = Take(sim);
    if (c.report == 0) {
      EXPECT_TRUE(b.empty());
    } else {
      EXPECT_EQ(b, (Bytes{0xB0, 0x72, static_cast<uint8_t>(c.report),
                          static_cast<uint8_t>(0x72 + c.report), 0xC0}));
    }
    EXPECT_FALSE(sim.Calibrating());
  }
}

TEST_F(Sim, CalibrationReportArrivesWithinTheStream) {
  ControllerSim sim = Make(kVelaPlus);
  sim.SetCalibrationTime(1000);
  Send(sim, {0x00, 0x61, 0x00});
  Send(sim, {0x00, 0x08, 0x00});
  bool red_scale = false, report = false;
  for (int i = 0; i < 30 && !report; ++i) {
    clock_.Advance(50);
    for (const Live& r : LiveRecords(Take(sim))) {
      if (r.key == 0x83 && r.value == 1) red_scale = true;
      if (r.key == 0x72) report = r.value == 1;
    }
  }
  EXPECT_TRUE(red_scale);
  EXPECT_TRUE(report);
}

TEST_F(Sim, SilenceAndLateAnswers) {
  ControllerSim silent = Make(kVela);
  silent.faults().silent = true;
  Send(silent, {0x09, 0x00});
  Send(silent, {0x08, 0x00});
  clock_.Advance(5000);
  EXPECT_TRUE(Take(silent).empty());
  EXPECT_EQ(silent.Frames().size(), 2u);  // heard, just not answered

  ControllerSim late = Make(kVela);
  late.faults().delay_ms = 1000;
  Send(late, {0x09, 0x20});
  clock_.Advance(1029);
  EXPECT_TRUE(Take(late).empty());
  clock_.Advance(1);
  EXPECT_EQ(Take(late), (Bytes{0xB0, 0x20, 0x00, 0xC0}));
}

TEST_F(Sim, GarbageBeforeEveryAnswer) {
  ControllerSim sim = Make(kBrio);
  sim.faults().garbage_bytes = 4;
  sim.faults().garbage = {0x07, 0x3C};
  Send(sim, {0x00, 0x04, 0x20});
  clock_.Advance(30);
  EXPECT_EQ(Take(sim), (Bytes{0x07, 0x3C, 0x07, 0x3C, 0xB0, 0x20, 0x00, 0xC0}));
}

TEST_F(Sim, BadCheckBytes) {
  ControllerSim sim = Make(kBrio);
  sim.faults().bad_check = true;
  Send(sim, {0x00, 0x08, 0x00});
  clock_.Advance(250);
  const auto records = LiveRecords(Take(sim));
  ASSERT_FALSE(records.empty());
  for (const Live& r : records) EXPECT_NE(r.check, (r.key + r.value) & 0xFF);
}

TEST_F(Sim, RecordsSplitAcrossReads) {
  ControllerSim sim = Make(kBrio);
  sim.faults().split_records = true;
  sim.faults().split_gap_ms = 150;
  Send(sim, {0x00, 0x04, 0x00});
  clock_.Advance(30);
  const Bytes first = Take(sim);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first.size() % 4, 0u);  // ends inside a record
  clock_.Advance(149);
  EXPECT_TRUE(Take(sim).empty());
  clock_.Advance(1);
  Bytes all = first;
  const Bytes second = Take(sim);
  all.insert(all.end(), second.begin(), second.end());
  EXPECT_EQ(Records(all).size(), sim.RegisterAddresses().size());
}

TEST_F(Sim, DrainKeepsOrderAndTheQueueLimit) {
  ControllerSim sim = Make(kBrio);
  Send(sim, {0x00, 0x04, 0x00});
  clock_.Advance(30);
  Bytes part(10);
  ASSERT_EQ(sim.Drain(part.data(), part.size()), 10u);
  const Bytes rest = Take(sim);
  Bytes all = part;
  all.insert(all.end(), rest.begin(), rest.end());
  EXPECT_EQ(Records(all).size(), sim.RegisterAddresses().size());
  // A PC that never reads loses what its input queue cannot hold.
  Send(sim, {0x00, 0x08, 0x00});
  clock_.Advance(600000);
  EXPECT_EQ(sim.Pending(), ControllerSim::kQueueLimit);
}

}  // namespace
}  // namespace kova::sim
