#include "screens/aux_screens.h"

#include <cmath>

#include "controller/store_access.h"
#include "resources/art/resource_ids.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr char kCutOffSpeed[] = "26_27";

DataField CutOff() {
  return {.control = IDC_AUX_CUTOFF, .selector = "20", .kind = FieldKind::kOptions,
          .keyword = "20"};
}
DataField Steps() {
  return {.control = IDC_AUX_STEPS, .spin = IDC_AUX_STEPS_SPIN, .selector = "21",
          .kind = FieldKind::kNumber, .keyword = "21"};
}
// Shown and staged by the screen; the row of 27 gives its range.
DataField Speed() {
  return {.control = IDC_AUX_SPEED, .spin = IDC_AUX_SPEED_SPIN, .selector = kCutOffSpeed,
          .kind = FieldKind::kCustom, .keyword = "27"};
}
DataField WarmUp(int control, int spin) {
  return {.control = control, .spin = spin, .selector = "15_16", .kind = FieldKind::kWord,
          .keyword = "15", .high = "16"};
}
DataField Seconds(int control, int spin, const char* keyword) {
  return {.control = control, .spin = spin, .selector = keyword, .kind = FieldKind::kNumber,
          .keyword = keyword, .decimals = 2};
}

std::vector<DataField> VelaFields() {
  DataField steps = Steps();
  steps.clamped = true;  // 1 to 100 whatever was typed
  DataField warm_up = WarmUp(IDC_AUX_WARMUP_VELA, IDC_AUX_WARMUP_VELA_SPIN);
  warm_up.clamped = true;
  return {CutOff(), steps, Speed(), warm_up};
}

std::vector<DataField> BrioFields() {
  std::vector<DataField> fields = {CutOff(),
                                   Steps(),
                                   {.control = IDC_AUX_RELAY, .selector = "82",
                                    .kind = FieldKind::kOptions, .keyword = "82"},
                                   Speed(),
                                   WarmUp(IDC_AUX_WARMUP, IDC_AUX_WARMUP_SPIN),
                                   Seconds(IDC_AUX_DELAY, IDC_AUX_DELAY_SPIN, "70"),
                                   Seconds(IDC_AUX_OVERLAP, IDC_AUX_OVERLAP_SPIN, "77")};
  for (DataField& f : fields)
    if (f.spin) f.limited_while_typing = true;
  return fields;
}

// The frame, the auxiliary screens' labels and the fields both share.
ScreenDesign AuxDesign(int template_id, int background) {
  ScreenDesign s = DataScreenDesign(template_id, [background] { return background; });
  for (int id = IDC_AUX_OVERLAP_LABEL; id <= IDC_AUX_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_AUX_CUTOFF, IDC_AUX_SPEED, IDC_AUX_STEPS}) s.field_font_controls.push_back(id);
  return s;
}

std::vector<int> LockedWhileWriting() { return {IDC_LOAD, IDC_SAVE, IDC_WRITE}; }

}  // namespace

// ---- both screens ------------------------------------------------------------

AuxScreenBase::AuxScreenBase(AppContext& app, ScreenLinks links, std::vector<DataField> fields,
                             DataScreenRules rules)
    : DataScreen(app, std::move(links), std::move(fields), std::move(rules)) {}

bool AuxScreenBase::ShowCustom(const DataField& f, CKX4DATA& store) {
  if (std::string_view(f.selector) != kCutOffSpeed) return true;
  const bool vela = app().IsVela();
  // The first register the store lacks stops the showing here.
  for (const char* keyword : {"27", "26", "25", "2B", "2C"}) {
    if (!vela && keyword[1] == '5') break;  // BRIO's speed is 27 and 26 only
    if (!StoreValue(store, keyword)) return false;
  }
  // A period of 0, or coils the conversion does not know, leave the speed
  // undefined: the box stays empty rather than showing a made-up number.
  auto speed = CutOffSpeedFromStore(store, app().model);
  view().SetText(f.control, speed ? std::to_string(*speed) : std::string());
  return true;
}

void AuxScreenBase::StageCustom(const DataField& f) {
  if (std::string_view(f.selector) != kCutOffSpeed) return;
  auto n = FieldNumber(f.control);
  if (!n) return;
  // Registers never read from the controller are never written.
  for (const char* keyword : {"27", "26", "25"}) {
    if (!app().IsVela() && keyword[1] == '5') break;
    if (!StoreHas(app().equipment, keyword)) return;
  }
  StageCutOffSpeed(static_cast<long>(std::round(*n)), app().model, app().equipment, app().changes);
}

// ---- VELA --------------------------------------------------------------------

AuxVelaScreen::AuxVelaScreen(AppContext& app, ScreenLinks links)
    : AuxScreenBase(app, std::move(links), VelaFields(),
                    DataScreenRules{.write_all = Pacing::kAuxVela,
                                    .write_one = Pacing::kAuxVela,
                                    .locked_while_writing = LockedWhileWriting(),
                                    .stage_order = {"20", kCutOffSpeed, "21", "15_16"},
                                    .file_keywords = {"20", "21", "25", "26", "27", "15", "16"},
                                    .digits_only = true}) {}

ScreenDesign AuxVelaScreen::Design(const AppContext&) {
  ScreenDesign s = AuxDesign(IDD_AUX_VELA, IDB_BG_AUX_VELA);
  s.field_font_controls.push_back(IDC_AUX_WARMUP_VELA);
  return s;
}

// ---- BRIO and VELA plus ------------------------------------------------------

AuxBrioScreen::AuxBrioScreen(AppContext& app, ScreenLinks links)
    : AuxScreenBase(app, std::move(links), BrioFields(),
                    DataScreenRules{.write_all = Pacing::kAuxBrio,
                                    .write_one = Pacing::kAuxBrio,
                                    .write_all_in_file_shows_file_store = true,
                                    .locked_while_writing = LockedWhileWriting(),
                                    .stage_order = {"20", "82", kCutOffSpeed, "21", "15_16", "70",
                                                    "77"},
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
  if (auto value = StoreValue(app().live, "82")) {
    const ParameterDescriptor* d = Row("82");
    long pos = *value - (d ? static_cast<long>(d->Min()) : 0);
    view().SelectEntry(IDC_AUX_RELAY, pos >= 0 && pos < 2 ? static_cast<int>(pos) : -1);
  }
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
