// The whole work cycle end to end under Wine, against kova-sim on COM7: for
// VELA, BRIO and VELA plus the customer, vehicle, lambda, auxiliary and
// actuator screens forward and back; on the lambda and auxiliary screens one
// field written by Enter and the screen by the write button, checked frame
// by frame in the simulator's log; a parameter file loaded on one screen and
// seen on the next; the BRIO live display; and a controller that falls
// silent in the middle of the cycle, whose link failures lead on to the next
// screen and, from the actuator screen, to the port screen.
//
// Environment as kova_driver.h, plus KOVA_E2E_SILENCE: the file whose
// creation silences the simulator (silencing_sim.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;

// The simulator serves COM7: KOVA.INI names it for both model families.
HWND Start(Kova& kova, int model) {
  DeleteFileW(WinePath(Env("KOVA_E2E_SILENCE")).c_str());
  return StartAtCustomer(kova, model, "[CONFIG_VELA]\r\nCOM=7\r\n[CONFIG_BRIO]\r\nCOM=7\r\n");
}

bool Shown(HWND screen, int id) { return IsWindowVisible(GetDlgItem(screen, id)) != FALSE; }

// How many of a glyph cell's ten controls show.
int ShownGlyphs(HWND screen, int first) {
  int n = 0;
  for (int d = 0; d < 10; ++d) n += Shown(screen, first + d);
  return n;
}

// Waits for the read error, confirms it and waits for the screen that
// follows, which holds `control`.
HWND AfterLinkFailure(Kova& kova, HWND from, int control) {
  HWND box = WaitForMessage(kova.pid(), "Erro na leitura dos parâmetros !!!", 40000);
  if (!box) return nullptr;
  Answer(box, IDOK);
  return Settled(WaitForWindow(
      kova.pid(), [from, control](HWND w) { return w != from && GetDlgItem(w, control) != nullptr; },
      40000));
}

