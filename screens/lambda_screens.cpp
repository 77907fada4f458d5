#include "screens/lambda_screens.h"

#include "resources/art/resource_ids.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr char kTypeSelector[] = "60_78";

DataField Time(int control, int spin, int label_id, int unit_id, const char* keyword,
               const char* label) {
  return {.control = control, .spin = spin, .label_id = label_id, .unit_id = unit_id,
          .def = {.selector = keyword, .kind = FieldKind::kNumber, .keyword = keyword,
                   .label = label, .unit = "s", .decimals = 2, .cut_to_decimals = true,
                   .shown_when = ShownWhen::kSimulatedSignal}};
}
DataField OnTime() {
  return Time(IDC_LAMBDA_ON, IDC_LAMBDA_ON_SPIN, IDC_LAMBDA_ON_LABEL, IDC_LAMBDA_ON_UNIT, "1E",
              "Tempo ON");
}
DataField OffTime() {
  return Time(IDC_LAMBDA_OFF, IDC_LAMBDA_OFF_SPIN, IDC_LAMBDA_OFF_LABEL, IDC_LAMBDA_OFF_UNIT, "1F",
              "Tempo Off");
}
// The signal type goes out whole, changed or not.
DataField TypeList() {
  return {.control = IDC_LAMBDA_TYPE, .label_id = IDC_LAMBDA_TYPE_LABEL,
          .def = {.selector = kTypeSelector, .kind = FieldKind::kSignalType, .keyword = "60",
                   .label = "Tipo de Sinal", .always_staged = true}};
}

constexpr int kTimeGroup[] = {IDC_LAMBDA_ON,       IDC_LAMBDA_ON_SPIN,  IDC_LAMBDA_ON_LABEL,
                              IDC_LAMBDA_ON_UNIT,  IDC_LAMBDA_ON_RANGE, IDC_LAMBDA_OFF,
                              IDC_LAMBDA_OFF_SPIN, IDC_LAMBDA_OFF_LABEL, IDC_LAMBDA_OFF_UNIT,
                              IDC_LAMBDA_OFF_RANGE};
constexpr int kInjectionGroup[] = {IDC_LAMBDA_INJECTION, IDC_LAMBDA_INJECTION_SPIN,
                                   IDC_LAMBDA_INJECTION_LABEL, IDC_LAMBDA_INJECTION_UNIT};

// The time group: fields, spins, labels, units and range labels.
void ShowTimes(View& view, bool visible, bool enabled) {
  for (int id : kTimeGroup) {
    view.Show(id, visible);
    view.Enable(id, visible && enabled);
  }
}

// A type chosen by the user starts from its own times.
void SetTimesFor(View& view, int type) {
  const char* text = type == kTypeStandard ? kStandardTime : "0.00";
  view.SetText(IDC_LAMBDA_ON, text);
  view.SetText(IDC_LAMBDA_OFF, text);
}

// The frame, the lambda screens' labels and the fields both share.
ScreenDesign LambdaDesign(int template_id, std::function<int()> background) {
  ScreenDesign s = DataScreenDesign(template_id, std::move(background));
  for (int id = IDC_LAMBDA_ON_LABEL; id <= IDC_LAMBDA_TYPE_LABEL; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_LAMBDA_TYPE, IDC_LAMBDA_ON, IDC_LAMBDA_OFF}) s.field_font_controls.push_back(id);
  return s;
}

}  // namespace

// ---- VELA --------------------------------------------------------------------

ScreenFields LambdaVelaScreen::Fields() {
  return {"Simulação Sonda Lambda", IDC_TITLE, {OnTime(), OffTime(), TypeList()}};
}

LambdaVelaScreen::LambdaVelaScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 // The signal type goes with the times it runs on.
                 DataScreenRules{.write_all = Pacing::kLambda,
                                 .write_one = Pacing::kLambda,
                                 .lock = WriteLock::kLeaveButtons,
                                 .stage_order = {"1E", "1F", kTypeSelector},
                                 .staged_together = {{kTypeSelector, "1E", "1F"}},
                                 .digits_only = true}) {}

ScreenDesign LambdaVelaScreen::Design(const AppContext&) {
  return LambdaDesign(IDD_LAMBDA_VELA, [] { return IDB_BG_LAMBDA_VELA; });
}

