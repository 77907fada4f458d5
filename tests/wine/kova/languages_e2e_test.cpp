// KOVA.exe in English and Spanish end to end under Wine, against kova-sim
// on COM9 (KOVA_E2E_MODEL: BRIO or VELA). For each language: the language
// chosen on the first screen and remembered in KOVA.INI (its button has
// the focus at the next start, and a second copy refuses to run in it), the
// whole work cycle and the monitor panel with a recording and a
// calibration. On every screen no visible text is a Portuguese catalog
// text, and every label and list entry fits its control at the scaling of
// the run (KOVA_E2E_LOGPIXELS: 96 for 100 %, 144 for 150 %; scaled.sh sets
// it in the prefix).
#include "shell/win32/win32.h"  // <windows.h> without its MessageBox macro

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/cp1252.h"
#include "common/text_catalog.h"
#include "common/texts.h"
#include "monitor/monitor_panel.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "screens/actuator_screen.h"
#include "screens/aux_screens.h"
#include "screens/customer_screen.h"
#include "screens/file_actions.h"
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"
#include "shell/selection_screens.h"
#include "shell/win32/controls.h"
#include "shell/win32/screen_set.h"
#include "tests/support/language_check.h"
#include "tests/support/null_serial_port.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova;
using namespace kova::wine_test;

bool Vela() { return Env("KOVA_E2E_MODEL") == "VELA"; }

int RunDpi() {
  const std::string v = Env("KOVA_E2E_LOGPIXELS");
  return v.empty() ? 96 : std::atoi(v.c_str());
}

// The designs of the screens the walk visits, built here as the program
// builds them: which labels have which fonts, which lists the field font.
struct Designs {
  NullSerialPort port;
  VirtualClock clock;
  AppContext app{port, clock};
  LambdaBrioScreen lambda{app, {}};
  ScreenDesign language = LanguageScreen::Design(), model = SelectionDesign(IDD_MODEL),
               customer = CustomerScreen::Design(app),
               vehicle = Vela() ? VehicleScreen::Design(app) : VehicleBrioScreen::Design(app),
               lambda_design = Vela() ? LambdaVelaScreen::Design(app)
                                      : LambdaBrioScreen::Design(app, lambda),
               aux = Vela() ? AuxVelaScreen::Design(app) : AuxBrioScreen::Design(app),
               actuator = ActuatorScreen::Design(app), monitor = MonitorPanel::Design(app);
};

std::wstring WindowText(HWND w) {
  std::wstring text(4096, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), 4096)));
  return text;
}

