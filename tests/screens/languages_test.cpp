// Every text KOVA.exe shows has its English and Spanish form, checked
// against the texts the program really uses: what every screen of every
// model hands its view on a walk through the work cycle and the monitor
// (labels, titles, lists, units, tooltips, status lines, messages, file
// filters), the dialog templates' own texts, and every Tr/TrFormat key and
// message constant in the sources. In English and Spanish no Portuguese
// catalog text may show, whole or inside a text put together from parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

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
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"
#include "shell/selection_screens.h"
#include "tests/monitor/panel_bench.h"
#include "tests/screens/frame_text.h"
#include "tests/support/language_check.h"
#include "tests/support/null_serial_port.h"

namespace kova {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// Records what the program hands its view (not what the test types).
class RecordingView : public FakeView {
 public:
  void SetText(int id, const std::string& text) override {
    FakeView::SetText(id, text);
    if (!typing) Note(text);
  }
  void AddListEntry(int id, const std::string& text) override {
    FakeView::AddListEntry(id, text);
    Note(text);
  }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    Note(text);
    Note(caption);
    return FakeView::MessageBox(text, caption, flags);
  }
  std::optional<std::string> FileDialog(const FileDialogRequest& req) override {
    Note(req.filter);
    return FakeView::FileDialog(req);
  }
  void SetBusy(const std::string& status) override {
    Note(status);
    FakeView::SetBusy(status);
  }
  void Type(ScreenLogic& screen, int id, const std::string& text) {
    typing = true;
    FakeView::SetText(id, text);
    typing = false;
    screen.OnTextChange(*this, id);
  }
  void Note(const std::string& text) {
    if (!text.empty()) shown.insert(text);
  }
  std::set<std::string> shown;
  bool typing = false;
};

// A data screen visited as a technician would: opened, every field typed
// into out of range and written, Enter and the write button, a file that
// cannot be read, a save to a new file and over it, the monitor, and the
// controller falling silent.
void VisitDataScreen(ScreenBench& bench, DataScreen& screen, RecordingView& v) {
  screen.OnInit(v);
  for (const DataField& f : screen.fields()) {
    screen.OnFocus(v, f.control);
    if (f.spin || f.spec.kind == FieldKind::kNumber || f.spec.kind == FieldKind::kWord) {
      v.Type(screen, f.control, "99999");
      screen.OnEnter(v);
      v.Type(screen, f.control, "");
    } else {
      v.Type(screen, f.control, "xyz");
      for (int k = 0; k < static_cast<int>(v.controls[f.control].entries.size()); ++k) {
        v.SelectEntry(f.control, k);
        screen.OnSelectionChange(v, f.control);
      }
    }
    screen.OnEnter(v);
  }
  screen.OnCommand(v, IDC_WRITE);
  v.dialog_answers = {bench.Path("missing.file")};
  screen.OnCommand(v, IDC_LOAD);
  const std::string saved = bench.Path("saved.par");
  v.dialog_answers = {saved, saved};
  v.answers = {kIdOk, kIdNo};
  screen.OnCommand(v, IDC_SAVE);
  screen.OnCommand(v, IDC_SAVE);
  screen.OnCommand(v, IDC_MONITOR);
  bench.sim.faults().silent = true;
  screen.OnCommand(v, IDC_WRITE);
  bench.sim.faults().silent = false;
}

template <class S>
std::unique_ptr<DataScreen> Make(AppContext& app) {
  return std::make_unique<S>(app, ScreenLinks{[] { return true; }, [] { return kScreenNext; }});
}

// The texts of a walk through every screen of every model, the monitor
// panel, the selection screens and applying a file, in the current
// language; `composed` gets what TrFormat put together meanwhile and
// `missing` the keys Tr or TrFormat looked up in vain.
struct Walk : ::testing::Test {
  std::set<std::string> shown;
  TextAudit audit;

