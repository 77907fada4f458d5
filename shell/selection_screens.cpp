#include "shell/selection_screens.h"


#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {

ScreenDesign SelectionDesign(int template_id) {
  ScreenDesign s;
  s.template_id = template_id;
  s.background = [] { return IDB_BG_SELECTION; };
  s.tooltips.push_back({0, kDataScreenTooltip});
  AddFrameButtons(s, {IDC_RETURN, IDC_NEXT, IDC_EXIT}, true);
  s.labels = {{IDC_TITLE, kTitleFontCentred}};
  return s;
}

ScreenDesign LanguageScreen::Design() {
  ScreenDesign s;
  s.template_id = IDD_LANGUAGE;
  s.background = [] { return IDB_BG_SELECTION; };
  s.buttons = {{IDC_LANG_PT, IDB_BTN_LANG_PT}, {IDC_LANG_EN, IDB_BTN_LANG_EN},
               {IDC_LANG_ES, IDB_BTN_LANG_ES}};
  const LabelFont caption{"Ms Sans Serif", 14, 1u | 32u};
  s.labels = {{IDC_TITLE, kTitleFontCentred},
              {IDC_LANG_PT_LABEL, caption},
              {IDC_LANG_EN_LABEL, caption},
              {IDC_LANG_ES_LABEL, caption}};
  s.tooltips = {{0, "Seleção de Idioma"},
                {IDC_LANG_PT, "Português"},
                {IDC_LANG_EN, "English"},
                {IDC_LANG_ES, "Español"}};
  s.splash_bitmap = IDB_SPLASH;
  return s;
}

namespace {

constexpr struct {
  int button;
  Language language;
} kLanguageButtons[] = {{IDC_LANG_PT, Language::kPortuguese},
                        {IDC_LANG_EN, Language::kEnglish},
                        {IDC_LANG_ES, Language::kSpanish}};

}  // namespace

void LanguageScreen::OnInit(View& view) {
  for (const auto& b : kLanguageButtons)
    if (b.language == CurrentLanguage()) view.SetFocus(b.button);
}

void LanguageScreen::OnCommand(View& view, int id) {
  for (const auto& b : kLanguageButtons) {
    if (b.button != id) continue;
    SetLanguage(b.language);
    if (remember_) remember_(b.language);
    view.EndScreen(kScreenNext);
  }
}

void ModelScreen::OnInit(View& view) {
  view.ClearList(IDC_MODEL_LIST);
  for (const char* name : kModelNames) view.AddListEntry(IDC_MODEL_LIST, name);
  view.SelectEntry(IDC_MODEL_LIST, kModelVela);
  model_ = kModelVela;
}

void ModelScreen::OnNext(View& view) {
  int chosen = view.GetSelection(IDC_MODEL_LIST);
  // No model is no choice: the screen stays until one is selected.
  if (chosen < kModelBrio || chosen > kModelVelaPlus) return;
  model_ = chosen;
  if (build_table_) build_table_(chosen);
  view.EndScreen(kScreenNext);
}

std::string PortEntry(const SystemPort& port, ProbeOutcome outcome) {
  std::string entry = "COM" + std::to_string(port.number);
  // The adapter's name is the system's, shown as it is.
  if (!port.adapter.empty()) entry = TrFormat("{0} - {1}", {entry, port.adapter});
  else if (port.bluetooth) entry = TrFormat("{0} - {1}", {entry, "Bluetooth"});
  if (outcome == ProbeOutcome::kAnswered) return TrFormat("{0} - controlador encontrado", {entry});
  if (outcome == ProbeOutcome::kBusy) return TrFormat("{0} - em uso", {entry});
  return entry;
}

void PortScreen::OnInit(View& view) {
  const std::vector<SystemPort> ports = search_.list ? search_.list() : std::vector<SystemPort>{};
  auto show = [&](const std::vector<ProbeOutcome>& outcomes) {
    view.ClearList(IDC_PORT_LIST);
    listed_.clear();
    int found = -1;
    for (std::size_t i = 0; i < ports.size(); ++i) {
      const ProbeOutcome o = i < outcomes.size() ? outcomes[i] : ProbeOutcome::kNotAsked;
      if (found < 0 && o == ProbeOutcome::kAnswered) found = static_cast<int>(i);
      listed_.push_back(PortEntry(ports[i], o));
      view.AddListEntry(IDC_PORT_LIST, listed_.back());
    }
    // The user still confirms with Next.
    view.SelectEntry(IDC_PORT_LIST, found >= 0 ? found : 0);
  };
  show({});
  if (!search_.probe || ports.empty()) return;
  // The port held so far is asked like the others: its handle may be dead
  // (an adapter unplugged and plugged back, a laptop that slept).
  port_.ClosePort();
  view.SetBusy(kSearchingStatus);
  const std::vector<ProbeOutcome> outcomes = search_.probe(ports);
  view.SetBusy("");
  show(outcomes);
}

void PortScreen::OnNext(View& view) {
  view.EndScreen(kScreenNext);
  int position = view.GetSelection(IDC_PORT_LIST);
  port_.SetPortNumber(position + 1);
  // The entry's text decides, whatever its position in the list.
  bool listed = position >= 0 && position < static_cast<int>(listed_.size());
  port_.SetPortNumber(listed ? ComNumber(listed_[position]) : 0);
  // A dead link is found by the next screen's initial read.
  port_.OpenPort();
}

}  // namespace kova
