#include "screens/aux_screens.h"

#include <cmath>

#include "controller/store_access.h"
#include "resources/art/resource_ids.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr char kTitle[] = "Funções Auxiliares";

DataField CutOff() {
  return {.control = IDC_AUX_CUTOFF, .label_id = IDC_AUX_CUTOFF_LABEL,
          .def = {.selector = "20", .kind = FieldKind::kOptions, .keyword = "20",
                   .label = "Cut Off"}};
}
DataField Steps(const char* unit, OutOfRange rule) {
  return {.control = IDC_AUX_STEPS, .spin = IDC_AUX_STEPS_SPIN, .label_id = IDC_AUX_STEPS_LABEL,
          .unit_id = IDC_AUX_STEPS_UNIT,
          .def = {.selector = "21", .kind = FieldKind::kNumber, .keyword = "21",
                   .label = "Abertura de Cut Off", .unit = unit, .out_of_range = rule}};
}
// The row of 27 gives the speed's range.
DataField Speed(const char* unit, OutOfRange rule) {
  return {.control = IDC_AUX_SPEED, .spin = IDC_AUX_SPEED_SPIN, .label_id = IDC_AUX_SPEED_LABEL,
          .unit_id = IDC_AUX_SPEED_UNIT,
          .def = {.selector = "26_27", .kind = FieldKind::kCutOffSpeed, .keyword = "27",
                   .label = "RPM de Cut Off", .unit = unit, .out_of_range = rule}};
}
DataField WarmUp(int control, int spin, OutOfRange rule) {
  return {.control = control, .spin = spin, .label_id = IDC_AUX_WARMUP_LABEL,
          .unit_id = IDC_AUX_WARMUP_UNIT,
          .def = {.selector = "15_16", .kind = FieldKind::kWord, .keyword = "15", .high = "16",
                   .label = "Tempo de Aquecimento da Sonda Lâmbda", .unit = "s",
                   .out_of_range = rule}};
}
DataField Seconds(int control, int spin, int label_id, int unit_id, const char* keyword,
                  const char* label, ShownWhen when = ShownWhen::kAlways) {
  return {.control = control, .spin = spin, .label_id = label_id, .unit_id = unit_id,
          .def = {.selector = keyword, .kind = FieldKind::kNumber, .keyword = keyword,
                   .label = label, .unit = "s", .decimals = 2,
                   .out_of_range = OutOfRange::kLimitWhileTyping, .shown_when = when}};
}
DataField Relay() {
  return {.control = IDC_AUX_RELAY, .label_id = IDC_AUX_RELAY_LABEL,
          .def = {.selector = "82", .kind = FieldKind::kOptions, .keyword = "82",
                   .label = "Relé Auxiliar"}};
}

// The frame, the auxiliary screens' labels and the fields both share.
ScreenDesign AuxDesign(int template_id, int background) {
  ScreenDesign s = DataScreenDesign(template_id, [background] { return background; });
  for (int id = IDC_AUX_OVERLAP_LABEL; id <= IDC_AUX_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_AUX_CUTOFF, IDC_AUX_SPEED, IDC_AUX_STEPS}) s.field_font_controls.push_back(id);
  return s;
}

}  // namespace

// ---- VELA --------------------------------------------------------------------

ScreenFields AuxVelaScreen::Fields() {
  // The steps and the warm-up time are written within their rows, whatever
  // was typed.
  return {kTitle,
          IDC_TITLE,
          {CutOff(), Steps("Passos", OutOfRange::kClamp), Speed("RPM", OutOfRange::kNone),
           WarmUp(IDC_AUX_WARMUP_VELA, IDC_AUX_WARMUP_VELA_SPIN, OutOfRange::kClamp)}};
}

AuxVelaScreen::AuxVelaScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 DataScreenRules{.write_all = Pacing::kAuxVela,
                                 .write_one = Pacing::kAuxVela,
                                 .stage_order = {"20", "26_27", "21", "15_16"},
                                 .digits_only = true}) {}

ScreenDesign AuxVelaScreen::Design(const AppContext&) {
  ScreenDesign s = AuxDesign(IDD_AUX_VELA, IDB_BG_AUX_VELA);
  s.field_font_controls.push_back(IDC_AUX_WARMUP_VELA);
  return s;
}

// ---- BRIO and VELA plus ------------------------------------------------------

