// Every text KOVA.exe shows has its English and Spanish form, checked
// against the texts the program really uses: what every screen of every
// model hands its view on a walk through the work cycle, the monitor and
// applying a file, the dialog templates' texts, and every Tr/TrFormat key
// and message constant of the sources. In English and Spanish no Portuguese
// catalog text may show, whole or inside a text put together from parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "common/cp1252.h"
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

// Notes what the program hands its view (not what the test types).
struct RecordingView : FakeView {
  void SetText(int id, const std::string& t) override { FakeView::SetText(id, t), Note(t); }
  void AddListEntry(int id, const std::string& t) override { FakeView::AddListEntry(id, t), Note(t); }
  int MessageBox(const std::string& t, const std::string& c, unsigned flags) override {
    Note(t), Note(c);
    return FakeView::MessageBox(t, c, flags);
  }
  std::optional<std::string> FileDialog(const FileDialogRequest& r) override {
    Note(r.filter);
    return FakeView::FileDialog(r);
  }
  void SetBusy(const std::string& t) override { Note(t), FakeView::SetBusy(t); }
  void Type(ScreenLogic& screen, int id, const std::string& text) {
    FakeView::SetText(id, text);
    screen.OnTextChange(*this, id);
  }
  void Note(const std::string& t) {
    if (!t.empty()) shown->insert(t);
  }
  std::set<std::string>* shown;
};

template <class S>
std::unique_ptr<DataScreen> Make(AppContext& app) {
  return std::make_unique<S>(app, ScreenLinks{[] { return true; }, [] { return kScreenNext; }});
}

// The texts of the walk in the current language; `audit` gets what
// TrFormat put together and the keys Tr or TrFormat looked up in vain.
struct Walk : ::testing::Test {
  std::set<std::string> shown;
  TextAudit audit;

  void Run() {
    AuditTexts(&audit);
    for (int model : {kModelBrio, kModelVela, kModelVelaPlus}) {
      const bool vela = model == kModelVela;
      for (auto make : {Make<CustomerScreen>, model == kModelBrio ? Make<VehicleBrioScreen> : Make<VehicleScreen>,
                        vela ? Make<LambdaVelaScreen> : Make<LambdaBrioScreen>,
                        vela ? Make<AuxVelaScreen> : Make<AuxBrioScreen>, Make<ActuatorScreen>}) {
        ScreenBench bench(model);
        auto screen = make(bench.app);
        Visit(bench, *screen);
      }
      ScreenBench bench(model);
      for (const ScreenDesign& d :
           {CustomerScreen::Design(bench.app), VehicleScreen::Design(bench.app),
            AuxVelaScreen::Design(bench.app), LambdaVelaScreen::Design(bench.app),
            MonitorPanel::Design(bench.app), LanguageScreen::Design(), SelectionDesign(IDD_MODEL)})
        for (const auto& t : d.tooltips) shown.insert(t.text);
      Apply(model);
      Monitor(model);
    }
    RecordingView v;
    v.shown = &shown;
    LanguageScreen().OnInit(v);
    int model = 0;
    ModelScreen(model, nullptr).OnInit(v);
    NullSerialPort port;
    // Every outcome a port can have, each told on the list.
    PortScreen(port, {[] { return std::vector<SystemPort>{{1, ""}, {2, "CH340"}, {3, "", true}, {4, ""}}; },
                      [](const std::vector<SystemPort>&) {
                        return std::vector<ProbeOutcome>{ProbeOutcome::kSilent, ProbeOutcome::kAnswered,
                                                         ProbeOutcome::kNotAsked, ProbeOutcome::kBusy};
                      }})
        .OnInit(v);
    AuditTexts(nullptr);
  }

