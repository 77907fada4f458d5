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

struct Child {
  HWND hwnd;
  int id;
  std::wstring cls;
};

// The screen's own controls that show (not the parts of a list).
std::vector<Child> VisibleChildren(HWND screen) {
  struct Walk {
    HWND screen;
    std::vector<Child> out;
  } walk{screen, {}};
  EnumChildWindows(
      screen,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(lp);
        if (!IsWindowVisible(child) || GetAncestor(child, GA_PARENT) != w->screen) return TRUE;
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        w->out.push_back({child, GetDlgCtrlID(child), cls});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.out;
}

std::wstring WindowText(HWND w) {
  std::wstring text(4096, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), 4096)));
  return text;
}

std::vector<std::wstring> Entries(HWND combo) {
  std::vector<std::wstring> out;
  const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring e(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(e.data()));
    e.resize(static_cast<size_t>(len < 0 ? 0 : len));
    out.push_back(e);
  }
  return out;
}

// A text that shows in Portuguese where the language is another: a catalog
// key whose translation differs, or such a text inside it.
std::string Portuguese(const std::string& text, Language language) {
  if (const CatalogEntry* e = FindCatalogEntry(text)) {
    const std::string shown = language == Language::kEnglish ? e->english : e->spanish;
    if (shown != text) return text;
  }
  return PortugueseIn(text, ForeignKeys(language));
}

void ExpectInLanguage(HWND screen, Language language, const char* where) {
  for (const Child& c : VisibleChildren(screen)) {
    std::vector<std::wstring> texts = {WindowText(c.hwnd)};
    if (c.cls == L"ComboBox") texts = Entries(c.hwnd);
    for (const std::wstring& t : texts)
      EXPECT_EQ(Portuguese(WideToUtf8(t), language), "")
          << where << ", control " << c.id << ": \"" << WideToUtf8(t) << "\"";
  }
}

bool Labelled(const ScreenDesign& d, int id, LabelFont* font) {
  for (const auto& l : d.labels)
    if (l.id == id) return *font = l.font, true;
  return false;
}

// Every label's text within its control (wrapped where the label wraps),
// and every list entry within its list's box, in the fonts the screen uses.
void ExpectLabelsFit(HWND screen, const ScreenDesign& d, const char* where) {
  HDC dc = GetDC(nullptr);
  HFONT dialog_font = CreateFontW(-MulDiv(8, RunDpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
  HFONT field_font = CreateFieldFont();
  for (const Child& c : VisibleChildren(screen)) {
    RECT box;
    GetClientRect(c.hwnd, &box);
    if (c.cls == L"Static") {
      const std::wstring text = WindowText(c.hwnd);
      const LONG_PTR style = GetWindowLongPtrW(c.hwnd, GWL_STYLE) & SS_TYPEMASK;
      if (text.empty() || style == SS_BITMAP || style == SS_ICON) continue;
      LabelFont f;
      HFONT font = dialog_font, own = nullptr;
      if (Labelled(d, c.id, &f)) {
        LabelStyle s;
        s.Apply(f.flags);
        font = own = CreateLabelFont(Utf8ToWide(f.face), f.height, s);
      }
      HGDIOBJ old = SelectObject(dc, font);
      RECT need = {0, 0, box.right, 0};
      DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, old);
      if (own) DeleteObject(own);
      EXPECT_LE(need.right, box.right) << where << ", label " << c.id << " \"" << WideToUtf8(text)
                                       << "\" is wider than its control";
      EXPECT_LE(need.bottom, box.bottom) << where << ", label " << c.id << " \""
                                         << WideToUtf8(text) << "\" has lines cut off";
    } else if (c.cls == L"ComboBox") {
      bool field = false;
      for (int id : d.field_font_controls) field = field || id == c.id;
      HGDIOBJ old = SelectObject(dc, field ? field_font : dialog_font);
      const int room = box.right - GetSystemMetrics(SM_CXVSCROLL) - 4;
      for (const std::wstring& e : Entries(c.hwnd)) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, e.c_str(), static_cast<int>(e.size()), &size);
        EXPECT_LE(size.cx, room) << where << ", list " << c.id << " entry \"" << WideToUtf8(e)
                                 << "\" is wider than its box";
      }
      SelectObject(dc, old);
    }
  }
  DeleteObject(field_font);
  DeleteObject(dialog_font);
  ReleaseDC(nullptr, dc);
}

void Check(HWND screen, const ScreenDesign& d, Language language, const char* where) {
  ASSERT_TRUE(screen) << "no " << where;
  Sleep(400);  // let the screen finish its opening
  ExpectInLanguage(screen, language, where);
  ExpectLabelsFit(screen, d, where);
}

// Windows' list separator and decimal symbol for the run, put back after.
class RegionalSettings {
 public:
  RegionalSettings(const wchar_t* list, const wchar_t* decimal) {
    Set(L"sList", list);
    Set(L"sDecimal", decimal);
  }
  ~RegionalSettings() {
    Set(L"sList", L";");
    Set(L"sDecimal", L",");
  }

 private:
  static void Set(const wchar_t* name, const wchar_t* value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
};

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
  {
    // An English Windows: "," between fields, a decimal point.
    RegionalSettings english(L",", L".");
    WalkIn(Language::kEnglish, Language::kPortuguese, designs);
  }
  WalkIn(Language::kSpanish, Language::kEnglish, designs);
  SetLanguage(Language::kPortuguese);
}

}  // namespace