  void Run() {
    AuditTexts(&audit);
    for (int model : {kModelBrio, kModelVela, kModelVelaPlus}) {
      WalkScreens(model);
      WalkMonitor(model);
    }
    WalkSelection();
    AuditTexts(nullptr);
  }

  void WalkScreens(int model) {
    const bool vela = model == kModelVela;
    std::vector<std::function<std::unique_ptr<DataScreen>(AppContext&)>> screens = {
        Make<CustomerScreen>,
        vela || model == kModelVelaPlus ? Make<VehicleScreen> : Make<VehicleBrioScreen>,
        vela ? Make<LambdaVelaScreen> : Make<LambdaBrioScreen>,
        vela ? Make<AuxVelaScreen> : Make<AuxBrioScreen>, Make<ActuatorScreen>};
    for (auto& make : screens) {
      ScreenBench bench(model);
      RecordingView v;
      auto screen = make(bench.app);
      VisitDataScreen(bench, *screen, v);
      Keep(v);
    }
    // Designs: tooltips of every data screen.
    ScreenBench bench(model);
    for (const ScreenDesign& d :
         {CustomerScreen::Design(bench.app), VehicleScreen::Design(bench.app),
          VehicleBrioScreen::Design(bench.app), ActuatorScreen::Design(bench.app),
          AuxVelaScreen::Design(bench.app), AuxBrioScreen::Design(bench.app),
          LambdaVelaScreen::Design(bench.app), MonitorPanel::Design(bench.app)})
      for (const auto& t : d.tooltips) shown.insert(t.text);
    WalkApply(model);
  }

  // A loaded file that differs, has a value no screen allows and one that
  // cannot be read; then the file the controller already holds.
  void WalkApply(int model) {
    ScreenBench bench(model);
    RecordingView v;
    CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
    screen.OnInit(v);
    const std::string section = bench.app.ModelName() == "VELA" ? "CONFIG_VELA" : "CONFIG_BRIO";
    const std::string changed = frame_text::ParameterFile(
        bench, "changed.par", section,
        frame_text::Registers(bench, {{"2B", "9"}, {"3D", "FA"}, {"21", "1.5"}, {"60", "1"}}));
    v.dialog_answers = {changed};
    screen.OnCommand(v, IDC_LOAD);
    bench.sim.faults().read_only = {0x2B};
    screen.OnCommand(v, IDC_APPLY_FILE);
    bench.sim.faults().read_only = {};
    const std::string same =
        frame_text::ParameterFile(bench, "same.par", section, frame_text::Registers(bench, {}));
    v.dialog_answers = {same};
    screen.OnCommand(v, IDC_LOAD);
    screen.OnCommand(v, IDC_APPLY_FILE);
    Keep(v);
  }

  void WalkMonitor(int model) {
    for (auto calibration : {sim::Faults::Calibration::kDone, sim::Faults::Calibration::kFailure,
                             sim::Faults::Calibration::kNoReport}) {
      ScreenBench bench(model);
      RecordingView v;
      MemoryFile::Shared file;
      MonitorEnv env;
      env.local_time = [] { return LocalTime{2024, 5, 17, 14, 3, 9, 0}; };
      env.recording_folder = [&bench] { return bench.Path("docs"); };
      env.record_file = [&file] { return std::make_unique<MemoryFile>(file); };
      MonitorPanel panel(bench.app, env);
      panel.OnInit(v);
      panel.OnCommand(v, IDC_MON_RECORD);
      v.Type(panel, IDC_MON_IDLE, "999");
      panel.OnEnter(v);
      bench.sim.faults().calibration = calibration;
      panel.OnCommand(v, IDC_MON_CALIBRATE);
      file.room = 0;
      panel.Tick();
      panel.OnTimer(v, MonitorPanel::kRecordTimer);
      file.create_fails = true;
      panel.OnCommand(v, IDC_MON_RECORD);
      panel.OnReturn(v);
      Keep(v);
      // What the recording wrote, line by line and field by field.
      std::istringstream lines(file.bytes);
      for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(Cp1252ToUtf8(line));
        for (std::string field; std::getline(fields, field, ';');) shown.insert(field);
      }
    }
  }

  void WalkSelection() {
    RecordingView v;
    LanguageScreen language;
    language.OnInit(v);
    int model = kModelVela;
    ModelScreen models(model, nullptr);
    models.OnInit(v);
    NullSerialPort port;
    PortScreen ports(port, [](int n) { return n == 3 || n == 4; }, [](int n) { return n == 4; });
    ports.OnInit(v);
    Keep(v);
    for (const ScreenDesign& d : {LanguageScreen::Design(), SelectionDesign(IDD_MODEL)})
      for (const auto& t : d.tooltips) shown.insert(t.text);
  }

  void Keep(const RecordingView& v) { shown.insert(v.shown.begin(), v.shown.end()); }
};