TEST(Cycle, vela) {
  Kova kova;
  HWND screen = Start(kova, 1);
  ASSERT_TRUE(screen);
  FrameLog log;
  const std::string ok = "05 18";

  // The vehicle screen: Enter writes the focused list alone and reads it
  // back; the write button sends the cylinders (always) after its pause.
  screen = Walk(kova, screen, IDC_NEXT, {IDC_CYLINDERS});
  ASSERT_TRUE(screen);
  Choose(screen, IDC_TPS_TYPE, 1);
  EnterIn(screen, IDC_TPS_TYPE, true);
  EXPECT_EQ(log.Next(5), Confirmed({"10 02"}, ok, {"09 10"}));
  Sleep(800);
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(5), Confirmed({"2C 04"}, ok, {"09 00"}));
  Sleep(800);

  screen = Walk(kova, screen, IDC_NEXT, {IDC_LAMBDA_TYPE});
  ASSERT_TRUE(screen);
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_TYPE), 0);  // kova-sim's 0.36 s: "Padrão"
  EXPECT_EQ(Text(screen, IDC_LAMBDA_ON), "0.36");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(screen, IDC_LAMBDA_ON)));
  Shot("lambda_vela");

  // "Específico" opens the times at 0.00; Enter in "Tempo ON" writes it.
  Choose(screen, IDC_LAMBDA_TYPE, 1);
  EXPECT_EQ(WaitText(screen, IDC_LAMBDA_ON, "0.00"), "0.00");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(screen, IDC_LAMBDA_ON)));
  Type(screen, IDC_LAMBDA_ON, "0.5");
  EnterIn(screen, IDC_LAMBDA_ON);
  EXPECT_EQ(log.Next(5), Confirmed({"1E 32"}, ok, {"09 1E"}));
  Sleep(800);
  // The read-back showed the controller's off time again; the write button
  // sends the type alone (always), the times being unchanged.
  EXPECT_EQ(Text(screen, IDC_LAMBDA_OFF), "0.36");
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(5), Confirmed({"60 00"}, ok, {"09 00"}));
  Sleep(800);
  EXPECT_EQ(Text(screen, IDC_LAMBDA_ON), "0.50");

  screen = Walk(kova, screen, IDC_NEXT, {IDC_AUX_WARMUP_VELA});
  ASSERT_TRUE(screen);
  EXPECT_EQ(Text(screen, IDC_AUX_SPEED), "4500");  // the period 0x1A0A, 1 coil, 4 cylinders
  EXPECT_EQ(Text(screen, IDC_AUX_WARMUP_VELA), "120");
  EXPECT_EQ(Text(screen, IDC_AUX_STEPS), "10");
  Shot("aux_vela");
  Type(screen, IDC_AUX_STEPS, "20");
  EnterIn(screen, IDC_AUX_STEPS);
  EXPECT_EQ(log.Next(5), Confirmed({"21 14"}, ok, {"09 21"}));
  Sleep(1200);
  // The write button: the speed's period and the warm-up time go out whole
  // (high byte first), unchanged fields stay.
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(21), Confirmed({"16 00", "15 78", "25 00", "26 1A", "27 0A"}, ok, {"09 00"}));
  Sleep(1200);

  // Save the controller's values, change the file, load it here and see it
  // on the next screen.
  std::string saved = SaveParameters(kova, screen, "ciclo.VELA", "3D=");
  ASSERT_NE(saved.find("[CONFIG_VELA]"), std::string::npos) << saved;
  ASSERT_NE(saved.find("21=14"), std::string::npos) << saved;
  ASSERT_NE(saved.find("3D=3C"), std::string::npos) << saved;
  saved.replace(saved.find("21=14"), 5, "21=2A");
  saved.replace(saved.find("3D=3C"), 5, "3D=50");
  ASSERT_TRUE(WriteWorkFile("ciclo.VELA", saved));
  Click(screen, IDC_LOAD);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("ciclo.VELA")));
  EXPECT_EQ(WaitText(screen, IDC_AUX_STEPS, "42"), "42");
  EXPECT_EQ(Selection(screen, IDC_SOURCE), 0);  // "Arquivo"
  // With the file as source, Enter and the write button send nothing.
  EnterIn(screen, IDC_AUX_STEPS);
  Click(screen, IDC_WRITE);
  Sleep(2500);
  EXPECT_EQ(log.Rest(), Frames{});

  screen = Walk(kova, screen, IDC_NEXT, {IDC_ACT_LOW_DEFAULT});
  ASSERT_TRUE(screen);
  EXPECT_EQ(WaitText(screen, IDC_ACT_LOW_DEFAULT, "80"), "80");  // the file's 3D
  EXPECT_EQ(Selection(screen, IDC_SOURCE), 0);
  // The controller as source: Enter and the write button each send their
  // step count and read everything back.
  Choose(screen, IDC_SOURCE, 1);
  EXPECT_EQ(WaitText(screen, IDC_ACT_LOW_DEFAULT, "60"), "60");
  Type(screen, IDC_ACT_LOW_DEFAULT, "70");
  EnterIn(screen, IDC_ACT_LOW_DEFAULT);
  EXPECT_EQ(log.Next(5), Confirmed({"3D 46"}, ok, {"09 00"}));
  Sleep(800);
  Type(screen, IDC_ACT_HIGH_DEFAULT, "130");
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(5), Confirmed({"3E 82"}, ok, {"09 00"}));
  Sleep(800);
  Choose(screen, IDC_SOURCE, 0);
  screen = Walk(kova, screen, IDC_RETURN, {IDC_AUX_WARMUP_VELA});
  ASSERT_TRUE(screen);
  EXPECT_EQ(WaitText(screen, IDC_AUX_STEPS, "42"), "42");

  // Back through the cycle to the customer screen, nothing sent.
  screen = Walk(kova, screen, IDC_RETURN, {IDC_LAMBDA_TYPE, IDC_CYLINDERS, IDC_CLIENT});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Rest(), Frames{});
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