  // Opened, every field typed into out of range and written or every entry
  // chosen, the write button, a file that cannot be read, a save to a new
  // file and over it, and a write to a silent controller.
  void Visit(ScreenBench& bench, DataScreen& screen) {
    RecordingView v;
    v.shown = &shown;
    screen.OnInit(v);
    for (const DataField& f : screen.fields()) {
      screen.OnFocus(v, f.control);
      v.Type(screen, f.control, f.spin ? "99999" : "xyz");
      for (int k = 0; k < static_cast<int>(v.controls[f.control].entries.size()); ++k) {
        v.SelectEntry(f.control, k);
        screen.OnSelectionChange(v, f.control);
      }
      screen.OnEnter(v);
    }
    screen.OnCommand(v, IDC_WRITE);
    v.dialog_answers = {bench.Path("missing.file"), bench.Path("s.par"), bench.Path("s.par")};
    v.answers = {kIdOk, kIdOk, kIdNo};
    for (int button : {IDC_LOAD, IDC_SAVE, IDC_SAVE}) screen.OnCommand(v, button);
    bench.sim.faults().silent = true;
    screen.OnCommand(v, IDC_WRITE);
  }

  // A file that differs, with a value no screen allows, one that cannot be
  // read and one the controller refuses; then the controller's own file.
  void Apply(int model) {
    ScreenBench bench(model);
    RecordingView v;
    v.shown = &shown;
    CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
    screen.OnInit(v);
    const std::string section = "CONFIG_" + bench.app.ModelName();
    v.dialog_answers = {
        frame_text::ParameterFile(bench, "a.par", section,
                                  frame_text::Registers(bench, {{"2B", "9"}, {"3D", "FA"}, {"21", "1.5"}, {"60", "1"}})),
        frame_text::ParameterFile(bench, "b.par", section, frame_text::Registers(bench, {}))};
    bench.sim.faults().read_only = {0x2B};
    for (int button : {IDC_LOAD, IDC_APPLY_FILE, IDC_LOAD, IDC_APPLY_FILE}) screen.OnCommand(v, button);
  }

  // Opened, a position refused, recording (and its file failing), a
  // calibration that fails, and what the recording holds.
  void Monitor(int model) {
    ScreenBench bench(model);
    RecordingView v;
    v.shown = &shown;
    MemoryFile::Shared file;
    MonitorEnv env;
    env.recording_folder = [&bench] { return bench.Path("docs"); };
    env.record_file = [&file] { return std::make_unique<MemoryFile>(file); };
    MonitorPanel panel(bench.app, env);
    panel.OnInit(v);
    panel.OnCommand(v, IDC_MON_RECORD);
    v.Type(panel, IDC_MON_IDLE, "999");
    panel.OnEnter(v);
    bench.sim.faults().calibration = sim::Faults::Calibration::kFailure;
    panel.OnCommand(v, IDC_MON_CALIBRATE);
    file.room = 0;
    panel.Tick();
    file.create_fails = true;
    panel.OnCommand(v, IDC_MON_RECORD);
    std::string csv = Cp1252ToUtf8(file.bytes);
    std::replace_if(csv.begin(), csv.end(), [](char c) { return c == '\r' || c == '\n'; }, ';');
    std::istringstream fields(csv);
    for (std::string field; std::getline(fields, field, ';');) shown.insert(field);
  }
};

// Whether a text is made of catalog texts, texts TrFormat put together and
// neutral words only (a message built of a heading and composed lines).
bool MadeOfKnownTexts(std::string text, const std::set<std::string>& composed) {
  std::vector<std::string> parts(composed.begin(), composed.end());
  for (const CatalogEntry& e : CatalogEntries()) parts.emplace_back(e.portuguese);
  std::sort(parts.begin(), parts.end(), [](auto& a, auto& b) { return a.size() > b.size(); });
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
    for (const std::string& key : audit.missing) EXPECT_TRUE(Neutral(key)) << name << ": no entry for " << key;
    EXPECT_GT(shown.size(), 150u) << "the walk saw too little";
    const std::vector<std::string> foreign = ForeignKeys(language);
    for (const std::string& text : shown) {
      if (language == Language::kPortuguese)
        EXPECT_TRUE(MadeOfKnownTexts(text, audit.composed)) << "no entry for \"" << text << "\"";
      else
        EXPECT_EQ(PortugueseIn(ShownText(text), foreign), "") << name << ": in \"" << ShownText(text) << "\"";
    }
  }
  SetLanguage(Language::kPortuguese);
}