// The screen's own controls that show, their class and their texts (a
// list's entries).
struct Control {
  HWND hwnd;
  int id;
  std::wstring cls;
  std::vector<std::wstring> texts;
};
std::vector<Control> Controls(HWND screen) {
  std::pair<HWND, std::vector<Control>> walk{screen, {}};
  EnumChildWindows(
      screen,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* w = reinterpret_cast<std::pair<HWND, std::vector<Control>>*>(lp);
        if (!IsWindowVisible(child) || GetAncestor(child, GA_PARENT) != w->first) return TRUE;
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        Control c{child, GetDlgCtrlID(child), cls, {WindowText(child)}};
        if (c.cls == L"ComboBox") {
          c.texts.clear();
          for (LRESULT i = 0, n = SendMessageW(child, CB_GETCOUNT, 0, 0); i < n; ++i)
            c.texts.push_back(ComboEntry(w->first, c.id, static_cast<int>(i)));
        }
        w->second.push_back(c);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.second;
}

// No visible text is Portuguese (a catalog key whose translation differs,
// or such a text inside it), and every label's text lies within its
// control (wrapped where the label wraps) and every list entry within its
// box, in the fonts the screen uses.
void Check(HWND screen, const ScreenDesign& d, Language language, const char* where) {
  ASSERT_TRUE(screen) << "no " << where;
  Sleep(400);  // let the screen finish its opening
  const std::vector<std::string> foreign = ForeignKeys(language);
  HDC dc = GetDC(nullptr);
  HFONT dialog_font = CreateFontW(-MulDiv(8, RunDpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
  HFONT field_font = CreateFieldFont();
  for (const Control& c : Controls(screen)) {
    RECT box;
    GetClientRect(c.hwnd, &box);
    HFONT font = std::count(d.field_font_controls.begin(), d.field_font_controls.end(), c.id)
                     ? field_font : dialog_font, own = nullptr;
    for (const auto& l : d.labels)
      if (l.id == c.id) {
        LabelStyle style;
        style.Apply(l.font.flags);
        font = own = CreateLabelFont(Utf8ToWide(l.font.face), l.font.height, style);
      }
    HGDIOBJ old = SelectObject(dc, font);
    const LONG_PTR type = GetWindowLongPtrW(c.hwnd, GWL_STYLE) & SS_TYPEMASK;
    for (const std::wstring& t : c.texts) {
      const std::string text = WideToUtf8(t);
      const CatalogEntry* e = FindCatalogEntry(text);
      const bool untranslated = e && (language == Language::kEnglish ? e->english : e->spanish) != text;
      EXPECT_EQ(untranslated ? text : PortugueseIn(text, foreign), "")
          << where << ", control " << c.id << ": \"" << text << "\"";
      if (t.empty() || (c.cls == L"Static" && (type == SS_BITMAP || type == SS_ICON))) continue;
      RECT need = {0, 0, box.right, 0};
      DrawTextW(dc, t.c_str(), -1, &need,
                DT_CALCRECT | DT_NOPREFIX | (c.cls == L"Static" ? DT_WORDBREAK : DT_SINGLELINE));
      if (c.cls == L"ComboBox") {
        EXPECT_LE(need.right, box.right - GetSystemMetrics(SM_CXVSCROLL) - 4)
            << where << ", list " << c.id << " entry \"" << text << "\" is wider than its box";
      } else if (c.cls == L"Static") {
        EXPECT_LE(need.right, box.right) << where << ", label " << c.id << " \"" << text << "\" is wider than it";
        EXPECT_LE(need.bottom, box.bottom) << where << ", label " << c.id << " \"" << text << "\" is cut off";
      }
    }
    SelectObject(dc, old);
    if (own) DeleteObject(own);
  }
  DeleteObject(field_font);
  DeleteObject(dialog_font);
  ReleaseDC(nullptr, dc);
}

// Windows' list separator and decimal symbol, as the regional settings give them.
void SetSeparators(const wchar_t* list, const wchar_t* decimal) {
  for (auto [name, value] : {std::pair{L"sList", list}, {L"sDecimal", decimal}})
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\International", name, REG_SZ, value,
                    static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

int ButtonOf(Language l) {
  return l == Language::kEnglish ? IDC_LANG_EN : l == Language::kSpanish ? IDC_LANG_ES : IDC_LANG_PT;
}

HWND FocusOf(HWND screen) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(screen, nullptr), &info);
  return info.hwndFocus;
}

// A screenshot when asked for (scripts/screenshots.sh): "en_customer",
// "es_monitor_144" at another scaling.
void Shot(Language l, const char* screen) {
  std::string name = std::string(LanguageCode(l)) + "_" + screen;
  if (RunDpi() != 96) name += "_" + std::to_string(RunDpi());
  wine_test::Shot(name.c_str());
}

HWND Next(Kova& kova, HWND screen, int control) { return Walk(kova, screen, IDC_NEXT, {control}); }

// One language: from the language screen to the monitor and out.
void WalkIn(Language language, Language remembered, const Designs& d) {
  SetLanguage(remembered);
  Kova kova;
  ASSERT_TRUE(kova.Start());
  HWND screen = WaitForScreen(kova.pid(), IDC_LANG_PT);
  ASSERT_TRUE(screen);
  // The language screen opens in the language chosen last, its button
  // focused; a second copy refuses in that language too.
  EXPECT_EQ(Text(screen, IDC_TITLE), Tr("Selecione o Idioma"));
  HWND focus = nullptr;
  for (int t = 0; t < 3000 && focus != GetDlgItem(screen, ButtonOf(remembered)); t += 100, Sleep(100))
    focus = FocusOf(screen);
  EXPECT_EQ(focus, GetDlgItem(screen, ButtonOf(remembered)));
  if (remembered != Language::kPortuguese) {
    Kova second;
    ASSERT_TRUE(second.Start());
    HWND box = WaitForMessage(second.pid(), Tr(" Já existe um aplicativo aberto "));
    EXPECT_TRUE(box) << "no refusal of a second copy in the remembered language";
    if (box) Answer(box, IDOK);
    EXPECT_EQ(second.WaitEnd(), 0u);
  }
  Sleep(1200);  // the splash goes after a second
  Click(screen, ButtonOf(language));
  SetLanguage(language);

  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  Check(screen, d.model, language, "model screen");
  // Back on the language screen, now in the language chosen.
  screen = Walk(kova, screen, IDC_RETURN, {IDC_LANG_PT});
  Shot(language, "splash");
  Sleep(1200);
  Check(screen, d.language, language, "language screen");
  Shot(language, "language");
  Click(screen, ButtonOf(language));
  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  Shot(language, "model");
  Choose(screen, IDC_MODEL_LIST, Vela() ? kModelVela : kModelBrio);
  Sleep(200);
  Click(screen, IDC_NEXT);

  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  WaitForFrames(1);
  Check(screen, d.customer, language, "customer screen");
  Shot(language, "customer");
  // A save to a new file says so in the language.
  const char* file = Vela() ? "lang.VELA" : "lang.BRIO";
  DeleteFileW(WorkFile(file).c_str());
  Click(screen, IDC_SAVE);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile(file)));
  HWND box = WaitForMessage(kova.pid(), Tr(kNewFileText));
  ASSERT_TRUE(box) << "no new-file message in the language";
  Answer(box, IDOK);
  Sleep(500);

  screen = Next(kova, screen, IDC_CYLINDERS);
  Check(screen, d.vehicle, language, "vehicle screen");
  Shot(language, "vehicle");
  screen = Next(kova, screen, IDC_LAMBDA_TYPE);
  Check(screen, d.lambda_design, language, "lambda screen");
  // Each signal type shows its own fields ("Real": the probe's mode and
  // the live display; not on VELA).
  for (int type = kTypeSpecific; type <= (Vela() ? kTypeOpen : kTypeReal); ++type) {
    Choose(screen, IDC_LAMBDA_TYPE, type);
    Sleep(type == kTypeReal ? 2500 : 500);
    Check(screen, d.lambda_design, language, "lambda screen with another signal type");
  }
  Shot(language, "lambda");
  screen = Next(kova, screen, IDC_AUX_STEPS);
  Check(screen, d.aux, language, "auxiliary screen");
  Shot(language, "aux");
  screen = Next(kova, screen, IDC_ACT_LOW_DEFAULT);
  Check(screen, d.actuator, language, "actuator screen");
  Shot(language, "actuator");

  // The monitor: a recording in the user's separator and decimal symbol,
  // and a calibration.
  Sleep(300);
  Click(screen, IDC_MONITOR);
  HWND panel = WaitForScreen(kova.pid(), IDC_MON_CALIBRATE);
  Sleep(1500);
  Check(panel, d.monitor, language, "monitor panel");
  Shot(language, "monitor");
  Click(panel, IDC_MON_RECORD);
  Sleep(500);
  const std::string label = Text(panel, IDC_MON_RECORD_FILE);
  const std::string prefix = TrFormat("Gravando em {0}", {""});
  ASSERT_EQ(label.rfind(prefix, 0), 0u) << label;
  Click(panel, IDC_MON_CALIBRATE);
  Sleep(1500);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_PROGRESS)));
  Check(panel, d.monitor, language, "monitor panel calibrating");
  Shot(language, "monitor_calibrating");
  for (int t = 0; t < 15000 && IsWindowVisible(GetDlgItem(panel, IDC_MON_PROGRESS)); t += 200)
    Sleep(200);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(panel, IDC_MON_PROGRESS)));
  Click(panel, IDC_MON_RECORD_STOP);
  Sleep(500);
  const std::string csv = Cp1252ToUtf8(ReadAll(Utf8ToWide(label.substr(prefix.size()))));
  const std::string second_line = csv.substr(csv.find('\n') + 1);
  if (language == Language::kEnglish) {
    EXPECT_EQ(csv.rfind("Time (ms),Date and time,Engine speed (rpm),TPS (V),", 0), 0u) << csv.substr(0, 90);
    EXPECT_NE(second_line.find(".", second_line.find(",", second_line.find(",") + 1)), std::string::npos);
  } else {
    EXPECT_EQ(csv.rfind("Tiempo (ms);Fecha y hora;Régimen (rpm);TPS (V);", 0), 0u) << csv.substr(0, 90);
  }
  EXPECT_EQ(PortugueseIn(csv, ForeignKeys(language)), "");
  Click(panel, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
  EXPECT_NE(ReadAll(WorkFile("KOVA.INI")).find(std::string("Idioma=") + LanguageCode(language)),
            std::string::npos);
}

TEST(Languages, TheWholeCycleAndTheMonitorInEnglishThenSpanish) {
  CreateDirectoryW(L"c:\\temp", nullptr);
  DeleteFileW(WorkFile("KOVA.INI").c_str());
  ASSERT_TRUE(WriteWorkFile("KOVA.INI", "[CONFIG_VELA]\r\nCOM=9\r\n[CONFIG_BRIO]\r\nCOM=9\r\n"));
  const Designs designs;
  SetSeparators(L",", L".");  // an English Windows
  WalkIn(Language::kEnglish, Language::kPortuguese, designs);
  SetSeparators(L";", L",");  // a Spanish (and a Brazilian) one
  WalkIn(Language::kSpanish, Language::kEnglish, designs);
  SetLanguage(Language::kPortuguese);
}

}  // namespace