TEST(Cycle, brio) {
  Kova kova;
  HWND screen = Start(kova, 0);
  ASSERT_TRUE(screen);
  FrameLog log;
  const std::string ok = "00 05 18", stop = "00 07 00", start = "00 08 00";
  const Frames stops = {stop, stop, stop};

  screen = Walk(kova, screen, IDC_NEXT, {IDC_SWITCH_RPM});
  ASSERT_TRUE(screen);
  EXPECT_EQ(Text(screen, IDC_SWITCH_RPM), "40");  // kova-sim: 75 = 0x28, 76 = 0
  Shot("vehicle_brio");
  // Enter in the switch-over speed writes both its registers, last staged
  // first, reads everything back and the speed once more; the write button
  // then sends the cylinders alone, in staging order.
  Type(screen, IDC_SWITCH_RPM, "4864");
  EnterIn(screen, IDC_SWITCH_RPM);
  EXPECT_EQ(log.Next(10), Confirmed({"00 76 13", "00 75 00"}, ok, {"00 04 00", "00 04 75"}));
  Sleep(800);
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(5), Confirmed({"00 2C 04"}, ok, {"00 04 00"}));
  Sleep(800);
  // A save makes the saved file the loaded one: the next screen offers the
  // source, on "Arquivo", instead of writing nothing unseen.
  std::string saved = SaveParameters(kova, screen, "ciclo.BRIO", "3D=");
  ASSERT_NE(saved.find("75=0"), std::string::npos) << saved;
  screen = Walk(kova, screen, IDC_NEXT, {IDC_LAMBDA_MODE});
  ASSERT_TRUE(screen);
  // The opening sample of the engine.
  EXPECT_EQ(log.Next(8), Seq({{start}, stops, {"00 04 79"}, stops}));
  EXPECT_TRUE(Shown(screen, IDC_SOURCE));
  EXPECT_EQ(Selection(screen, IDC_SOURCE), 0);
  Choose(screen, IDC_SOURCE, 1);
  Sleep(300);
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_TYPE), 0);
  EXPECT_FALSE(Shown(screen, IDC_LAMBDA_MODE));

  // "Real": the stream stops, the screen pauses, then the live display runs.
  Choose(screen, IDC_LAMBDA_TYPE, 3);
  EXPECT_EQ(log.Next(4), Seq({stops, {start}}));
  Sleep(1500);
  EXPECT_TRUE(Shown(screen, IDC_LAMBDA_MODE));
  EXPECT_FALSE(Shown(screen, IDC_LAMBDA_ON));
  for (int p = 1; p < 4; ++p)
    EXPECT_EQ(ShownGlyphs(screen, IDC_LAMBDA_SPEED_FIRST + 10 * p), 1) << "speed position " << p;
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(ShownGlyphs(screen, IDC_LAMBDA_INJ_FIRST + 10 * c), 1) << "injection cell " << c;
  EXPECT_TRUE(Shown(screen, IDC_LAMBDA_ARC_FIRST));  // the engine turns
  Shot("lambda_brio");

  // Manual mode, then Enter in the operating mode writes the signal type:
  // 78 is staged before 60, so 60 goes out first; everything is read back.
  // The stream stops for the write and starts again after it.
  Choose(screen, IDC_LAMBDA_MODE, 1);
  Sleep(300);
  EXPECT_TRUE(Shown(screen, IDC_LAMBDA_INJECTION));
  EnterIn(screen, IDC_LAMBDA_MODE, true);
  EXPECT_EQ(log.Next(13), Seq({stops, Confirmed({"00 60 00", "00 78 02"}, ok, {"00 04 00", start})}));
  Sleep(500);
  // Enter in the standard injection time: 4.5 ms is 45 tenths.
  Type(screen, IDC_LAMBDA_INJECTION, "4.5");
  EnterIn(screen, IDC_LAMBDA_INJECTION);
  EXPECT_EQ(log.Next(9), Seq({stops, Confirmed({"00 79 2D"}, ok, {"00 04 79", start})}));
  Sleep(500);
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_TYPE), 3);
  // The write button: the signal type always; the times and 79 unchanged.
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(13), Seq({stops, Confirmed({"00 60 00", "00 78 02"}, ok, {"00 04 00", start})}));
  Sleep(500);

  screen = Walk(kova, screen, IDC_NEXT, {IDC_AUX_WARMUP});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(4), Seq({stops, {"00 04 82"}}));  // the relay, into the live store
  EXPECT_EQ(Text(screen, IDC_AUX_SPEED), "4500");
  EXPECT_EQ(Text(screen, IDC_AUX_DELAY), "1.00");
  EXPECT_EQ(Text(screen, IDC_AUX_OVERLAP), "0.50");
  EXPECT_TRUE(Shown(screen, IDC_AUX_OVERLAP));
  Shot("aux_brio");
  Type(screen, IDC_AUX_DELAY, "2");
  EnterIn(screen, IDC_AUX_DELAY);
  EXPECT_EQ(log.Next(5), Confirmed({"00 70 64"}, ok, {"00 04 70"}));
  Sleep(800);
  EXPECT_EQ(Text(screen, IDC_AUX_DELAY), "2.00");
  // "Reset de Memória" hides the overlap; the write button sends it with
  // the speed (high byte last staged, first sent) and the warm-up time.
  Choose(screen, IDC_AUX_RELAY, 0);
  Sleep(300);
  EXPECT_FALSE(Shown(screen, IDC_AUX_OVERLAP));
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(21), Confirmed({"00 16 00", "00 15 78", "00 27 94", "00 26 11", "00 82 00"}, ok, {"00 04 00"}));
  Sleep(800);

  // The actuator screen: Enter and the write button in three-byte frames.
  screen = Walk(kova, screen, IDC_NEXT, {IDC_ACT_LOW_DEFAULT});
  ASSERT_TRUE(screen);
  Type(screen, IDC_ACT_LOW_DEFAULT, "70");
  EnterIn(screen, IDC_ACT_LOW_DEFAULT);
  EXPECT_EQ(log.Next(5), Confirmed({"00 3D 46"}, ok, {"00 04 00"}));
  Sleep(800);
  Type(screen, IDC_ACT_HIGH_DEFAULT, "130");
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(5), Confirmed({"00 3E 82"}, ok, {"00 04 00"}));
  Sleep(800);
  screen = Walk(kova, screen, IDC_RETURN, {IDC_AUX_WARMUP});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(1), Frames{"00 04 82"});

  // Back: the lambda screen samples again and finds "Real", "Manual".
  screen = Walk(kova, screen, IDC_RETURN, {IDC_LAMBDA_MODE});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(9), Seq({{start}, stops, {"00 04 79"}, stops, {start}}));
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_TYPE), 3);
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_MODE), 1);
  EXPECT_EQ(Text(screen, IDC_LAMBDA_INJECTION), "4.5");
  screen = Walk(kova, screen, IDC_RETURN, {IDC_SWITCH_RPM});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(3), stops);
  screen = Walk(kova, screen, IDC_RETURN, {IDC_CLIENT});
  ASSERT_TRUE(screen);
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

