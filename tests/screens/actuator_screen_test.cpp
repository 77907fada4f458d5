// The actuator screen on the simulated controller of each model: its six
// step counts, their pacing, and the limits it refuses.
#include "screens/actuator_screen.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "resources/control_ids.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

using Bytes = ScreenBench::Bytes;
using Waits = std::vector<uint32_t>;

ScreenLinks NoLinks() {
  return {[] { return true; }, nullptr};
}

class Actuator : public ::testing::TestWithParam<int> {
 protected:
  Actuator() : bench(GetParam()), screen(bench.app, NoLinks()) { screen.OnInit(bench.view); }
  FakeView::Control& C(int id) { return bench.view.controls[id]; }
  ScreenBench bench;
  ActuatorScreen screen;
};

TEST_P(Actuator, WriteSendsLastStagedFirstAndReadsEverythingBack) {
  // kova-sim's 60 steps shown; the spins take the rows' ranges; the last
  // screen has no Next.
  EXPECT_EQ(C(IDC_ACT_LOW_DEFAULT).text, "60");
  EXPECT_EQ(C(IDC_ACT_LOW_MIN_SPIN).max, 40);
  EXPECT_FALSE(C(IDC_NEXT).enabled);
  C(IDC_ACT_LOW_DEFAULT).text = "70";
  C(IDC_ACT_HIGH_DEFAULT).text = "130";
  C(IDC_ACT_HIGH_MAX).text = "7";
  C(IDC_ACT_LOW_MIN).text = "10";  // unchanged: not staged
  screen.OnCommand(bench.view, IDC_WRITE);
  bool vela = GetParam() == kModelVela;
  auto frame = [vela](uint8_t a, uint8_t v) { return vela ? Bytes{a, v} : Bytes{0, a, v}; };
  EXPECT_EQ(bench.Writes(), (std::vector<Bytes>{frame(0x42, 7), frame(0x3E, 130), frame(0x3D, 70)}));
  // Per entry: write, 400, read, 400, three confirmations 400 apart; 500
  // between entries; then 500 and 400 for the read-back.
  Waits per{400, 400, 400, 400, 400};
  Waits expected;
  for (int i = 0; i < 3; ++i) {
    expected.insert(expected.end(), per.begin(), per.end());
    if (i < 2) expected.push_back(500);
  }
  expected.insert(expected.end(), {500, 400});
  EXPECT_EQ(bench.clock.Waits(), expected);
  EXPECT_EQ(bench.sim.Register(0x3E), 130);
  EXPECT_EQ(C(IDC_ACT_HIGH_DEFAULT).text, "130");
  // Only VELA dumps after the read-back.
  EXPECT_EQ(std::filesystem::exists(bench.dir / "dump" / "novoVELA.txt"), vela);
}

TEST_P(Actuator, ValuesOutsideTheRangeAreRefusedWithTheLimit) {
  C(IDC_ACT_LOW_DEFAULT).text = "241";
  screen.OnFocus(bench.view, IDC_ACT_LOW_DEFAULT);
  screen.OnEnter(bench.view);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].text, "Valor acima do limite superior.");
  EXPECT_EQ(C(IDC_ACT_LOW_DEFAULT).text, "240");
  EXPECT_TRUE(bench.Writes().empty());
  C(IDC_ACT_HIGH_MIN).text = "0";
  screen.OnFocus(bench.view, IDC_ACT_HIGH_MIN);
  screen.OnEnter(bench.view);
  EXPECT_EQ(bench.view.messages.back().text, "Valor abaixo do limite inferior.");
  EXPECT_EQ(C(IDC_ACT_HIGH_MIN).text, "1");
}

INSTANTIATE_TEST_SUITE_P(Models, Actuator, ::testing::Values(kModelBrio, kModelVela, kModelVelaPlus));

}  // namespace
}  // namespace kova
