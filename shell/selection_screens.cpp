#include "shell/selection_screens.h"

#include <cctype>
#include <cstdio>

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
  view.AddListEntry(IDC_MODEL_LIST, "BRIO");
  view.AddListEntry(IDC_MODEL_LIST, "VELA");
  view.AddListEntry(IDC_MODEL_LIST, "VELA plus");
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

std::vector<std::string> ProbePorts(const std::function<bool(int)>& can_open) {
  std::vector<std::string> names;
  for (int n = 0; n <= 99; ++n) {
    if (!can_open(n)) continue;
    char name[8];
    std::snprintf(name, sizeof name, "COM%d", n);
    names.push_back(name);
  }
  return names;
}

int PortNumberOfEntry(const std::string& entry) {
  if (entry.size() <= 3) return 0;
  int n = 0;
  for (size_t i = 3; i < entry.size() && std::isdigit(static_cast<unsigned char>(entry[i])); ++i) {
    n = n * 10 + (entry[i] - '0');
    if (n > 255) return 0;  // no such COM port
  }
  return n;
}

std::string FoundEntry(const std::string& name) {
  return TrFormat("{0} - controlador encontrado", {name});
}

void PortScreen::OnInit(View& view) {
  view.ClearList(IDC_PORT_LIST);
  listed_ = ProbePorts(can_open_);
  int found = -1;
  for (std::size_t i = 0; i < listed_.size(); ++i) {
    if (found < 0 && finds_ && finds_(PortNumberOfEntry(listed_[i]))) {
      found = static_cast<int>(i);
      listed_[i] = FoundEntry(listed_[i]);
    }
    view.AddListEntry(IDC_PORT_LIST, listed_[i]);
  }
  // The user still confirms with Next.
  view.SelectEntry(IDC_PORT_LIST, found >= 0 ? found : 0);
}

void PortScreen::OnNext(View& view) {
  view.EndScreen(kScreenNext);
  int position = view.GetSelection(IDC_PORT_LIST);
  port_.SetPortNumber(position + 1);
  // The entry's text decides, whatever its position in the list.
  bool listed = position >= 0 && position < static_cast<int>(listed_.size());
  port_.SetPortNumber(listed ? PortNumberOfEntry(listed_[position]) : 0);
  // A dead link is found by the next screen's initial read.
  port_.OpenPort();
}

}  // namespace kova