TEST(Cycle, vela_plus) {
  Kova kova;
  HWND screen = Start(kova, 2);
  ASSERT_TRUE(screen);
  FrameLog log;
  const std::string ok = "00 05 18", stop = "00 07 00", start = "00 08 00";
  const Frames stops = {stop, stop, stop};

  screen = Walk(kova, screen, IDC_NEXT, {IDC_CYLINDERS, IDC_LAMBDA_MODE});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(8), Seq({{start}, stops, {"00 06 79"}, stops}));
  // "Aberto" clears and hides the times; Enter in the list writes the type.
  Choose(screen, IDC_LAMBDA_TYPE, 2);
  EXPECT_EQ(log.Next(3), stops);
  Sleep(1500);
  EXPECT_FALSE(Shown(screen, IDC_LAMBDA_ON));
  EXPECT_EQ(Text(screen, IDC_LAMBDA_OFF), "0.00");
  EnterIn(screen, IDC_LAMBDA_TYPE, true);
  EXPECT_EQ(log.Next(9), Confirmed({"00 78 00", "00 60 01"}, ok, {"00 06 00"}));
  Sleep(500);
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(9), Confirmed({"00 78 00", "00 60 01"}, ok, {"00 06 00"}));
  Sleep(500);

  screen = Walk(kova, screen, IDC_NEXT, {IDC_AUX_WARMUP});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(1), Frames{"00 06 82"});
  Type(screen, IDC_AUX_STEPS, "30");
  EnterIn(screen, IDC_AUX_STEPS);
  EXPECT_EQ(log.Next(5), Confirmed({"00 21 1E"}, ok, {"00 06 21"}));
  Sleep(800);
  // A number beyond the range is put back to the limit while typing.
  Type(screen, IDC_AUX_SPEED, "7000");
  HWND box = WaitForMessage(kova.pid(), "Valor acima do limite superior.");
  ASSERT_TRUE(box);
  Answer(box, IDOK);
  EXPECT_EQ(WaitText(screen, IDC_AUX_SPEED, "5000"), "5000");
  Click(screen, IDC_WRITE);
  EXPECT_EQ(log.Next(17), Confirmed({"00 16 00", "00 15 78", "00 27 88", "00 26 13"}, ok, {"00 06 00"}));
  Sleep(800);

  // Back to the lambda screen, then the controller falls silent: each link
  // failure leads on, from the actuator screen to the port screen.
  screen = Walk(kova, screen, IDC_RETURN, {IDC_LAMBDA_MODE});
  ASSERT_TRUE(screen);
  EXPECT_EQ(log.Next(8), Seq({{start}, stops, {"00 06 79"}, stops}));
  EXPECT_EQ(Selection(screen, IDC_LAMBDA_TYPE), 2);
  CloseHandle(CreateFileW(WinePath(Env("KOVA_E2E_SILENCE")).c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_ALWAYS, 0, nullptr));
  Sleep(500);
  Click(screen, IDC_WRITE);
  screen = AfterLinkFailure(kova, screen, IDC_AUX_WARMUP);
  ASSERT_TRUE(screen) << "the lambda screen's link failure does not lead to the auxiliary screen";
  Click(screen, IDC_WRITE);
  screen = AfterLinkFailure(kova, screen, IDC_ACT_LOW_DEFAULT);
  ASSERT_TRUE(screen) << "the auxiliary screen's link failure does not lead to the actuator screen";
  Click(screen, IDC_WRITE);
  screen = AfterLinkFailure(kova, screen, IDC_PORT_LIST);
  ASSERT_TRUE(screen) << "the actuator screen's link failure does not lead to the port screen";
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(60000), 0u);
}

}  // namespace
