// Whole transactions against a scripted port: frames, reads and every wait.
#include "controller/exchange.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "common/clock.h"
#include "controller/change_list.h"
#include "controller/frames.h"
#include "fake_screen.h"
#include "scripted_port.h"
#include "store/ckx4data.h"

namespace kova {
namespace {

using Bytes = std::vector<uint8_t>;
using Waits = std::vector<uint32_t>;

class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeEnv Env() {
    ExchangeEnv env;
    env.port = &port;
    env.clock = &clock;
    env.changes = &changes;
    env.equipment = &equipment;
    env.file_store = &file_store;
    env.model = [this] { return model; };
    env.source_is_file = [this] { return source_is_file; };
    env.file_path = [this] { return path; };
    env.dump = [this](CKX4DATA&, const char* path) { dumps.push_back(path); };
    return env;
  }
  Exchange Make(Pacing pacing) { return Exchange(Env(), pacing, screen); }

  VirtualClock clock;
  ScriptedPort port{clock};
  ChangeList changes;
  CKX4DATA equipment, file_store;
  FakeScreen screen{changes};
  int model = kModelVela;
  bool source_is_file = false;
  std::vector<std::string> dumps;
  std::string path = ::testing::TempDir() + "exchange_test.VELA";
};

TEST_F(ExchangeTest, FullReadSendsTheModelsReadFrame) {
  struct Case {
    int model;
    Bytes frame;
  } cases[] = {{kModelVela, {0x09, 0x00}}, {kModelBrio, {0x00, 0x04, 0x00}},
               {kModelVelaPlus, {0x00, 0x06, 0x00}}};
  for (const auto& c : cases) {
    model = c.model;
    port.events.clear();
    port.answers = {"B0|20|1|C0|"};
    EXPECT_EQ(Make(AuxPacing(model)).ReadSelector("FULL", equipment), 0);
    EXPECT_EQ(port.Frames(), std::vector<Bytes>{c.frame});
  }
  // A compound selector read alone asks its first register only.
  port.events.clear();
  port.answers = {"B0|15|58|C0|"};
  Make(Pacing::kAuxBrio).ReadSelector("15_16", equipment);
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x00, 0x06, 0x15}}));
  EXPECT_EQ(*StoreGet(equipment, "15"), "58");
}

TEST_F(ExchangeTest, ReadTransactionWaitsAndRetriesAsProfiled) {
  // VELA auxiliary: 500 ms after the frame; 400 ms after each failed read.
  port.answers = {std::nullopt, std::nullopt, "B0|20|1|C0|"};
  EXPECT_EQ(Make(Pacing::kAuxVela).ReadSelector("20", equipment), 0);
  EXPECT_EQ(clock.Waits(), (Waits{500, 400, 400}));
  EXPECT_EQ(port.Reads(), 3);
  EXPECT_EQ(dumps, std::vector<std::string>{kDumpFileVela});
  // Three failed reads fail the transaction; W2 follows the third too. An
  // empty answer is no answer.
  clock.ClearWaits();
  port.answers = {"", std::nullopt, ""};
  EXPECT_EQ(Make(Pacing::kAuxVela).ReadSelector("20", equipment), 1);
  EXPECT_EQ(clock.Waits(), (Waits{500, 400, 400, 400}));
  // A missing keyword in the shown store fails it as well.
  screen.needed = {"21"};
  port.answers = {"B0|20|1|C0|"};
  EXPECT_EQ(Make(Pacing::kAuxVela).ReadSelector("20", equipment), 1);
}

TEST_F(ExchangeTest, ThreeFailedTransactionsEndTheScreenWithLinkFailure) {
  model = kModelBrio;
  Exchange ex = Make(Pacing::kAuxBrio);
  EXPECT_FALSE(ex.ReadWithRetry("FULL"));
  EXPECT_EQ(port.Frames().size(), 3u);
  EXPECT_EQ(port.Reads(), 9);
  Waits per_transaction = {400, 100, 100, 100};
  Waits expected = {500};
  for (int i = 0; i < 3; ++i)
    expected.insert(expected.end(), per_transaction.begin(), per_transaction.end());
  EXPECT_EQ(clock.Waits(), expected);
  EXPECT_EQ(screen.button_states, std::vector<bool>{true});

  // The second transaction succeeding is enough.
  port.events.clear();
  port.answers = {std::nullopt, std::nullopt, std::nullopt, "B0|20|1|C0|"};
  EXPECT_TRUE(ex.ReadWithRetry("FULL"));
  EXPECT_EQ(port.Frames().size(), 2u);
}

