#include "screens/customer_screen.h"

#include "common/cp1252.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/apply_file.h"

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

}  // namespace

int CustomerScreen::BoxOf(CustomerRecord::Field field) {
  for (const auto& b : kBoxes)
    if (b.field == field) return b.box;
  return 0;
}

CustomerScreen::CustomerScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), {},
                 // The customer screen keeps its source when it saves.
                 DataScreenRules{.save_selects_file_source = false}) {}

ScreenDesign CustomerScreen::Design(const AppContext& app) {
  ScreenDesign s;
  s.template_id = IDD_CUSTOMER;
  s.background = [&app] { return app.IsVela() ? IDB_BG_CUSTOMER_VELA : IDB_BG_CUSTOMER_BRIO; };
  s.buttons = {{IDC_RETURN, IDB_BTN_RETURN},   {IDC_NEXT, IDB_BTN_NEXT},
               {IDC_LOAD, IDB_BTN_LOAD_FILE},  {IDC_SAVE, IDB_BTN_SAVE_FILE},
               {IDC_MONITOR, IDB_BTN_MONITOR}, {IDC_EXIT, IDB_BTN_EXIT},
               {IDC_APPLY_FILE, IDB_BTN_APPLY_FILE}};
  s.labels = {{IDC_TITLE, kTitleFontLeft}};
  for (int id = IDC_CLIENT_LABEL; id <= IDC_NOTES_LABEL; ++id) s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_CLIENT; id <= IDC_NOTES; ++id) s.field_font_controls.push_back(id);
  s.field_font_controls.push_back(IDC_SOURCE);
  s.tooltips = {{0, "Tela de Dados"},        {IDC_NEXT, "Próximo"},
                {IDC_RETURN, "Retornar"},     {IDC_LOAD, "Carregar Arquivo"},
                {IDC_SAVE, "Gravar Arquivo"}, {IDC_MONITOR, "Inicia Monitoramento"},
                {IDC_EXIT, "Sair"},           {IDC_APPLY_FILE, kApplyCaption}};
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
  for (const auto& b : kBoxes) view().SetText(b.box, Cp1252ToUtf8(app().customer.Get(b.field)));
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
void CustomerScreen::AfterFileLoad() {
  FillBoxes();
  OfferApply();
}

void CustomerScreen::OfferApply() {
  view().Enable(IDC_APPLY_FILE, app().file_loaded && !app().current_path.empty());
}

void CustomerScreen::OnCommand(View& view, int id) {
  Bind(view);
  if (id != IDC_APPLY_FILE) return DataScreen::OnCommand(view, id);
  CommitEdits();
  if (!app().file_loaded) return;
  if (!ApplyFileToController(app(), view)) view.EndScreen(kScreenLinkFailure);
}

}  // namespace kova
