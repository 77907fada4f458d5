// The vehicle and actuator screens end to end under Wine, against kova-sim:
// a VELA and a BRIO work cycle up to the actuator screen with Enter in one
// field and the write button for a screen, checked frame by frame in the
// simulator's log; a parameter file saved and loaded back; and the port
// screen finding the controller on another port than KOVA.INI names.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "resources/control_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;
using Frames = std::vector<std::string>;

// Frames logged after the first `skip`.
Frames After(const Frames& all, size_t skip) {
  return skip < all.size() ? Frames(all.begin() + static_cast<long>(skip), all.end()) : Frames{};
}

// Next until the actuator screen, through whatever screens lie between.
HWND GoToActuator(Kova& kova, HWND screen) {
  for (int hops = 0; hops < 5 && screen; ++hops) {
    if (GetDlgItem(screen, IDC_ACT_LOW_DEFAULT)) return screen;
    HWND from = screen;
    Click(from, IDC_NEXT);
    screen = WaitForWindow(kova.pid(), [from](HWND w) {
      return w != from && GetDlgItem(w, IDC_NEXT) && GetDlgItem(w, IDC_EXIT);
    });
  }
  return screen && GetDlgItem(screen, IDC_ACT_LOW_DEFAULT) ? screen : nullptr;
}

void CleanWork() {
  CreateDirectoryW(L"c:\\temp", nullptr);
  DeleteFileW(WorkFile("KOVA.INI").c_str());
  DeleteFileW(WorkFile("carro.VELA").c_str());
}

TEST(VelaDataScreens, VehicleEnterWriteSaveLoadThenActuator) {
  CleanWork();
  Kova kova;
  ASSERT_TRUE(kova.Start());
  HWND screen = OpenCustomerScreen(kova, 1);
  ASSERT_TRUE(screen) << "no customer screen";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(screen, IDC_NEXT)));
  ASSERT_EQ(WaitForFrames(1), Frames{"09 00"});

  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_CYLINDERS);
  ASSERT_TRUE(screen) << "no vehicle screen";
  EXPECT_EQ(Selection(screen, IDC_CYLINDERS), 1);  // kova-sim's 4 cylinders
  EXPECT_EQ(Selection(screen, IDC_COILS), 1);
  // The VELA vehicle screen always offers the source.
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(screen, IDC_SOURCE)));
  Shot("vehicle_vela");

  // Enter in the coils list writes that register alone; the window keeps
  // answering and says what it does meanwhile.
  Choose(screen, IDC_COILS, 3);
  Focus(screen, IDC_COILS, true);
  Enter(screen);
  Sleep(2500);  // inside the 1600 ms pause and the write
  EXPECT_TRUE(Responds(screen)) << "the window stopped answering during the write";
  EXPECT_EQ(Text(screen, IDC_STATUS).rfind("Gravando 2B (1 de 1)", 0), 0u) << Text(screen, IDC_STATUS);
  Frames frames = WaitForFrames(6);
  EXPECT_EQ(After(frames, 1), (Frames{"2B 03", "05 18", "05 18", "05 18", "09 2B"}));

  // The write button: nothing else changed, so the cylinders alone, then
  // everything read back.
  Sleep(500);
  Click(screen, IDC_WRITE);
  frames = WaitForFrames(11);
  EXPECT_EQ(After(frames, 6), (Frames{"2C 04", "05 18", "05 18", "05 18", "09 00"}));
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(screen, IDC_STATUS)));

  // Save a parameter file: it receives the controller's values.
  Click(screen, IDC_SAVE);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("carro.VELA")));
  HWND box = WaitForMessage(kova.pid(), "O arquivo vai receber os valores de configuração do Equipamento.");
  ASSERT_TRUE(box) << "no new-file message";
  Answer(box, IDOK);
  std::string saved;
  for (int t = 0; t < 5000 && saved.find("2B=") == std::string::npos; t += 100) {
    Sleep(100);
    saved = ReadAll(WorkFile("carro.VELA"));
  }
  EXPECT_FALSE(WaitForMessage(kova.pid(), "Ocorreu um erro na tentativa de Gravar o Arquivo.", 200));
  ASSERT_NE(saved.find("[CONFIG_VELA]"), std::string::npos) << saved;
  ASSERT_NE(saved.find("2B=3"), std::string::npos) << saved;
  // Change the file behind the program's back, then load it.
  size_t at = saved.find("2B=3");
  saved.replace(at, 4, "2B=5");
  {
    std::ofstream out(WorkFile("carro.VELA").c_str(), std::ios::binary);
    out << saved;
  }
  Click(screen, IDC_LOAD);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("carro.VELA")));
  for (int t = 0; t < 5000 && Selection(screen, IDC_COILS) != 5; t += 100) Sleep(100);
  EXPECT_EQ(Selection(screen, IDC_COILS), 5);
  EXPECT_EQ(Selection(screen, IDC_SOURCE), 0);  // "Arquivo"
  // With the file as source, Enter sends nothing.
  size_t before = LoggedFrames().size();
  Focus(screen, IDC_COILS, true);
  Enter(screen);
  Sleep(2500);
  EXPECT_EQ(LoggedFrames().size(), before);

  screen = GoToActuator(kova, screen);
  ASSERT_TRUE(screen) << "no actuator screen";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(screen, IDC_NEXT)));
  // Back to the controller as source, then Enter in the idle default.
  Choose(screen, IDC_SOURCE, 1);
  Sleep(300);
  EXPECT_EQ(Text(screen, IDC_ACT_LOW_DEFAULT), "60");
  Shot("actuator");
  before = LoggedFrames().size();
  Type(screen, IDC_ACT_LOW_DEFAULT, "70");
  Focus(screen, IDC_ACT_LOW_DEFAULT, false);
  Enter(screen);
  frames = WaitForFrames(before + 5);
  EXPECT_EQ(After(frames, before), (Frames{"3D 46", "05 18", "05 18", "05 18", "09 00"}));

  // A value above the field's range is refused before anything goes out.
  Sleep(500);
  before = LoggedFrames().size();
  Type(screen, IDC_ACT_HIGH_DEFAULT, "241");
  Click(screen, IDC_WRITE);
  box = WaitForMessage(kova.pid(), "Valor acima do limite superior.");
  ASSERT_TRUE(box);
  Answer(box, IDOK);
  Sleep(500);
  EXPECT_EQ(Text(screen, IDC_ACT_HIGH_DEFAULT), "240");
  EXPECT_EQ(LoggedFrames().size(), before);

  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