void LambdaVelaScreen::ApplyType(int type, bool chosen) {
  if (chosen) SetTimesFor(view(), type);
  ShowTimes(view(), type != kTypeOpen, type == kTypeSpecific);
}

bool LambdaVelaScreen::ShowStore(CKX4DATA& store) {
  const bool complete = DataScreen::ShowStore(store);
  ApplyType(view().GetSelection(IDC_LAMBDA_TYPE), false);
  return complete;
}

void LambdaVelaScreen::OnSelectionChange(View& view, int id) {
  DataScreen::OnSelectionChange(view, id);
  if (id == IDC_LAMBDA_TYPE) ApplyType(view.GetSelection(IDC_LAMBDA_TYPE), true);
}

// ---- BRIO and VELA plus --------------------------------------------------------

ScreenFields LambdaBrioScreen::Fields() {
  // The mode and the standard injection time come before the type, whose
  // layout stands on them; a controller without 79 still shows the rest.
  return {"Simulação Sonda Lâmbda",
          IDC_TITLE,
          {OnTime(), OffTime(),
           {.control = IDC_LAMBDA_MODE, .label_id = IDC_LAMBDA_MODE_LABEL,
            .def = {.selector = "78", .kind = FieldKind::kProbeMode, .keyword = "78",
                     .label = "Modo de Funcionamento", .shown_when = ShownWhen::kRealProbe}},
           {.control = IDC_LAMBDA_INJECTION, .spin = IDC_LAMBDA_INJECTION_SPIN,
            .label_id = IDC_LAMBDA_INJECTION_LABEL, .unit_id = IDC_LAMBDA_INJECTION_UNIT,
            .def = {.selector = "79", .kind = FieldKind::kNumber, .keyword = "79",
                     .label = "Tempo Injeção Padrão", .unit = "ms", .decimals = 1,
                     .cut_to_decimals = true, .out_of_range = OutOfRange::kLimitWhileTyping,
                     .shown_when = ShownWhen::kManualProbe, .optional = true}},
           TypeList()}};
}

LambdaBrioScreen::LambdaBrioScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 DataScreenRules{.write_all = Pacing::kLambda,
                                 .write_one = Pacing::kLambda,
                                 .write_all_in_file_shows_file_store = true,
                                 .lock = WriteLock::kLeaveButtons,
                                 .stage_order = {"1E", "1F", kTypeSelector, "79"},
                                 // The operating mode is part of the signal
                                 // type: both go, and everything is read back.
                                 .enter_writes = {{"78", kTypeSelector}},
                                 .digits_only = true},
                 &feed_),
      feed_(app, {.timer = kLiveTimer, .pacing = Pacing::kLambda, .verify_check = false}),
      speed_({IDC_LAMBDA_SPEED_FIRST, IDC_LAMBDA_SPEED_FIRST + 10, IDC_LAMBDA_SPEED_FIRST + 20,
              IDC_LAMBDA_SPEED_FIRST + 30}),
      arc_(IDC_LAMBDA_ARC_FIRST),
      injection_{GlyphCell(IDC_LAMBDA_INJ_FIRST, 10), GlyphCell(IDC_LAMBDA_INJ_FIRST + 10, 10),
                 GlyphCell(IDC_LAMBDA_INJ_FIRST + 20, 10)} {
  feed_.OnStart([this] {
    if (!cells_shown_) ResetLive();
  });
  feed_.OnAnswer([this] { DrawLive(); });
}

ScreenDesign LambdaBrioScreen::Design(const AppContext&, const LambdaBrioScreen& screen) {
  const LambdaBrioScreen* self = &screen;
  ScreenDesign s = LambdaDesign(IDD_LAMBDA_BRIO, [self] {
    return self->background() ? self->background() : IDB_BG_DATA_BRIO;
  });
  s.field_font_controls.push_back(IDC_LAMBDA_MODE);
  s.field_font_controls.push_back(IDC_LAMBDA_INJECTION);
  return s;
}

int LambdaBrioScreen::Type() { return view().GetSelection(IDC_LAMBDA_TYPE); }