TEST_F(ExchangeTest, VelaAuxiliaryWritesLastStagedFirstWithItsPauses) {
  screen.to_stage = {{"27", "10"}, {"26", "27"}, {"25", "0"}};
  // Each entry: the read after the write is ignored on this screen.
  port.answers = {std::nullopt, std::nullopt, std::nullopt, "B0|25|0|C0|B0|26|27|C0|"};
  EXPECT_EQ(Make(Pacing::kAuxVela).SendPendingWrites("26_27"), WriteOutcome::kDone);
  EXPECT_EQ(screen.staged_selectors, std::vector<std::string>{"26_27"});
  Bytes confirm = {0x05, 0x18};
  std::vector<Bytes> frames;
  for (Bytes w : {Bytes{0x25, 0x00}, Bytes{0x26, 0x27}, Bytes{0x27, 0x10}}) {
    frames.push_back(w);
    for (int i = 0; i < 3; ++i) frames.push_back(confirm);
  }
  frames.push_back({0x09, 0x00});  // compound selector: read back everything
  EXPECT_EQ(port.Frames(), frames);
  // 2.1 s per entry, then the screen-level read: 500 ms, frame, 500 ms.
  Waits entry = {400, 400, 400, 400, 500};
  Waits expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), entry.begin(), entry.end());
  expected.insert(expected.end(), {500, 500});
  EXPECT_EQ(clock.Waits(), expected);
  EXPECT_EQ(changes.Count(), 0);
  EXPECT_EQ(screen.button_states, (std::vector<bool>{false, true}));
}

TEST_F(ExchangeTest, BrioAuxiliaryConfirmsOnlyAfterAnAnswer) {
  model = kModelVelaPlus;
  screen.to_stage = {{"70", "32"}, {"20", "1"}};
  // 20 goes first and is answered; 70 is not; then the read-back of 70.
  port.answers = {"B0|20|1|C0|", std::nullopt, "B0|70|32|C0|"};
  EXPECT_EQ(Make(Pacing::kAuxBrio).SendPendingWrites("FULL"), WriteOutcome::kDone);
  Bytes confirm = {0x00, 0x05, 0x18};
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x00, 0x20, 0x01}, confirm, confirm, confirm,
                                               {0x00, 0x70, 0x32}, {0x00, 0x06, 0x00}}));
  EXPECT_EQ(clock.Waits(), (Waits{100, 100, 100, 100, 100, 500, 100, 100, 500, 500, 400}));
}