TEST(BrioDataScreens, SwitchOverSpeedByEnterAndActuatorByWriteButton) {
  CleanWork();
  Kova kova;
  ASSERT_TRUE(kova.Start());
  HWND screen = OpenCustomerScreen(kova, 0);
  ASSERT_TRUE(screen) << "no customer screen";
  ASSERT_EQ(WaitForFrames(1), Frames{"00 04 00"});
  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_SWITCH_RPM);
  ASSERT_TRUE(screen) << "no vehicle and switch-over screen";
  EXPECT_EQ(Text(screen, IDC_SWITCH_RPM), "40");  // kova-sim: 75 = 0x28, 76 = 0
  Shot("vehicle_brio");

  // Enter in the speed box: both bytes, high first, each confirmed; the
  // whole store read back, then the speed's first register into the file
  // store.
  Type(screen, IDC_SWITCH_RPM, "4864");
  Focus(screen, IDC_SWITCH_RPM, false);
  Enter(screen);
  Frames frames = WaitForFrames(11);
  EXPECT_EQ(After(frames, 1),
            (Frames{"00 76 13", "00 05 18", "00 05 18", "00 05 18", "00 75 00", "00 05 18",
                    "00 05 18", "00 05 18", "00 04 00", "00 04 75"}));

  // A number out of the row's range is refused with the default text.
  Type(screen, IDC_RETURN_TIME, "150");
  HWND box = WaitForMessage(kova.pid(), "Valor acima do limite superior.");
  ASSERT_TRUE(box);
  Answer(box, IDOK);
  Sleep(300);
  EXPECT_EQ(Text(screen, IDC_RETURN_TIME), "1.00");

  screen = GoToActuator(kova, screen);
  ASSERT_TRUE(screen) << "no actuator screen";
  Sleep(500);
  size_t before = LoggedFrames().size();
  Type(screen, IDC_ACT_HIGH_MAX, "7");
  Type(screen, IDC_ACT_LOW_DEFAULT, "70");
  Click(screen, IDC_WRITE);
  // Staged 3D then 42: sent last staged first, then everything read back.
  frames = WaitForFrames(before + 9);
  EXPECT_EQ(After(frames, before),
            (Frames{"00 42 07", "00 05 18", "00 05 18", "00 05 18", "00 3D 46", "00 05 18",
                    "00 05 18", "00 05 18", "00 04 00"}));
  Sleep(500);
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

