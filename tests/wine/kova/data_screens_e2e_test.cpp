// The data screens end to end under Wine, against kova-sim: the window
// answering while Enter writes a field of the VELA vehicle screen, the
// actuator screen refusing a value beyond its range, a parameter file
// applied to the controller from the customer screen, and the port screen
// finding the controller among silent ports.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;

TEST(VelaDataScreens, WindowAnswersDuringAWriteAndTheActuatorRefusesBeyondItsRange) {
  Kova kova;
  HWND screen = StartAtCustomer(kova, 1, "");
  ASSERT_TRUE(screen);
  FrameLog log;
  screen = Walk(kova, screen, IDC_NEXT, {IDC_CYLINDERS});
  ASSERT_TRUE(screen);
  EXPECT_EQ(Selection(screen, IDC_CYLINDERS), 1);  // kova-sim's 4 cylinders
  EXPECT_EQ(Selection(screen, IDC_COILS), 1);
  // The VELA vehicle screen always offers the source.
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(screen, IDC_SOURCE)));
  Shot("vehicle_vela");

  // Enter in the coils list writes that register alone; the window keeps
  // answering and says what it does meanwhile.
  Choose(screen, IDC_COILS, 3);
  EnterIn(screen, IDC_COILS, true);
  Sleep(2500);  // inside the 1600 ms pause and the write
  EXPECT_TRUE(Responds(screen)) << "the window stopped answering during the write";
  EXPECT_EQ(Text(screen, IDC_STATUS).rfind("Gravando 2B (1 de 1)", 0), 0u) << Text(screen, IDC_STATUS);
  EXPECT_EQ(log.Next(5), Confirmed({"2B 03"}, "05 18", {"09 2B"}));
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(screen, IDC_STATUS)));

  screen = Walk(kova, screen, IDC_NEXT, {IDC_LAMBDA_TYPE, IDC_AUX_STEPS, IDC_ACT_LOW_DEFAULT});
  ASSERT_TRUE(screen);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(screen, IDC_NEXT)));
  EXPECT_EQ(WaitText(screen, IDC_ACT_LOW_DEFAULT, "60"), "60");
  Shot("actuator");
  // A value above the field's range is refused before anything goes out.
  log.Rest();
  Type(screen, IDC_ACT_HIGH_DEFAULT, "241");
  Click(screen, IDC_WRITE);
  HWND box = WaitForMessage(kova.pid(), "Valor acima do limite superior.");
  ASSERT_TRUE(box);
  Answer(box, IDOK);
  Sleep(500);
  EXPECT_EQ(Text(screen, IDC_ACT_HIGH_DEFAULT), "240");
  EXPECT_EQ(log.Rest(), Frames{});

  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

// A proven configuration kept as a file goes to the controller from the
// customer screen, and what was written is read back and counted.
TEST(VelaApplyFile, AFileIsWrittenToTheControllerAndVerified) {
  Kova kova;
  HWND screen = StartAtCustomer(kova, 1, "");
  ASSERT_TRUE(screen);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(screen, IDC_APPLY_FILE)));
  // The controller's configuration as a file, then two values changed in it.
  std::string saved =
      LoadChangedParameters(kova, screen, "carro.VELA", {{"2B=1", "2B=3"}, {"3D=3C", "3D=46"}});
  ASSERT_FALSE(saved.empty());
  Shot("customer_file");

  FrameLog log;
  Click(screen, IDC_APPLY_FILE);
  HWND box = WaitForMessage(kova.pid(), "Parâmetros do arquivo diferentes dos do equipamento:", 20000, true);
  ASSERT_TRUE(box) << "no question";
  Answer(box, IDYES);
  box = WaitForMessage(kova.pid(), "2 parâmetros gravados no equipamento.", 30000);
  ASSERT_TRUE(box) << "no report";
  Answer(box, IDOK);
  // Last staged first: the idle default, then the coils; everything read back.
  EXPECT_EQ(log.Rest(), Confirmed({"3D 46", "2B 03"}, "05 18", {"09 00"}));

  // A later work cycle starts with empty stores and reads nothing: applying
  // reads the controller and the file as it is now before comparing.
  size_t at = saved.find("3D=46");
  ASSERT_NE(at, std::string::npos);
  saved.replace(at, 5, "3D=50");
  ASSERT_TRUE(WriteWorkFile("carro.VELA", saved));
  Click(screen, IDC_RETURN);
  screen = OpenCustomerScreen(kova, 1);
  ASSERT_TRUE(screen);
  Sleep(500);
  EXPECT_EQ(log.Rest(), Frames{});
  Click(screen, IDC_APPLY_FILE);
  box = WaitForMessage(kova.pid(), "Parâmetros do arquivo diferentes dos do equipamento:", 20000, true);
  ASSERT_TRUE(box) << "no question in the second work cycle";
  Answer(box, IDYES);
  box = WaitForMessage(kova.pid(), "1 parâmetro gravado no equipamento.", 30000);
  ASSERT_TRUE(box) << "no report in the second work cycle";
  Answer(box, IDOK);
  EXPECT_EQ(log.Rest(), Seq({{"09 00"}, Confirmed({"3D 50"}, "05 18", {"09 00"})}));
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

// How long the port screen's status line shows, once it shows.
DWORD SearchTime(HWND screen) {
  HWND status = GetDlgItem(screen, IDC_STATUS);
  for (int t = 0; t < 5000 && !IsWindowVisible(status); t += 10) Sleep(10);
  const DWORD start = GetTickCount();
  for (int t = 0; t < 20000 && IsWindowVisible(status); t += 10) Sleep(10);
  return GetTickCount() - start;
}

// KOVA.INI names COM1, which opens and never answers, as COM2 and COM3 do;
// COM4 does not open; kova-sim serves COM7. The port screen shows first,
// asks the ports at once (about a second, not one per port), says which one
// is in use and marks COM7, which KOVA.INI then remembers.
TEST(PortFinder, ThePortScreenFindsTheControllerAmongSilentPorts) {
  Kova kova;
  HWND screen = StartAtPortScreen(kova, "[CONFIG_VELA]\r\nCOM=1\r\n");
  ASSERT_TRUE(screen);
  EXPECT_LT(SearchTime(screen), 2500u) << "the ports were asked one after another";
  EXPECT_EQ(WaitForFoundPort(screen), L"COM7 - controlador encontrado");
  for (int com : {1, 2, 3})
    EXPECT_EQ(ComboEntry(screen, IDC_PORT_LIST, com - 1), L"COM" + std::to_wstring(com));
  EXPECT_EQ(ComboEntry(screen, IDC_PORT_LIST, 3), L"COM4 - em uso");
  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  ASSERT_TRUE(screen) << "no customer screen after the port screen";
  std::string ini = ReadAll(WorkFile("KOVA.INI"));
  EXPECT_NE(ini.find("COM=7"), std::string::npos) << ini;
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

}  // namespace
