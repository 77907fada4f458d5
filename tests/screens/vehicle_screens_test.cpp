// The vehicle screens and the actuator screen on the simulated controller:
// what they show, what they stage, the frames and pauses of their writes,
// and their rules for files, typing and limits.
#include "screens/vehicle_screens.h"

#include <gtest/gtest.h>

#include <fstream>

#include "resources/control_ids.h"
#include "screens/lambda_screens.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

using Bytes = ScreenBench::Bytes;
using Waits = std::vector<uint32_t>;

ScreenLinks NoLinks() {
  return {[] { return true; }, nullptr};
}

// ---- showing ---------------------------------------------------------------

// A screen of the model on the bench.
template <typename Screen, int kModel>
class On : public ::testing::Test {
 protected:
  On() : bench(kModel), screen(bench.app, NoLinks()) {}
  void Open() { screen.OnInit(bench.view); }
  FakeView::Control& C(int id) { return bench.view.controls[id]; }
  ScreenBench bench;
  Screen screen;
};
using VehicleBrio = On<VehicleBrioScreen, kModelBrio>;
using VehicleVela = On<VehicleScreen, kModelVela>;
using VehicleVelaPlus = On<VehicleScreen, kModelVelaPlus>;

TEST_F(VehicleBrio, ShowsEveryFieldFromTheControllerWithItsConversion) {
  struct {
    uint8_t reg, value;
    int control;
    int selection;      // -1: a text field
    const char* text;
  } rows[] = {
      {0x2C, 8, IDC_CYLINDERS, 4, nullptr},     {0x2B, 9, IDC_COILS, 0, nullptr},
      {0x13, 2, IDC_PROBE_TYPE, 1, nullptr},    {0x10, 1, IDC_TPS_TYPE, 0, nullptr},
      {0x12, 3, IDC_TPS_HYSTERESIS, 3, nullptr}, {0x74, 0, IDC_SWITCH_TYPE, 0, nullptr},
      {0x7F, 1, IDC_AUTO_RETURN, 1, nullptr},   {0x80, 0x2D, IDC_RETURN_TIME, -1, "45"},
  };
  for (const auto& r : rows) bench.sim.SetRegister(r.reg, r.value);
  bench.sim.SetRegister(0x75, 0x00);
  bench.sim.SetRegister(0x76, 0x13);
  ASSERT_TRUE(ReadInitialConfiguration(bench.app.Exchange()));
  bench.Forget();
  Open();
  for (const auto& r : rows) {
    if (r.selection >= 0) EXPECT_EQ(C(r.control).selection, r.selection) << std::hex << +r.reg;
    else EXPECT_EQ(C(r.control).text, r.text) << std::hex << +r.reg;
  }
  EXPECT_EQ(C(IDC_SWITCH_RPM).text, "4864");  // 0x1300
  // Lists come from the parameter table; the hysteresis from its numeric row.
  EXPECT_EQ(C(IDC_COILS).entries.front(), "Tacômetro");
  EXPECT_EQ(C(IDC_TPS_HYSTERESIS).entries,
            (std::vector<std::string>{"0.00", "0.02", "0.04", "0.06", "0.08", "0.10", "0.12", "0.14"}));
  EXPECT_EQ(C(IDC_SWITCH_RPM_SPIN).max, 5000);
  EXPECT_EQ(C(IDC_SWITCH_RPM_SPIN).step, 50);
  EXPECT_EQ(C(IDC_RETURN_TIME_SPIN).min, 1);
  // No file loaded: the selector stays hidden; no controller traffic.
  EXPECT_FALSE(C(IDC_SOURCE).visible);
  EXPECT_TRUE(bench.Frames().empty());
}

TEST_F(VehicleVela, UnknownCylinderCountShowsNoSelectionAndIsNotWritten) {
  bench.app.equipment.Add("2C", "A");  // 10 cylinders
  Open();
  EXPECT_EQ(C(IDC_CYLINDERS).selection, -1);
  // The selector shows on this screen even before any file.
  EXPECT_TRUE(C(IDC_SOURCE).visible);
  EXPECT_EQ(C(IDC_SOURCE).selection, kSelectorEquipment);
  screen.OnCommand(bench.view, IDC_WRITE);
  // Nothing changed and no cylinder position: no write frame, only the
  // read-back.
  EXPECT_EQ(bench.Frames(), (std::vector<Bytes>{{0x09, 0x00}}));
}