// Whether a text is made of catalog texts, texts TrFormat put together and
// neutral words only (a message built of a heading and composed lines).
bool MadeOfKnownTexts(std::string text, const std::set<std::string>& composed) {
  std::vector<std::string> parts(composed.begin(), composed.end());
  for (const CatalogEntry& e : CatalogEntries()) parts.emplace_back(e.portuguese);
  std::sort(parts.begin(), parts.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& part : parts)
    for (std::size_t at; !part.empty() && (at = text.find(part)) != std::string::npos;)
      text.replace(at, part.size(), " ");
  return Neutral(text);
}

TEST_F(Walk, EveryTextShownHasItsTranslationAndNoPortugueseShowsInEnglishOrSpanish) {
  for (Language language : {Language::kPortuguese, Language::kEnglish, Language::kSpanish}) {
    SetLanguage(language);
    shown.clear();
    audit = {};
    Run();
    const char* name = LanguageCode(language);
    for (const std::string& key : audit.missing)
      EXPECT_TRUE(Neutral(key)) << name << ": no entry for \"" << key << "\"";
    EXPECT_GT(shown.size(), 150u) << "the walk saw too little";
    if (language == Language::kPortuguese) {
      for (const std::string& text : shown)
        EXPECT_TRUE(MadeOfKnownTexts(text, audit.composed)) << "no entry for \"" << text << "\"";
      continue;
    }
    const std::vector<std::string> foreign = ForeignKeys(language);
    for (const std::string& text : shown) {
      const std::string on_screen = ShownText(text);
      EXPECT_EQ(PortugueseIn(on_screen, foreign), "") << name << ": in \"" << on_screen << "\"";
    }
  }
  SetLanguage(Language::kPortuguese);
}

// Files never depend on the language: what a Spanish session saves, a
// Portuguese one loads, byte for byte the file a Portuguese session saves.
TEST(LanguageOfFiles, AFileSavedInSpanishLoadsInPortuguese) {
  std::string saved[2];
  for (Language language : {Language::kSpanish, Language::kPortuguese}) {
    SetLanguage(language);
    ScreenBench bench(kModelBrio);
    FakeView v;
    CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
    screen.OnInit(v);
    v.SetText(IDC_CLIENT, "Oficina São João");
    screen.OnFieldLeft(v, IDC_CLIENT);
    v.dialog_answers = {bench.Path("kit.BRIO")};
    screen.OnCommand(v, IDC_SAVE);
    saved[language == Language::kSpanish ? 0 : 1] = ReadFile(bench.Path("kit.BRIO"));
  }
  EXPECT_EQ(saved[0], saved[1]);
  ScreenBench bench(kModelBrio);
  const std::string path = bench.Path("from_spanish.BRIO");
  std::ofstream(path, std::ios::binary) << saved[0];
  FakeView v;
  CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
  screen.OnInit(v);
  v.dialog_answers = {path};
  screen.OnCommand(v, IDC_LOAD);
  EXPECT_EQ(v.GetText(IDC_CLIENT), "Oficina São João");
  EXPECT_EQ(bench.app.source, kSourceFile);
  for (uint8_t a : bench.sim.RegisterAddresses()) {
    char key[4];
    std::snprintf(key, sizeof key, "%X", a);
    EXPECT_EQ(bench.Stored(bench.app.file_store, key), bench.Stored(bench.app.equipment, key)) << key;
  }
}

