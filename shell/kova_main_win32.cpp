// KOVA.exe: the start-up sequence, the screens registered in their order,
// and the screen loop. There is no main window: every screen is a modal
// dialog run by the loop, and the process ends when the loop ends.
#include "shell/win32/win32.h"
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "common/cp1252.h"
#include "common/texts.h"
#include "monitor/monitor_panel.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/actuator_screen.h"
#include "screens/aux_screens.h"
#include "screens/customer_screen.h"
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"
#include "serial/ckx4comm.h"
#include "serial/com_serial_port.h"
#include "shell/app_context.h"
#include "shell/win32/controls.h"
#include "shell/win32/dialog_view.h"
#include "shell/win32/pumping_clock.h"
#include "shell/win32/screen_set.h"
#include "shell/win32/screen_window.h"
#include "shell/selection_screens.h"

namespace kova {
namespace {

// Whether the port "COMn" can be opened for reading and writing with
// exclusive access. Ports from 10 up need the device namespace.
bool PortOpens(int n) {
  wchar_t name[24];
  std::swprintf(name, 24, n >= 10 ? L"\\\\.\\COM%d" : L"COM%d", n);
  HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

// Whether the model's controller answers on port n: the port this program
// holds is asked as it is, any other is opened with the model's settings
// for the question and closed again.
bool FindsController(AppContext& app, int n) {
  if (n == app.port.GetPortNumber() && app.port.PortConnected())
    return ControllerAnswers(app.port, app.clock, app.model);
  CKX4COMM comm;
  ComSerialPort probe(comm);
  probe.SetPortNumber(n);
  if (probe.OpenPort() != 0) return false;
  bool found = ApplyLineSettings(probe, app.model) == 0 &&
               ControllerAnswers(probe, app.clock, app.model);
  probe.ClosePort();
  return found;
}

int RunApplication(HINSTANCE instance) {
  StartShell();

  CKX4COMM comm;
  ComSerialPort port(comm);
  // Waits between frames keep the window painting.
  PumpingClock clock;
  SetProcessClock(&clock);
  AppContext app(port, clock);
  app.table = ParameterTable{};  // cleared before any screen runs
  // The language chosen last: the splash and a refusal to run twice speak it.
  SetLanguage(LanguageSetting(app.settings));

  HFONT field_font = CreateFieldFont();
  app.ctrl = 0;
  SetShellResources({instance, field_font, &app.ctrl});

  // The monitor panel, run modally from the data screens' Monitor button.
  // The calibration's waits let input through: leaving during one asks.
  PumpingClock calibration_clock(PumpingClock::kTakesInput);
  MonitorEnv monitor_env = DefaultMonitorEnv();
  monitor_env.calibration_clock = &calibration_clock;
  MonitorPanel monitor(app, monitor_env);
  ScreenWindow monitor_window(MonitorPanel::Design(app), monitor);

  // The screen objects, in their order of construction.
  Screens screens;
  screens.Put(ScreenObject::Port,
              std::make_unique<PortScreen>(app.port,
                                           [&app](int n) {
                                             // The port this program holds
                                             // open is listed too.
                                             if (n == app.port.GetPortNumber() &&
                                                 app.port.PortConnected())
                                               return true;
                                             return PortOpens(n);
                                           },
                                           [&app](int n) { return FindsController(app, n); }),
              SelectionDesign(IDD_PORT));
  screens.Put(ScreenObject::Language,
              std::make_unique<LanguageScreen>(
                  [&app](Language chosen) { SetLanguageSetting(app.settings, chosen); }),
              LanguageScreen::Design());
  screens.Put(ScreenObject::Model,
              std::make_unique<ModelScreen>(app.model,
                                            [&app](int m) { BuildParameterTable(app.table, m); }),
              SelectionDesign(IDD_MODEL));
  // The data screens: Next where a screen follows; the monitor panel.
  auto links = [&screens, &app, &monitor_window](FlowState state) {
    return ScreenLinks{[&screens, &app, state] { return CanGoNext(screens, state, app.model); },
                       [&monitor_window] { return monitor_window.Run(); }};
  };
  screens.Put(ScreenObject::AuxiliaryFull,
              std::make_unique<AuxBrioScreen>(app, links(FlowState::Auxiliary)),
              AuxBrioScreen::Design(app));
  screens.Put(ScreenObject::Customer,
              std::make_unique<CustomerScreen>(app, links(FlowState::Customer)),
              CustomerScreen::Design(app));
  screens.Put(ScreenObject::Actuator,
              std::make_unique<ActuatorScreen>(app, links(FlowState::Actuator)),
              ActuatorScreen::Design(app));
  screens.Put(ScreenObject::VehicleSwitchOver,
              std::make_unique<VehicleBrioScreen>(app, links(FlowState::Vehicle)),
              VehicleBrioScreen::Design(app));
  {
    auto lambda = std::make_unique<LambdaBrioScreen>(app, links(FlowState::Lambda));
    ScreenDesign design = LambdaBrioScreen::Design(app, *lambda);
    screens.Put(ScreenObject::LambdaInjection, std::move(lambda), std::move(design));
  }
  screens.Put(ScreenObject::Vehicle,
              std::make_unique<VehicleScreen>(app, links(FlowState::Vehicle)),
              VehicleScreen::Design(app));
  screens.Put(ScreenObject::AuxiliaryShort,
              std::make_unique<AuxVelaScreen>(app, links(FlowState::Auxiliary)),
              AuxVelaScreen::Design(app));
  screens.Put(ScreenObject::LambdaSimulation,
              std::make_unique<LambdaVelaScreen>(app, links(FlowState::Lambda)),
              LambdaVelaScreen::Design(app));

  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Kova_aplication");
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    MessageBoxW(nullptr, Utf8ToWide(Tr(" Já existe um aplicativo aberto ")).c_str(), kAppCaption,
                MB_OK);
    screens.DestroyAll();
    DeleteObject(field_font);
    return 0;
  }

  RunScreenLoop(screens, app.model);

  screens.DestroyAll();
  if (field_font) DeleteObject(field_font);
  if (mutex) CloseHandle(mutex);
  return 0;
}

}  // namespace
}  // namespace kova

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return kova::RunApplication(instance);
}
