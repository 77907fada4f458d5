#include "screens/customer_screen.h"

#include "common/cp1252.h"
#include "resources/control_ids.h"
#include "store/parameter_file.h"

namespace kova {
namespace {

using F = CustomerRecord::Field;

constexpr struct {
  F field;
  int box;
} kBoxes[] = {
    {F::kClientes, IDC_CLIENT},           {F::kDataInstalacao, IDC_INSTALL_DATE},
    {F::kMarca, IDC_MAKE},                {F::kModelo, IDC_VEHICLE_MODEL},
    {F::kAnoFabricacao, IDC_YEAR},        {F::kPlaca, IDC_PLATE},
    {F::kModeloRedutor, IDC_REDUCER},     {F::kModeloMisturador, IDC_MIXER},
    {F::kObservacoesGerais, IDC_NOTES},
};

constexpr int kSourceFile = 0;       // "Arquivo"
constexpr int kSourceEquipment = 1;  // "Equipamento"

}  // namespace

int CustomerScreen::BoxOf(CustomerRecord::Field field) {
  for (const auto& b : kBoxes)
    if (b.field == field) return b.box;
  return 0;
}

void CustomerScreen::OnInit(View& view) {
  SetUpLink(app_.port, app_.model, app_.changes,
            [this](int model) { return app_.StoredPort(model); });

  view.ClearList(IDC_SOURCE);
  view.AddListEntry(IDC_SOURCE, "Arquivo");
  view.AddListEntry(IDC_SOURCE, "Equipamento");
  if (!app_.file_loaded) {
    view.Show(IDC_SOURCE, false);
    ExchangeEnv env = app_.Exchange();
    if (!ReadInitialConfiguration(env, view)) {
      view.EndScreen(kScreenLinkFailure);
      return;
    }
  } else {
    ShowSource(view);
  }

  FillBoxes(view);

  int port_number = app_.port.GetPortNumber();
  app_.PortSetting(port_number, "SET");

  // Offer only what this program has: Next needs a following screen, the
  // Monitor button the monitor panel.
  view.Enable(IDC_NEXT, links_.can_go_next && links_.can_go_next());
  view.Enable(IDC_MONITOR, static_cast<bool>(links_.run_monitor));
}

void CustomerScreen::FillBoxes(View& view) {
  for (const auto& b : kBoxes) view.SetText(b.box, Cp1252ToUtf8(app_.customer.Get(b.field)));
}

void CustomerScreen::ShowSource(View& view) {
  view.Show(IDC_SOURCE, true);
  view.SelectEntry(IDC_SOURCE, app_.source == 1 ? kSourceFile : kSourceEquipment);
}

void CustomerScreen::OnNext(View& view) {
  if (!links_.can_go_next || !links_.can_go_next()) return;
  view.EndScreen(kScreenNext);
}

void CustomerScreen::OnReturn(View& view) {
  // The end of the work cycle: the next one chooses its port again.
  app_.port.ClosePort();
  app_.port.SetPortNumber(0);
  app_.clock.Sleep(1000);
  view.EndScreen(kScreenReturn);
  app_.ClearStores();
}

void CustomerScreen::OnFieldLeft(View& view, int id) {
  for (const auto& b : kBoxes) {
    if (b.box != id) continue;
    // The record holds Windows-1252 text cut to the box's capacity.
    std::string before(app_.customer.Get(b.field));
    app_.customer.Set(b.field, Utf8ToCp1252(view.GetText(id)));
    if (app_.customer.Get(b.field) != before) app_.customer.changed = true;
    return;
  }
}

void CustomerScreen::OnSelectionChange(View& view, int id) {
  if (id != IDC_SOURCE) return;
  int pos = view.GetSelection(IDC_SOURCE);
  if (pos == kSourceFile) app_.source = 1;
  if (pos == kSourceEquipment) app_.source = 0;
}

void CustomerScreen::OnCommand(View& view, int id) {
  switch (id) {
    case IDC_LOAD: LoadFile(view); break;
    case IDC_SAVE: SaveFile(view); break;
    case IDC_MONITOR:
      if (!links_.run_monitor) return;
      // Exit inside the panel exits the application from here too.
      if (links_.run_monitor() == kScreenExit) OnExit(view);
      break;
  }
}

void CustomerScreen::LoadFile(View& view) {
  // The record is read with the parameters; the boxes follow it.
  ParameterFileContext files = app_.FileContext(view, IDC_SOURCE);
  if (LoadParameterFile(files) == FileAction::kDone) FillBoxes(view);
}

// The customer screen keeps its source when it saves.
void CustomerScreen::SaveFile(View& view) {
  ParameterFileContext files = app_.FileContext(view, IDC_SOURCE, /*save_selects_file_source=*/false);
  SaveParameterFile(files);
}

}  // namespace kova
