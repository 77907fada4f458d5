// KOVA.exe: the start-up sequence and the screen loop. There is no main
// window: every screen is a modal dialog run by the loop, and the process
// ends when the loop ends.
#include "shell/win32.h"
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <memory>

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
#include "serial/port_probe.h"
#include "shell/app_context.h"
#include "shell/controls_win32.h"
#include "shell/dialog_view_win32.h"
#include "shell/link_session.h"
#include "shell/pumping_clock_win32.h"
#include "shell/screen_window_win32.h"
#include "shell/selection_screens.h"

namespace kova {
namespace {

// The splash is allowed unless the program was started embedded or for
// automation; no other argument has an effect.
bool SplashAllowed() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return true;
  bool allowed = true;
  for (int i = 1; i < argc; ++i) {
    const wchar_t* a = argv[i];
    if (*a == L'/' || *a == L'-') ++a;
    if (lstrcmpiW(a, L"Embedding") == 0 || lstrcmpiW(a, L"Automation") == 0) allowed = false;
  }
  LocalFree(argv);
  return allowed;
}

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

HFONT CreateFieldFont() {
  return CreateFontW(18, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

using Tips = std::vector<ScreenDesign::Tooltip>;

ScreenDesign SelectionDesign(int template_id) {
  ScreenDesign s;
  s.template_id = template_id;
  s.background = [] { return IDB_BG_SELECTION; };
  s.buttons = {{IDC_RETURN, IDB_BTN_RETURN}, {IDC_NEXT, IDB_BTN_NEXT}, {IDC_EXIT, IDB_BTN_EXIT}};
  s.labels = {{IDC_TITLE, kTitleFontCentred}};
  s.tooltips = Tips{{0, "Tela de Dados"}, {IDC_NEXT, "Próximo"}, {IDC_RETURN, "Retornar"},
                    {IDC_EXIT, "Sair"}};
  return s;
}

ScreenDesign LanguageDesign() {
  ScreenDesign s;
  s.template_id = IDD_LANGUAGE;
  s.background = [] { return IDB_BG_SELECTION; };
  s.buttons = {{IDC_LANG_PT, IDB_BTN_LANG_PT}, {IDC_LANG_EN, IDB_BTN_LANG_EN},
               {IDC_LANG_ES, IDB_BTN_LANG_ES}};
  LabelFont caption{"Ms Sans Serif", 14, 1u | 32u};
  s.labels = {{IDC_TITLE, kTitleFontCentred},
              {IDC_LANG_PT_LABEL, caption},
              {IDC_LANG_EN_LABEL, caption},
              {IDC_LANG_ES_LABEL, caption}};
  s.tooltips = Tips{{0, "Seleção de Idioma"},
                    {IDC_LANG_PT, "Português"},
                    {IDC_LANG_EN, "English"},
                    {IDC_LANG_ES, "Español"}};
  s.splash_bitmap = IDB_SPLASH;
  return s;
}

// The eleven screen objects, built once and reused; a slot without a
// window is a screen this program does not have yet.
class Screens final : public ScreenHost {
 public:
  struct Slot {
    std::unique_ptr<ScreenLogic> logic;
    std::unique_ptr<ScreenWindow> window;
  };
  void Put(ScreenObject which, std::unique_ptr<ScreenLogic> logic, ScreenDesign design) {
    Slot& s = slots_[static_cast<size_t>(which)];
    s.logic = std::move(logic);
    s.window = std::make_unique<ScreenWindow>(std::move(design), *s.logic);
  }
  bool Available(ScreenObject which) const override {
    return slots_[static_cast<size_t>(which)].window != nullptr;
  }
  int Run(ScreenObject which) override {
    Slot& s = slots_[static_cast<size_t>(which)];
    return s.window ? s.window->Run() : kScreenExit;
  }
  // In reverse order of construction.
  void DestroyAll() {
    for (size_t i = slots_.size(); i-- > 0;) {
      slots_[i].window.reset();
      slots_[i].logic.reset();
    }
  }
  ~Screens() override { DestroyAll(); }

 private:
  std::array<Slot, kScreenObjectCount> slots_;
};

int RunApplication(HINSTANCE instance) {
  splash::Enable(SplashAllowed());

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  CKX4COMM comm;
  ComSerialPort port(comm);
  // Waits between frames keep the window painting.
  PumpingClock clock;
  SetProcessClock(&clock);
  AppContext app(port, clock);
  app.table = ParameterTable{};  // cleared before any screen runs

  HFONT field_font = CreateFieldFont();
  app.ctrl = 0;
  // When Windows ends the session or sleeps: stream stopped, port let go
  // (and opened again after the sleep). Plain sleeps: no messages run
  // inside those notices.
  SystemClock plain_clock;
  LinkSession link_session(app.port, plain_clock, app.model);
  SetShellResources({instance, field_font, &app.ctrl, [&link_session] { link_session.End(); },
                     [&link_session](bool suspend) {
                       if (suspend)
                         link_session.Suspend();
                       else
                         link_session.Resume();
                     }});

  // The monitor panel, run modally from the data screens' Monitor button.
  // The calibration's waits let input through: leaving during one asks.
  PumpingClock calibration_clock(PumpingClock::kTakesInput);
  MonitorEnv monitor_env = DefaultMonitorEnv();
  monitor_env.calibration_clock = &calibration_clock;
  MonitorPanel monitor(app, monitor_env);
  ScreenWindow monitor_window(MonitorPanel::Design(app), monitor);

  // The screen objects, in their order of construction.
  Screens screens;
  screens.Put(ScreenObject::Port, std::make_unique<PortScreen>(app.port, ControllerSearch(app)),
              SelectionDesign(IDD_PORT));
  screens.Put(ScreenObject::Language, std::make_unique<LanguageScreen>(), LanguageDesign());
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
    MessageBoxW(nullptr, L" J\u00e1 existe um aplicativo aberto ", kAppCaption, MB_OK);
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