ScreenFields AuxBrioScreen::Fields() {
  constexpr OutOfRange typed = OutOfRange::kLimitWhileTyping;
  return {kTitle,
          IDC_TITLE,
          {CutOff(), Steps("Passo(s)", typed), Relay(), Speed("rpm", typed),
           WarmUp(IDC_AUX_WARMUP, IDC_AUX_WARMUP_SPIN, typed),
           Seconds(IDC_AUX_DELAY, IDC_AUX_DELAY_SPIN, IDC_AUX_DELAY_LABEL, IDC_AUX_DELAY_UNIT, "70",
                   "Delay de Cut Off"),
           Seconds(IDC_AUX_OVERLAP, IDC_AUX_OVERLAP_SPIN, IDC_AUX_OVERLAP_LABEL,
                   IDC_AUX_OVERLAP_UNIT, "77", "Tempo de sobreposição",
                   ShownWhen::kEmulatorRelay)}};
}

AuxBrioScreen::AuxBrioScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 DataScreenRules{.write_all = Pacing::kAuxBrio,
                                 .write_one = Pacing::kAuxBrio,
                                 .write_all_in_file_shows_file_store = true,
                                 .stage_order = {"20", "82", "26_27", "21", "15_16", "70", "77"},
                                 .file_keywords = {"20", "21", "26", "27", "15", "16"},
                                 .list_typing = ListTyping::kWarnDefault}) {}

ScreenDesign AuxBrioScreen::Design(const AppContext&) {
  ScreenDesign s = AuxDesign(IDD_AUX_BRIO, IDB_BG_AUX_BRIO);
  for (int id : {IDC_AUX_WARMUP, IDC_AUX_DELAY, IDC_AUX_RELAY, IDC_AUX_OVERLAP})
    s.field_font_controls.push_back(id);
  return s;
}

void AuxBrioScreen::ShowOverlapByRelay() {
  const bool emulator = view().GetSelection(IDC_AUX_RELAY) == 1;
  for (int id : {IDC_AUX_OVERLAP, IDC_AUX_OVERLAP_SPIN, IDC_AUX_OVERLAP_LABEL, IDC_AUX_OVERLAP_UNIT})
    view().Show(id, emulator);
}

bool AuxBrioScreen::ShowStore(CKX4DATA& store) {
  bool complete = DataScreen::ShowStore(store);
  ShowOverlapByRelay();
  return complete;
}

void AuxBrioScreen::AfterOpen() {
  // The relay as the controller holds it now, read into the live store.
  Exchange exchange = MakeExchange(Pacing::kAuxBrio);
  exchange.ReadSelector("82", app().live, false);
  view().SetBusy("");
  const FieldDisplay relay = DisplayField(Relay().def, app().table, app().model, app().live);
  if (relay.complete) view().SelectEntry(IDC_AUX_RELAY, relay.position);
  ShowOverlapByRelay();
}

void AuxBrioScreen::OnSelectionChange(View& view, int id) {
  DataScreen::OnSelectionChange(view, id);
  if (id == IDC_AUX_RELAY) ShowOverlapByRelay();
}

void AuxBrioScreen::OnTextChange(View& view, int id) {
  DataScreen::OnTextChange(view, id);
  // Typing into the relay's list puts its default back, the emulator.
  if (id == IDC_AUX_RELAY) ShowOverlapByRelay();
}

void AuxBrioScreen::NormaliseDelay() {
  const ParameterDescriptor* d = Row("70");
  if (!d) return;
  // Up to the row's maximum (5.00 s = 250): a larger value would not fit
  // the controller's range.
  const double max = std::round(d->Max() * d->scale * 100) / 100;
  double n = ParseEnteredNumber(view().GetText(IDC_AUX_DELAY)).value_or(0.0);
  if (n < 0) n = 0;
  if (n > max) n = max;
  std::string text = FormatFixed(n, 2);
  for (char& c : text)
    if (c == ',') c = '.';
  if (view().GetText(IDC_AUX_DELAY) != text) view().SetText(IDC_AUX_DELAY, text);
}

void AuxBrioScreen::OnFieldLeft(View& view, int id) {
  Bind(view);
  if (id == IDC_AUX_DELAY) NormaliseDelay();
}

void AuxBrioScreen::CommitEdits() { NormaliseDelay(); }

}  // namespace kova
