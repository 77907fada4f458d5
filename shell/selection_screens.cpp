#include "shell/selection_screens.h"


#include "resources/control_ids.h"

namespace kova {

void LanguageScreen::OnCommand(View& view, int id) {
  // The interface exists in Portuguese only; the other two do nothing.
  if (id == IDC_LANG_PT) view.EndScreen(kScreenNext);
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

std::string PortEntry(const SystemPort& port, ProbeOutcome outcome) {
  std::string entry = "COM" + std::to_string(port.number);
  if (!port.adapter.empty()) entry += " - " + port.adapter;
  else if (port.bluetooth) entry += " - Bluetooth";
  if (outcome == ProbeOutcome::kAnswered) entry += " - controlador encontrado";
  if (outcome == ProbeOutcome::kBusy) entry += " - em uso";
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