// A proven configuration kept as a file goes to the controller from the
// customer screen, and what was written is read back and counted.
TEST(VelaApplyFile, AFileIsWrittenToTheControllerAndVerified) {
  CleanWork();
  Kova kova;
  ASSERT_TRUE(kova.Start());
  HWND screen = OpenCustomerScreen(kova, 1);
  ASSERT_TRUE(screen) << "no customer screen";
  ASSERT_EQ(WaitForFrames(1), Frames{"09 00"});
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(screen, IDC_APPLY_FILE)));
  // The controller's configuration as a file, then two values changed in it.
  Click(screen, IDC_SAVE);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("carro.VELA")));
  HWND box = WaitForMessage(kova.pid(), "O arquivo vai receber os valores de configuração do Equipamento.");
  ASSERT_TRUE(box);
  Answer(box, IDOK);
  std::string saved;
  for (int t = 0; t < 5000 && saved.find("3D=") == std::string::npos; t += 100) {
    Sleep(100);
    saved = ReadAll(WorkFile("carro.VELA"));
  }
  for (auto [from, to] : {std::pair{"2B=1", "2B=3"}, {"3D=3C", "3D=46"}}) {
    size_t at = saved.find(from);
    ASSERT_NE(at, std::string::npos) << from << " in " << saved;
    saved.replace(at, std::string(from).size(), to);
  }
  {
    std::ofstream out(WorkFile("carro.VELA").c_str(), std::ios::binary);
    out << saved;
  }
  Click(screen, IDC_LOAD);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("carro.VELA")));
  for (int t = 0; t < 5000 && !IsWindowEnabled(GetDlgItem(screen, IDC_APPLY_FILE)); t += 100)
    Sleep(100);
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(screen, IDC_APPLY_FILE)));
  Shot("customer_file");

  size_t before = LoggedFrames().size();
  Click(screen, IDC_APPLY_FILE);
  box = WaitForMessage(kova.pid(), "Parâmetros do arquivo diferentes dos do equipamento:", 20000, true);
  ASSERT_TRUE(box) << "no question";
  Answer(box, IDYES);
  box = WaitForMessage(kova.pid(), "2 parâmetros gravados no equipamento.", 30000);
  ASSERT_TRUE(box) << "no report";
  Answer(box, IDOK);
  // Last staged first: the idle default, then the coils; everything read back.
  EXPECT_EQ(After(LoggedFrames(), before),
            (Frames{"3D 46", "05 18", "05 18", "05 18", "2B 03", "05 18", "05 18", "05 18",
                    "09 00"}));
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

// KOVA.INI names COM1, where nothing answers; kova-sim serves COM3.
TEST(PortFinder, ThePortScreenFindsTheControllerOnAnotherPort) {
  CleanWork();
  {
    std::ofstream ini(WorkFile("KOVA.INI").c_str(), std::ios::binary);
    ini << "[CONFIG_VELA]\r\nCOM=1\r\n";
  }
  Kova kova;
  ASSERT_TRUE(kova.Start());
  HWND screen = WaitForScreen(kova.pid(), IDC_LANG_PT);
  ASSERT_TRUE(screen);
  Sleep(1200);
  Click(screen, IDC_LANG_PT);
  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  ASSERT_TRUE(screen);
  Click(screen, IDC_NEXT);
  HWND box = WaitForMessage(kova.pid(), "Erro na leitura dos parâmetros !!!", 30000);
  ASSERT_TRUE(box) << "no read error on COM1";
  Answer(box, IDOK);
  screen = WaitForScreen(kova.pid(), IDC_PORT_LIST, 60000);
  ASSERT_TRUE(screen) << "no port screen";
  int chosen = Selection(screen, IDC_PORT_LIST);
  EXPECT_EQ(ComboEntry(screen, IDC_PORT_LIST, chosen), L"COM3 - controlador encontrado");
  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  ASSERT_TRUE(screen) << "no customer screen after the port screen";
  Sleep(500);
  std::string ini = ReadAll(WorkFile("KOVA.INI"));
  EXPECT_NE(ini.find("COM=3"), std::string::npos) << ini;
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

}  // namespace