// Files never depend on the language: a Spanish session saves what a
// Portuguese one saves, and a Portuguese one loads it.
TEST(LanguageOfFiles, AFileSavedInSpanishIsTheSameAndLoadsInPortuguese) {
  std::string saved[2];
  for (Language language : {Language::kSpanish, Language::kPortuguese}) {
    SetLanguage(language);
    ScreenBench bench(kModelBrio);
    CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
    screen.OnInit(bench.view);
    bench.view.SetText(IDC_CLIENT, "Oficina São João");
    bench.view.dialog_answers = {bench.Path("kit.BRIO"), bench.Path("kit.BRIO")};
    screen.OnCommand(bench.view, IDC_SAVE);
    saved[language == Language::kPortuguese] = ReadFile(bench.Path("kit.BRIO"));
    screen.OnCommand(bench.view, IDC_LOAD);
    EXPECT_EQ(bench.app.customer.Get(CustomerRecord::kClientes), "Oficina S\xE3o Jo\xE3o");
  }
  EXPECT_EQ(saved[0], saved[1]);
}

// The value of adjacent C string literals.
std::string Literal(const std::string& literals) {
  static const std::regex kOne(R"re("((?:[^"\\]|\\.)*)")re");
  std::string out;
  for (auto it = std::sregex_iterator(literals.begin(), literals.end(), kOne); it != std::sregex_iterator(); ++it) {
    const std::string body = (*it)[1];
    for (std::size_t i = 0; i < body.size(); ++i)
      out += body[i] != '\\' ? body[i] : body[++i] == 'n' ? '\n' : body[i];
  }
  return out;
}

// Every Tr and TrFormat key and every message constant (kSomethingText,
// kSomethingCaption) of the sources, and every text of the dialog
// templates (the monitor's is generated), has its entry.
TEST(SourceTexts, EveryKeyMessageAndTemplateTextHasAnEntry) {
  const std::string literals = R"re(((?:\s*"(?:[^"\\]|\\.)*")+))re";
  const std::regex in_code(R"(\b(?:Tr(?:Format)?\(|k\w*(?:Text|Caption)\w*(?:\[\])?\s*=))" + literals);
  const std::regex in_template(R"(\n\s*(?:LTEXT|CONTROL)\s+)" + literals);
  std::set<std::string> texts;
  auto collect = [&](const fs::path& file, const std::regex& pattern) {
    const std::string text = ReadFile(file);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
      texts.insert(Literal((*it)[1]));
  };
  for (const char* dir : {"common", "controller", "shell", "screens", "monitor", "store", "serial"})
    for (const auto& e : fs::recursive_directory_iterator(fs::path(KOVA_SOURCE_DIR) / dir))
      if (e.path().extension() == ".cpp" || e.path().extension() == ".h") collect(e.path(), in_code);
  const std::size_t in_sources = texts.size();
  for (const fs::path& rc : {fs::path(KOVA_SOURCE_DIR) / "resources/screens.rc",
                             fs::path(KOVA_SOURCE_DIR) / "resources/aux_lambda.rc",
                             fs::path(KOVA_ART_OUT) / "monitor.rc"})
    collect(rc, in_template);
  EXPECT_GT(in_sources, 50u);
  EXPECT_GT(texts.size(), in_sources + 15);
  for (const std::string& t : texts) EXPECT_TRUE(Neutral(t) || FindCatalogEntry(t)) << "no entry for \"" << t << "\"";
}

}  // namespace
}  // namespace kova
