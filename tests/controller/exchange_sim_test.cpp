// Whole exchanges against the simulated controller: what reaches the
// controller, when, and what the stores hold afterwards.
#include <gtest/gtest.h>

#include "common/clock.h"
#include "controller/change_list.h"
#include "controller/exchange.h"
#include "controller/field_value.h"
#include "controller/frames.h"
#include "controller/parameter_table.h"
#include "controller/store_access.h"
#include "fake_screen.h"
#include "sim/controller_sim.h"
#include "sim/sim_serial_port.h"
#include "store/ckx4data.h"

namespace kova {
namespace {

using Bytes = std::vector<uint8_t>;

class SimExchange : public ::testing::Test {
 protected:
  explicit SimExchange(int m = kModelVela) : model(m), sim(m, clock), port(sim, clock) {}

  ExchangeEnv Env() {
    ExchangeEnv env;
    env.port = &port;
    env.clock = &clock;
    env.changes = &changes;
    env.equipment = &equipment;
    env.file_store = &file_store;
    env.model = [this] { return model; };
    env.source_is_file = [] { return false; };
    env.file_path = [] { return std::string(); };
    return env;
  }
  void SetUpLinkAndRead() {
    SetUpLink(port, model, changes, [](int) { return std::optional<int>(2); });
    ASSERT_TRUE(ReadInitialConfiguration(Env()));
    sim.ClearFrames();
    clock.ClearWaits();
  }
  std::vector<Bytes> FrameBytes() const {
    std::vector<Bytes> out;
    for (const auto& f : sim.Frames()) out.push_back(f.bytes);
    return out;
  }