TEST_F(ExchangeTest, ScreenFamiliesKeepTheirOwnOrderAndPauses) {
  // BRIO vehicle screen, write button: staging order, no pause between.
  model = kModelBrio;
  screen.to_stage = {{"75", "0"}, {"76", "13"}};
  port.answers = {"ok", "ok", "B0|75|0|C0|"};
  Make(Pacing::kVehicleBrioAll).SendPendingWrites("FULL");
  auto frames = port.Frames();
  EXPECT_EQ(frames[0], (Bytes{0x00, 0x75, 0x00}));
  EXPECT_EQ(frames[4], (Bytes{0x00, 0x76, 0x13}));
  EXPECT_EQ(clock.Waits(), (Waits{400, 400, 400, 400, 400, 400, 400, 400, 400, 400, 500, 400}));

  // VELA vehicle screen: 1600 before the write, 800 after confirmations, 600 after.
  model = kModelVela;
  port.events.clear();
  clock.ClearWaits();
  screen.to_stage = {{"2C", "4"}};
  port.answers = {"ok", "B0|2C|4|C0|"};
  Make(Pacing::kVehicleVela).SendPendingWrites("2C");
  EXPECT_EQ(port.Frames().back(), (Bytes{0x09, 0x2C}));  // single register read back
  EXPECT_EQ(clock.Waits(), (Waits{1600, 400, 400, 800, 800, 800, 600, 500, 400}));

  // Actuator: 500 ms only between entries, and always reads everything back.
  port.events.clear();
  clock.ClearWaits();
  screen.to_stage = {{"3D", "10"}, {"42", "20"}};
  port.answers = {std::nullopt, std::nullopt, "B0|3D|10|C0|"};
  Make(Pacing::kActuator).SendPendingWrites("42");
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x42, 0x20}, {0x3D, 0x10}, {0x09, 0x00}}));
  EXPECT_EQ(clock.Waits(), (Waits{400, 400, 500, 400, 400, 500, 400}));
  EXPECT_EQ(dumps.size(), 1u);  // VELA: the read-back is dumped

  // Lambda: no pause between entries.
  port.events.clear();
  clock.ClearWaits();
  screen.to_stage = {{"1E", "24"}, {"1F", "24"}};
  port.answers = {std::nullopt, std::nullopt, "B0|1E|24|C0|"};
  Make(Pacing::kLambda).SendPendingWrites("1E");
  EXPECT_EQ(clock.Waits(), (Waits{400, 400, 400, 400, 500, 400}));
}

TEST_F(ExchangeTest, EmptyListStillReadsBackAndBadEntriesStayOff) {
  port.answers = {"B0|20|1|C0|"};
  EXPECT_EQ(Make(Pacing::kVehicleVela).SendPendingWrites("FULL"), WriteOutcome::kDone);
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x09, 0x00}}));

  // An entry that is not one register byte never reaches the line.
  port.events.clear();
  screen.to_stage = {{"15", "258"}, {"ZZ", "1"}};
  port.answers = {"B0|20|1|C0|"};
  Make(Pacing::kAuxVela).SendPendingWrites("20");
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x09, 0x20}}));
  EXPECT_EQ(changes.Count(), 0);
}

TEST_F(ExchangeTest, FileSourceSendsNothing) {
  source_is_file = true;
  screen.to_stage = {{"20", "1"}};
  EXPECT_EQ(Make(Pacing::kAuxVela).SendPendingWrites("20"), WriteOutcome::kNotSent);
  EXPECT_TRUE(port.events.empty());
  EXPECT_TRUE(screen.staged_selectors.empty());

  // Reads come from the current parameter file, from the model's section.
  {
    std::ofstream f(path);
    f << "[VELA]\r\nClientes=x\r\n[CONFIG_BRIO]\r\n25=1\r\n[CONFIG_VELA]\r\n20=1\r\n21=32\r\n";
  }
  screen.file_keywords = {"20", "21", "25"};
  screen.needed = {"20", "21"};
  Exchange ex = Make(Pacing::kAuxVela);
  EXPECT_TRUE(ex.ReadWithRetry("FULL"));
  EXPECT_EQ(*StoreGet(file_store, "21"), "32");
  EXPECT_FALSE(StoreHas(equipment, "21"));
  EXPECT_EQ(ex.ReadSelector("20", file_store), 0);
  EXPECT_EQ(ex.ReadSelector("25", file_store), 1);  // missing in the file
  EXPECT_TRUE(port.events.empty());
  EXPECT_TRUE(dumps.empty());
  std::remove(path.c_str());
}

TEST_F(ExchangeTest, MonitorWritesAfterAPauseAndRereadsSlower) {
  model = kModelBrio;
  screen.to_stage = {{"3D", "10"}};
  port.answers = {"ok", std::nullopt, "B0|3D|10|C0|"};
  Make(MonitorPacing(model)).SendPendingWrites("3D");
  EXPECT_EQ(port.Frames().back(), (Bytes{0x00, 0x04, 0x00}));
  EXPECT_EQ(clock.Waits(), (Waits{500, 100, 100, 100, 100, 100, 500, 500, 500, 400}));
  EXPECT_TRUE(dumps.empty());  // BRIO

  // On VELA the re-read into the equipment store is dumped; the panel's own
  // full read into the live store is not.
  model = kModelVela;
  CKX4DATA live;
  port.answers = {"B0|3D|10|C0|"};
  Exchange monitor = Make(MonitorPacing(model));
  EXPECT_EQ(monitor.ReadSelector("FULL", live, false), 0);
  EXPECT_EQ(screen.shows, 1);  // only the write's read-back showed anything
  EXPECT_TRUE(dumps.empty());
  port.answers = {"B0|3D|10|C0|"};
  EXPECT_TRUE(monitor.ReadWithRetry("FULL"));
  EXPECT_EQ(dumps, std::vector<std::string>{kDumpFileVela});
}