// ---- the sources and the templates ------------------------------------------

// The value of one or more adjacent C string literals.
std::string Literal(const std::string& literals) {
  static const std::regex kOne(R"re("((?:[^"\\]|\\.)*)")re");
  std::string out;
  for (auto it = std::sregex_iterator(literals.begin(), literals.end(), kOne);
       it != std::sregex_iterator(); ++it) {
    const std::string body = (*it)[1];
    for (std::size_t i = 0; i < body.size(); ++i) {
      if (body[i] != '\\' || i + 1 == body.size()) {
        out += body[i];
        continue;
      }
      const char c = body[++i];
      out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
    }
  }
  return out;
}

// Texts of a pattern whose first group holds string literals, in every
// product source file.
std::set<std::string> SourceTexts(const std::regex& pattern) {
  std::set<std::string> texts;
  for (const char* dir : {"common", "controller", "shell", "screens", "monitor", "store", "serial"})
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(KOVA_SOURCE_DIR) / dir)) {
      const auto ext = entry.path().extension();
      if (ext != ".cpp" && ext != ".h") continue;
      const std::string text = ReadFile(entry.path());
      for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
           it != std::sregex_iterator(); ++it)
        texts.insert(Literal((*it)[1]));
    }
  return texts;
}

constexpr char kLiterals[] = R"re(((?:\s*"(?:[^"\\]|\\.)*")+))re";

TEST(SourceTexts, EveryKeyAndMessageConstantHasAnEntry) {
  const std::regex keys(std::string(R"(\bTr(?:Format)?\()") + kLiterals);
  const std::regex constants(std::string(R"(\bk\w*(?:Text|Caption)\w*(?:\[\])?\s*=)") + kLiterals);
  std::set<std::string> texts = SourceTexts(keys);
  const std::set<std::string> messages = SourceTexts(constants);
  EXPECT_GT(texts.size(), 30u);
  EXPECT_GT(messages.size(), 15u);
  texts.insert(messages.begin(), messages.end());
  for (const std::string& t : texts)
    EXPECT_TRUE(Neutral(t) || FindCatalogEntry(t)) << "no entry for \"" << t << "\"";
}

TEST(TemplateTexts, EveryTextOfTheDialogTemplatesHasAnEntry) {
  const std::regex text(R"re(^\s*(?:LTEXT|CTEXT|RTEXT|CONTROL|PUSHBUTTON|GROUPBOX)\s+("(?:[^"\\]|\\.)*"))re");
  int seen = 0;
  for (const fs::path& rc : {fs::path(KOVA_SOURCE_DIR) / "resources" / "screens.rc",
                             fs::path(KOVA_SOURCE_DIR) / "resources" / "aux_lambda.rc",
                             fs::path(KOVA_ART_OUT) / "monitor.rc"}) {
    std::istringstream lines(ReadFile(rc));
    ASSERT_TRUE(fs::exists(rc)) << rc;
    for (std::string line; std::getline(lines, line);) {
      std::smatch m;
      if (!std::regex_search(line, m, text)) continue;
      const std::string t = Literal(m[1]);
      if (t.empty()) continue;
      ++seen;
      EXPECT_TRUE(Neutral(t) || FindCatalogEntry(t)) << rc.filename() << ": no entry for \"" << t << "\"";
    }
  }
  EXPECT_GT(seen, 20);
}

}  // namespace
}  // namespace kova
