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
#include "report/win32/report_preview.h"
#include "monitor/recording_viewer.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/actuator_screen.h"
#include "screens/aux_screens.h"
#include "screens/customer_screen.h"
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"
#include "serial/ckx4comm.h"
#include "serial/com_serial_port.h"
#include "serial/port_probe.h"
#include "shell/app_context.h"
#include "shell/link_session.h"
#include "shell/win32/controls.h"
#include "shell/win32/dialog_view.h"
#include "shell/win32/pumping_clock.h"
#include "shell/win32/screen_set.h"
#include "shell/win32/screen_window.h"
#include "shell/selection_screens.h"

namespace kova {
namespace {

// The port screen's search: the system's ports, each but the Bluetooth ones
// opened with the model's line settings and asked at once.
PortSearch ControllerSearch(AppContext& app) {
  auto probe = [&app](const std::vector<SystemPort>& ports) {
    ProbeHooks hooks;
    hooks.open = [&app](int n) {
      std::unique_ptr<SerialPort> port = OpenOwnComPort(n);
      if (port && ApplyLineSettings(*port, app.model) != 0) port.reset();
      return port;
    };
    hooks.ask = [&app](const std::vector<SerialPort*>& open) {
      return ControllersAnswer(open, app.clock, app.model);
    };
    return ProbePorts(ports, hooks);
  };
  return PortSearch{ListSystemPorts, probe};
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
  // When Windows ends the session or sleeps: stream stopped, port let go
  // (and opened again after the sleep). Plain sleeps: no messages run
  // inside those notices.
  SystemClock plain_clock;
  LinkSession link_session(app.port, plain_clock, app.model);
  SetShellResources({instance, field_font, &app.ctrl, [&link_session] { link_session.End(); },
                     [&link_session](bool suspend) {
                       if (!suspend) return link_session.Resume();
                       link_session.Suspend();
                       return false;
                     }});

  // The monitor panel, run modally from the data screens' Monitor button.
  // The calibration's waits let input through: leaving during one asks.
  PumpingClock calibration_clock(PumpingClock::kTakesInput);
  MonitorEnv monitor_env = DefaultMonitorEnv();
  monitor_env.calibration_clock = &calibration_clock;
  // A recording opened from the panel shows in the viewer, over the panel.
  RecordingViewer viewer;
  ScreenWindow viewer_window(RecordingViewer::Design(), viewer);
  monitor_env.show_recording = [&viewer, &viewer_window](const Recording& recording,
                                                         const std::string& path) {
    viewer.Load(recording, path);
    viewer_window.Run();
  };
  MonitorPanel monitor(app, monitor_env);
  ScreenWindow monitor_window(MonitorPanel::Design(app), monitor);

  // The screen objects, in their order of construction.
  Screens screens;
  screens.Put(ScreenObject::Port, std::make_unique<PortScreen>(app.port, ControllerSearch(app)),
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
              std::make_unique<CustomerScreen>(app, links(FlowState::Customer),
                                               [&app] { RunReportPreview(GetActiveWindow(), app); }),
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