void LambdaBrioScreen::SetUpFields() {
  background_ = IDB_BG_DATA_BRIO;
  cells_shown_ = false;
  // What the engine does right now, before anything is shown.
  Exchange exchange = MakeExchange(Pacing::kLambda);
  exchange.SampleLiveValues(app().equipment);
  view().SetBusy("");
  // The speed-band fields of the template are never shown.
  for (int id = IDC_LAMBDA_BAND_FIRST; id <= IDC_LAMBDA_BAND_LAST; ++id) view().Show(id, false);
}

void LambdaBrioScreen::SetBackground(int bitmap) {
  if (bitmap == background_) return;
  background_ = bitmap;
  view().SetBackground(bitmap);
}

void LambdaBrioScreen::Layout() {
  const int type = Type();
  const bool real = type == kTypeReal;
  if (!real) {
    feed_.Want(false);
    if (cells_shown_) HideLive();
  }
  ShowTimes(view(), type == kTypeStandard || type == kTypeSpecific, type == kTypeSpecific);
  view().Show(IDC_LAMBDA_MODE, real);
  view().Show(IDC_LAMBDA_MODE_LABEL, real);
  view().Enable(IDC_LAMBDA_MODE, real);
  const bool manual = real && view().GetSelection(IDC_LAMBDA_MODE) == kModeManual;
  for (int id : kInjectionGroup) {
    view().Show(id, manual);
    view().Enable(id, manual);
  }
  SetBackground(real ? IDB_BG_LAMBDA_REAL : IDB_BG_DATA_BRIO);
  if (real) feed_.Want(true);
}

void LambdaBrioScreen::ApplyType(int type, bool chosen) {
  if (chosen && type != kTypeReal) SetTimesFor(view(), type);
  view().SelectEntry(IDC_LAMBDA_TYPE, type);
  Layout();
}

bool LambdaBrioScreen::ShowStore(CKX4DATA& store) {
  const bool complete = DataScreen::ShowStore(store);
  Layout();
  return complete;
}

void LambdaBrioScreen::OnSelectionChange(View& view, int id) {
  DataScreen::OnSelectionChange(view, id);
  if (id == IDC_LAMBDA_MODE) {
    Layout();
  } else if (id == IDC_LAMBDA_TYPE) {
    const int type = view.GetSelection(IDC_LAMBDA_TYPE);
    // The controller needs the stream stopped and a moment before it takes
    // another probe mode.
    if (feed_.running()) {
      feed_.Stop();
      HideLive();
    } else {
      feed_.StopStream();
    }
    view.KillTimer(kLiveTimer);
    view.KillTimer(1);
    SetBackground(IDB_BG_DATA_BRIO);
    const PacingProfile& pacing = Profile(Pacing::kLambda);
    app().clock.Sleep(pacing.probe_change_stop);
    app().clock.Sleep(pacing.probe_change_settle);
    view.SelectEntry(IDC_LAMBDA_MODE, kModeAutomatic);
    ApplyType(type, true);
  }
}

void LambdaBrioScreen::OnFieldLeft(View& view, int id) {
  if (id != IDC_LAMBDA_ON && id != IDC_LAMBDA_OFF) return;
  Bind(view);
  std::string text = view.GetText(id);
  if (text.size() > 10) text.resize(10);
  const double n = ParseEnteredNumber(text).value_or(0.0);
  if (n < 0) view.SetText(id, "0.00");
  else if (n > 2.55) view.SetText(id, "2.55");
}

// ---- the live display ----------------------------------------------------------

void LambdaBrioScreen::HideLive() {
  for (int id = IDC_LAMBDA_SPEED_FIRST; id <= IDC_LAMBDA_LIVE_LAST; ++id) view().Show(id, false);
  speed_.Forget();
  arc_.Forget();
  for (GlyphCell& c : injection_) c.Assume(-1);
  feed_.ResetSpeedText();
  cells_shown_ = false;
}

void LambdaBrioScreen::ResetLive() {
  HideLive();
  cells_shown_ = true;
  DrawLive();
}

void LambdaBrioScreen::DrawLive() {
  const LiveFeed::ShownSpeed shown = feed_.ShowSpeed(feed_.Speed().value_or(0));
  speed_.Show(view(), shown.text);
  arc_.Show(view(), shown.arc);
  const auto cells = feed_.InjectionCells();
  for (int c = 0; c < 3; ++c) injection_[c].Set(view(), cells[c] - '0');
}

}  // namespace kova
