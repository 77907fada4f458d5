#include "screens/customer_screen.h"

#include "common/cp1252.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/apply_file.h"

namespace kova {
namespace {

using F = CustomerRecord::Field;

// The boxes in record order, each with its label.
constexpr struct {
  F field;
  int box;
  int label_id;
  const char* label;
} kBoxes[] = {
    {F::kClientes, IDC_CLIENT, IDC_CLIENT_LABEL, "Cliente"},
    {F::kDataInstalacao, IDC_INSTALL_DATE, IDC_INSTALL_DATE_LABEL, "Data de Instalação"},
    {F::kMarca, IDC_MAKE, IDC_MAKE_LABEL, "Marca"},
    {F::kModelo, IDC_VEHICLE_MODEL, IDC_VEHICLE_MODEL_LABEL, "Modelo"},
    {F::kAnoFabricacao, IDC_YEAR, IDC_YEAR_LABEL, "Ano de Fabricação"},
    {F::kPlaca, IDC_PLATE, IDC_PLATE_LABEL, "Placa"},
    {F::kModeloRedutor, IDC_REDUCER, IDC_REDUCER_LABEL, "Modelo do Redutor"},
    {F::kModeloMisturador, IDC_MIXER, IDC_MIXER_LABEL, "Modelo do Misturador"},
    {F::kObservacoesGerais, IDC_NOTES, IDC_NOTES_LABEL, "Observações Gerais"},
};

}  // namespace

int CustomerScreen::BoxOf(CustomerRecord::Field field) {
  for (const auto& b : kBoxes)
    if (b.field == field) return b.box;
  return 0;
}

const char* CustomerScreen::LabelOf(CustomerRecord::Field field) {
  for (const auto& b : kBoxes)
    if (b.field == field) return b.label;
  return "";
}

CustomerScreen::CustomerScreen(AppContext& app, ScreenLinks links,
                               std::function<void()> open_report)
    : DataScreen(app, std::move(links), {kTitle, IDC_TITLE, {}},
                 // The customer screen keeps its source when it saves.
                 DataScreenRules{.save_selects_file_source = false}),
      open_report_(std::move(open_report)) {}

ScreenDesign CustomerScreen::Design(const AppContext& app) {
  ScreenDesign s = DataScreenDesign(
      IDD_CUSTOMER, [&app] { return app.IsVela() ? IDB_BG_CUSTOMER_VELA : IDB_BG_CUSTOMER_BRIO; },
      true, {IDC_APPLY_FILE, IDB_BTN_APPLY_FILE, kApplyCaption});
  AddButton(s, {IDC_REPORT, IDB_BTN_REPORT, kReportTooltip}, true);
  for (int id = IDC_CLIENT_LABEL; id <= IDC_NOTES_LABEL; ++id) s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_CLIENT; id <= IDC_NOTES; ++id) s.field_font_controls.push_back(id);
  return s;
}

void CustomerScreen::OnInit(View& view) {
  Bind(view);
  AppContext& a = app();
  SetUpLink(a.port, a.model, a.changes, [&a](int model) { return a.StoredPort(model); });
  if (!a.file_loaded) {
    ExchangeEnv env = a.Exchange();
    env.progress = [&view](const std::string& status) { view.SetBusy(status); };
    bool read = ReadInitialConfiguration(env);
    view.SetBusy("");
    if (!read) return LinkFailed();
  }
  DataScreen::OnInit(view);
  FillBoxes();
  OfferApply();
  int port_number = a.port.GetPortNumber();
  a.PortSetting(port_number, "SET");
}

void CustomerScreen::FillBoxes() {
  for (const auto& b : kBoxes) {
    view().SetText(b.label_id, b.label);
    view().SetText(b.box, Cp1252ToUtf8(app().customer.Get(b.field)));
  }
}

void CustomerScreen::OnReturn(View& view) {
  Bind(view);
  CommitEdits();
  // The end of the work cycle: the next one chooses its port again.
  AppContext& a = app();
  a.port.ClosePort();
  a.port.SetPortNumber(0);
  a.clock.Sleep(1000);
  view.EndScreen(kScreenReturn);
  a.ClearStores();
}

void CustomerScreen::TakeBox(int id) {
  for (const auto& b : kBoxes) {
    if (b.box != id) continue;
    // The record holds Windows-1252 text cut to the box's capacity.
    CustomerRecord& record = app().customer;
    std::string before(record.Get(b.field));
    record.Set(b.field, Utf8ToCp1252(view().GetText(id)));
    if (record.Get(b.field) != before) record.changed = true;
    return;
  }
}

void CustomerScreen::OnFieldLeft(View& view, int id) {
  Bind(view);
  TakeBox(id);
}

void CustomerScreen::CommitEdits() {
  for (const auto& b : kBoxes) TakeBox(b.box);
}

// The record was read with the parameters; the boxes follow it.
void CustomerScreen::AfterFileLoad() { FillBoxes(); }

void CustomerScreen::OfferApply() {
  view().Enable(IDC_APPLY_FILE, !app().loaded_file.empty());
}

void CustomerScreen::OnCommand(View& view, int id) {
  Bind(view);
  if (id == IDC_REPORT) return OpenReport();
  if (id != IDC_APPLY_FILE) {
    DataScreen::OnCommand(view, id);
    // A load or a save decides which file may be applied.
    OfferApply();
    return;
  }
  CommitEdits();
  if (!ApplyFileToController(app(), view)) view.EndScreen(kScreenLinkFailure);
}

void CustomerScreen::OpenReport() {
  if (!open_report_) return;
  // The report tells what the boxes hold, and sets a loaded file against
  // the controller, which a work cycle begun with a file has not read.
  CommitEdits();
  if (!EnsureControllerRead(app(), view())) return view().EndScreen(kScreenLinkFailure);
  open_report_();
}

}  // namespace kova