TEST_F(ExchangeTest, LinkSetUpPerModel) {
  changes.Stage("20", "1");
  EXPECT_EQ(SetUpLink(port, kModelVela, changes, [](int) { return std::optional<int>(4); }), 0);
  EXPECT_EQ(changes.Count(), 0);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"number 4", "open", "baud 9600", "data 8",
                                                  "stop 0", "parity 0",
                                                  "timeouts 4294967295 0 0 0 5000"}));
  // A chosen port is kept; the faster models open the port again.
  port.calls.clear();
  SetUpLink(port, kModelVelaPlus, changes, [](int) { return std::optional<int>(7); });
  EXPECT_EQ(port.calls, (std::vector<std::string>{"baud 38400", "data 8", "stop 0", "parity 0",
                                                  "open", "timeouts 4294967295 0 0 0 5000"}));
  // Nothing stored: port 1.
  port.calls.clear();
  port.port_number = 0;
  SetUpLink(port, kModelBrio, changes, [](int) { return std::optional<int>(); });
  EXPECT_EQ(port.calls[0], "number 1");
}

TEST_F(ExchangeTest, InitialReadNeedsTheSignalTimes) {
  model = kModelBrio;
  port.answers = {std::nullopt, "B0|20|1|C0|", "B0|1E|24|C0|B0|1F|24|C0|"};
  EXPECT_TRUE(ReadInitialConfiguration(Env()));
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>(3, Bytes{0x00, 0x04, 0x00})));
  EXPECT_EQ(clock.Waits(), (Waits{400, 400, 400}));
  EXPECT_EQ(dumps, (std::vector<std::string>{kDumpFileBrio, kDumpFileBrio}));

  CKX4DATA fresh;
  ExchangeEnv env = Env();
  env.equipment = &fresh;
  port.answers = {"B0|1E|24|C0|"};
  EXPECT_FALSE(ReadInitialConfiguration(env));
}

TEST_F(ExchangeTest, StreamCommands) {
  StartLiveStream(port, kModelVela);
  StopLiveStream(port, clock, kModelBrio, Profile(Pacing::kMonitorBrio).stream_stop_gap);
  StartCalibration(port, kModelVelaPlus);
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x08, 0x00}, {0x00, 0x07, 0x00},
                                               {0x00, 0x07, 0x00}, {0x00, 0x07, 0x00},
                                               {0x00, 0x61, 0x00}}));
  EXPECT_EQ(clock.Waits(), (Waits{10, 10}));
}

TEST_F(ExchangeTest, LambdaOpeningSamplesTheStreamUnchecked) {
  model = kModelVelaPlus;
  // The check byte of 28 is wrong, and still kept; 79's answer is dropped.
  port.answers = {"B0|28|52|0|C0|B0|29|3|2C|C0|", "B0|79|1E|C0|"};
  Make(Pacing::kLambda).SampleLiveValues(equipment);
  Bytes stop = {0x00, 0x07, 0x00};
  EXPECT_EQ(port.Frames(), (std::vector<Bytes>{{0x00, 0x08, 0x00}, stop, stop, stop,
                                               {0x00, 0x06, 0x79}, stop, stop, stop}));
  EXPECT_EQ(clock.Waits(), (Waits{300, 5, 5, 300, 5, 5}));
  EXPECT_EQ(*StoreGet(equipment, "28"), "52");
  EXPECT_EQ(*StoreGet(equipment, "29"), "3");
  EXPECT_FALSE(StoreHas(equipment, "79"));
}

}  // namespace
}  // namespace kova