TEST_F(VehicleBrio, AMissingKeywordStopsTheShowingThere) {
  C(IDC_CYLINDERS).selection = 3;
  bench.app.equipment.Zeradora();
  bench.sim.RemoveRegister(0x13);
  ASSERT_TRUE(ReadInitialConfiguration(bench.app.Exchange()));
  Open();
  EXPECT_EQ(C(IDC_TPS_TYPE).selection, 0);      // shown before 13
  EXPECT_EQ(C(IDC_CYLINDERS).selection, 3);     // after it: untouched
}

// ---- writing ---------------------------------------------------------------

TEST_F(VehicleVela, WriteButtonWithoutEditsSendsTheCylindersWithItsPauses) {
  Open();
  screen.OnCommand(bench.view, IDC_WRITE);
  EXPECT_EQ(bench.Frames(), (std::vector<Bytes>{{0x2C, 0x04}, {0x05, 0x18}, {0x05, 0x18},
                                                 {0x05, 0x18}, {0x09, 0x00}}));
  // 1600, write, 400, read, 400, three confirmations 800 apart, 600; then
  // 500 before the read-back and 400 after its frame.
  EXPECT_EQ(bench.clock.Waits(), (Waits{1600, 400, 400, 800, 800, 800, 600, 500, 400}));
  EXPECT_EQ(bench.view.statuses.front(), "Gravando 2C (1 de 1)…");
  EXPECT_FALSE(bench.view.busy);
  EXPECT_TRUE(bench.view.ended.empty());
  // Load, Save and the write button were locked and are back.
  for (int id : {IDC_LOAD, IDC_SAVE, IDC_WRITE}) EXPECT_TRUE(C(id).enabled);
}

TEST_F(VehicleVelaPlus, EditsGoOutLastStagedFirstInThreeByteFrames) {
  Open();
  C(IDC_COILS).selection = 0;   // "Tacômetro" is written as 9
  C(IDC_TPS_TYPE).selection = 1;
  C(IDC_PROBE_TYPE).selection = 1;
  screen.OnCommand(bench.view, IDC_WRITE);
  std::vector<Bytes> writes;
  for (const Bytes& f : bench.Frames())
    if (f[1] != 0x05 && f[1] != 0x06) writes.push_back(f);
  // Staged 2B, 2C, 10, 13: sent 13, 10, 2C, 2B.
  EXPECT_EQ(writes, (std::vector<Bytes>{{0, 0x13, 2}, {0, 0x10, 2}, {0, 0x2C, 4}, {0, 0x2B, 9}}));
  EXPECT_EQ(bench.sim.Register(0x2B), 9);
  EXPECT_EQ(bench.Frames().back(), (Bytes{0x00, 0x06, 0x00}));
}

TEST_F(VehicleBrio, WriteButtonSendsInStagingOrderAndEnterOnlyItsField) {
  Open();
  C(IDC_SWITCH_RPM).text = "4864";
  C(IDC_RETURN_TIME).text = "20";
  screen.OnCommand(bench.view, IDC_WRITE);
  std::vector<Bytes> writes;
  for (const Bytes& f : bench.Frames())
    if (f[1] != 0x05 && f[1] != 0x04) writes.push_back(f);
  // 75 and 76 are the switch-over speed's bytes as they are: 4864 = 0x1300.
  EXPECT_EQ(writes, (std::vector<Bytes>{{0, 0x75, 0x00}, {0, 0x76, 0x13}, {0, 0x80, 0x14},
                                        {0, 0x2C, 0x04}}));
  EXPECT_EQ(bench.Frames().back(), (Bytes{0x00, 0x04, 0x00}));

  // Enter in the speed box sends both bytes, changed or not, last staged
  // first, and reads everything back; then the parameter goes once more
  // into the file store.
  bench.Forget();
  screen.OnFocus(bench.view, IDC_SWITCH_RPM);
  EXPECT_EQ(bench.app.current_key, "75_76");
  screen.OnEnter(bench.view);
  EXPECT_EQ(bench.Frames(),
            (std::vector<Bytes>{{0, 0x76, 0x13}, {0, 5, 0x18}, {0, 5, 0x18}, {0, 5, 0x18},
                                {0, 0x75, 0x00}, {0, 5, 0x18}, {0, 5, 0x18}, {0, 5, 0x18},
                                {0, 4, 0}, {0, 4, 0x75}}));
  // Write, 400, read, then the confirmations 400 apart, per entry; 500 and
  // 400 for the read-back; 400 for the read into the file store.
  EXPECT_EQ(bench.clock.Waits(),
            (Waits{400, 400, 400, 400, 400, 400, 400, 400, 500, 400, 400}));
  EXPECT_EQ(bench.Stored(bench.app.file_store, "75"), "0");
}