  int model;
  VirtualClock clock;
  sim::ControllerSim sim;
  sim::SimSerialPort port;
  ChangeList changes;
  CKX4DATA equipment, file_store;
  FakeScreen screen{changes};
};

class VelaSim : public SimExchange {};
class BrioSim : public SimExchange {
 protected:
  BrioSim() : SimExchange(kModelBrio) {}
};

TEST_F(VelaSim, WorkCycleStartReadsEveryRegisterWithOneFrame) {
  SetUpLink(port, model, changes, [](int) { return std::optional<int>(2); });
  EXPECT_EQ(port.GetPortNumber(), 2);
  EXPECT_EQ(port.Opens(), 1);
  EXPECT_EQ(port.BaudRate(), 9600u);
  EXPECT_EQ(port.CommTimeouts(), (sim::SimSerialPort::Timeouts{0xFFFFFFFF, 0, 0, 0, 5000}));

  ASSERT_TRUE(ReadInitialConfiguration(Env()));
  ASSERT_EQ(sim.Frames().size(), 1u);
  EXPECT_EQ(sim.Frames()[0].bytes, (Bytes{0x09, 0x00}));
  for (uint8_t addr : sim.RegisterAddresses()) {
    auto value = StoreGet(equipment, ToHexText(addr));
    ASSERT_TRUE(value) << ToHexText(addr);
    EXPECT_EQ(*value, ToHexText(sim.Register(addr)));
  }
}

TEST_F(BrioSim, FasterModelsOpenThePortAgainAfterTheLineSettings) {
  SetUpLink(port, model, changes, [](int) { return std::optional<int>(); });
  EXPECT_EQ(port.GetPortNumber(), 1);
  EXPECT_EQ(port.Opens(), 2);
  EXPECT_EQ(port.BaudRate(), 38400u);
  EXPECT_EQ(port.DataBits(), 8);
  EXPECT_EQ(port.StopBits(), 0);
  EXPECT_EQ(port.Parity(), 0);
}

TEST_F(VelaSim, CutOffSpeedWriteReachesTheRegistersAndComesBack) {
  SetUpLinkAndRead();
  sim.SetRegister(0x2B, 1);
  sim.SetRegister(0x2C, 4);
  StoreAdd(equipment, "2B", "1");
  StoreAdd(equipment, "2C", "4");
  screen.stage = [this](ChangeList& c) {
    ParameterTable table;
    BuildParameterTable(table, kModelVela);
    const FieldDef speed{.selector = "26_27", .kind = FieldKind::kCutOffSpeed, .keyword = "27"};
    for (const auto& v : ValuesToWrite(speed, table, kModelVela, {-1, "3000", -1}, equipment))
      c.Stage(v.keyword, ToHexText(static_cast<uint64_t>(v.value)));
  };
  screen.needed = {"25", "26", "27"};
  Exchange ex(Env(), Pacing::kAuxVela, screen);
  ASSERT_EQ(ex.SendPendingWrites("26_27"), WriteOutcome::kDone);

  EXPECT_EQ(sim.Register(0x27), 0x10);
  EXPECT_EQ(sim.Register(0x26), 0x27);
  EXPECT_EQ(sim.Register(0x25), 0x00);
  EXPECT_EQ(CutOffSpeedFromStore(equipment, kModelVela), 3000);
  // High byte first, 2.1 s apart, each followed by three confirmations.
  const auto& frames = sim.Frames();
  ASSERT_EQ(frames.size(), 13u);
  EXPECT_EQ(frames[0].bytes, (Bytes{0x25, 0x00}));
  EXPECT_EQ(frames[4].bytes, (Bytes{0x26, 0x27}));
  EXPECT_EQ(frames[8].bytes, (Bytes{0x27, 0x10}));
  EXPECT_EQ(frames[4].time_ms - frames[0].time_ms, 2100u);
  EXPECT_EQ(frames[1].bytes, (Bytes{0x05, 0x18}));
  EXPECT_EQ(frames[1].time_ms - frames[0].time_ms, 400u);
  EXPECT_EQ(frames[12].bytes, (Bytes{0x09, 0x00}));
  EXPECT_EQ(frames[12].time_ms - frames[8].time_ms, 2100u + 500u);
  EXPECT_EQ(clock.TotalWaited(), 3 * 2100u + 500 + 500);
}

TEST_F(BrioSim, SilentControllerSkipsConfirmationsAndEndsTheScreen) {
  SetUpLinkAndRead();
  sim.faults().silent = true;
  screen.to_stage = {{"20", "0"}};
  Exchange ex(Env(), Pacing::kAuxBrio, screen);
  EXPECT_EQ(ex.SendPendingWrites("20"), WriteOutcome::kReadFailed);
  // The write, then three single-register reads; no confirmation.
  EXPECT_EQ(FrameBytes(), (std::vector<Bytes>{{0x00, 0x20, 0x00}, {0x00, 0x04, 0x20},
                                              {0x00, 0x04, 0x20}, {0x00, 0x04, 0x20}}));
  EXPECT_EQ(screen.button_states, (std::vector<bool>{false, true}));
}

TEST_F(BrioSim, JunkAndLateAnswersAreRiddenOut) {
  SetUpLink(port, model, changes, [](int) { return std::optional<int>(); });
  sim.faults().garbage_bytes = 5;
  sim.faults().delay_ms = 450;  // the answer comes after the first read
  CKX4DATA store;
  screen.needed = {"1E", "1F", "2C"};
  Exchange ex(Env(), Pacing::kAuxBrio, screen);
  EXPECT_EQ(ex.ReadSelector("FULL", store), 0);
  EXPECT_EQ(sim.Frames().size(), 1u);
  EXPECT_EQ(clock.Waits(), (std::vector<uint32_t>{400, 100}));  // W1, one failed read
  EXPECT_EQ(*StoreGet(store, "2C"), ToHexText(sim.Register(0x2C)));

  // The work cycle's read takes one read per attempt: the second attempt
  // finds the first answer.
  sim.ClearFrames();
  EXPECT_TRUE(ReadInitialConfiguration(Env()));
  EXPECT_EQ(sim.Frames().size(), 2u);
  EXPECT_TRUE(StoreHas(equipment, "1E"));
}

TEST_F(BrioSim, AControllerIsFoundWhereItAnswersAndASilentPortCostsUnderASecond) {
  port.SetPortNumber(4);
  ASSERT_EQ(port.OpenPort(), 0);
  ASSERT_EQ(ApplyLineSettings(port, model), 0);
  EXPECT_EQ(port.BaudRate(), 38400u);
  EXPECT_TRUE(ControllerAnswers(port, clock, model));
  EXPECT_EQ(FrameBytes(), (std::vector<Bytes>{{0x00, 0x04, 0x00}}));

  sim.faults().silent = true;
  clock.ClearWaits();
  EXPECT_FALSE(ControllerAnswers(port, clock, model));
  EXPECT_LE(clock.TotalWaited(), 1000u);
  // A controller of another model does not count: its read is not answered.
  sim::ControllerSim vela(kModelVela, clock);
  sim::SimSerialPort other(vela, clock);
  other.SetPortNumber(5);
  other.OpenPort();
  EXPECT_FALSE(ControllerAnswers(other, clock, kModelBrio));
}

}  // namespace
}  // namespace kova