TEST_F(VehicleBrio, LoadingAnIncompleteFileSaysSoAndKeepsTheController) {
  Open();
  std::string file = bench.Path("incompleto.BRIO");
  std::ofstream(file) << "[CONFIG_BRIO]\r\n2C=4\r\n";
  bench.view.dialog_answers.push_back(file);
  screen.OnCommand(bench.view, IDC_LOAD);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].caption, "Leitura incompleta");
  EXPECT_EQ(bench.app.source, kSourceEquipment);
  EXPECT_EQ(bench.app.file_loaded, 0);
}

TEST_F(VehicleBrio, SaveSwitchesToTheFile) {
  Open();
  bench.view.dialog_answers.push_back(bench.Path("carro.BRIO"));
  screen.OnCommand(bench.view, IDC_SAVE);
  EXPECT_EQ(bench.app.source, kSourceFile);
  EXPECT_TRUE(C(IDC_SOURCE).visible);
  // The saved file is the loaded file: the next screen shows "Arquivo" in
  // its selector instead of writing nothing, unseen.
  EXPECT_EQ(bench.app.loaded_file, bench.Path("carro.BRIO"));
  LambdaBrioScreen next(bench.app, NoLinks());
  FakeView view;
  next.OnInit(view);
  EXPECT_TRUE(view.controls[IDC_SOURCE].visible);
  EXPECT_EQ(view.controls[IDC_SOURCE].selection, kSelectorFile);
}

TEST_F(VehicleVela, SaveKeepsTheSource) {
  Open();
  bench.view.dialog_answers.push_back(bench.Path("carro.VELA"));
  screen.OnCommand(bench.view, IDC_SAVE);
  EXPECT_EQ(bench.app.source, kSourceEquipment);
  EXPECT_EQ(bench.app.current_path, bench.Path("carro.VELA"));
}

// ---- typing ----------------------------------------------------------------

TEST_F(VehicleBrio, NumberBoxesRefuseValuesOutsideTheirRows) {
  Open();
  struct {
    int box;
    const char* typed;
    const char* message;  // nullptr: none
    const char* after;
  } rows[] = {
      {IDC_RETURN_TIME, "150", "Valor acima do limite superior.", "1.00"},
      {IDC_RETURN_TIME, "0", "Valor abaixo do limite inferior.", "1.00"},
      {IDC_RETURN_TIME, "-3", nullptr, "0"},
      {IDC_RETURN_TIME, "55", nullptr, "55"},
      {IDC_SWITCH_RPM, "6000", "Valor acima do limite superior.", "0"},
  };
  for (const auto& r : rows) {
    bench.view.messages.clear();
    C(r.box).text = r.typed;
    screen.OnTextChange(bench.view, r.box);
    EXPECT_EQ(C(r.box).text, r.after) << r.typed;
    if (r.message) {
      ASSERT_EQ(bench.view.messages.size(), 1u) << r.typed;
      EXPECT_EQ(bench.view.messages[0].text, r.message);
      EXPECT_EQ(bench.view.messages[0].caption, "Atenção - Valor limite assumido");
    } else {
      EXPECT_TRUE(bench.view.messages.empty()) << r.typed;
    }
  }
  // Leaving the speed box clamps it silently.
  C(IDC_SWITCH_RPM).text = "-5";
  screen.OnFieldLeft(bench.view, IDC_SWITCH_RPM);
  EXPECT_EQ(C(IDC_SWITCH_RPM).text, "0");
}

TEST_F(VehicleBrio, TypingIntoAListWarnsAndPutsTheDefaultBack) {
  Open();
  C(IDC_COILS).text = "7x";
  screen.OnTextChange(bench.view, IDC_COILS);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].caption, "Atenção");
  EXPECT_EQ(bench.view.messages[0].text,
            "Por favor, não altere diretamente este valor.\nUse um dos valores predefinidos na "
            "lista apresentada.\nFoi assumido um dos valores validos.\n");
  EXPECT_EQ(C(IDC_COILS).selection, 2);  // the row's default "2"
}

TEST_F(VehicleVela, TypingIntoAListPutsItsTextBackSilently) {
  Open();
  C(IDC_TPS_TYPE).text = "0-5";
  screen.OnFocus(bench.view, IDC_TPS_TYPE);
  C(IDC_TPS_TYPE).text = "9";
  C(IDC_TPS_TYPE).selection = -1;
  screen.OnTextChange(bench.view, IDC_TPS_TYPE);
  EXPECT_TRUE(bench.view.messages.empty());
  EXPECT_EQ(C(IDC_TPS_TYPE).selection, 0);
}

}  // namespace
}  // namespace kova
