#include "screens/lambda_screens.h"

#include <cmath>
#include <cstdio>

#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "resources/art/resource_ids.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr char kTypeSelector[] = "60_78";

DataField Time(int control, int spin, const char* keyword) {
  return {.control = control, .spin = spin, .selector = keyword, .kind = FieldKind::kNumber,
          .keyword = keyword, .decimals = 2, .cut_to_decimals = true};
}
DataField TypeList() {
  return {.control = IDC_LAMBDA_TYPE, .selector = kTypeSelector, .kind = FieldKind::kCustom,
          .keyword = "60"};
}

constexpr int kTimeGroup[] = {IDC_LAMBDA_ON,       IDC_LAMBDA_ON_SPIN,  IDC_LAMBDA_ON_LABEL,
                              IDC_LAMBDA_ON_UNIT,  IDC_LAMBDA_ON_RANGE, IDC_LAMBDA_OFF,
                              IDC_LAMBDA_OFF_SPIN, IDC_LAMBDA_OFF_LABEL, IDC_LAMBDA_OFF_UNIT,
                              IDC_LAMBDA_OFF_RANGE};
constexpr int kInjectionGroup[] = {IDC_LAMBDA_INJECTION, IDC_LAMBDA_INJECTION_SPIN,
                                   IDC_LAMBDA_INJECTION_LABEL, IDC_LAMBDA_INJECTION_UNIT};

// The frame, the lambda screens' labels and the fields both share.
ScreenDesign LambdaDesign(int template_id, std::function<int()> background) {
  ScreenDesign s = DataScreenDesign(template_id, std::move(background));
  for (int id = IDC_LAMBDA_ON_LABEL; id <= IDC_LAMBDA_TYPE_LABEL; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_LAMBDA_TYPE, IDC_LAMBDA_ON, IDC_LAMBDA_OFF}) s.field_font_controls.push_back(id);
  return s;
}

std::vector<int> LockedWhileWriting() { return {IDC_RETURN, IDC_EXIT, IDC_WRITE}; }

std::string Tenths(long value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2.1f", static_cast<double>(value) * 0.1);
  return buf;
}

}  // namespace

std::array<char, 3> InjectionDigits(std::string_view text) {
  std::string t(text);
  if (t == "0.0") t = "00.0";
  if (t.size() == 3) t = " " + t;  // "5.3": the tens show 0
  auto digit = [&t](std::size_t i) {
    return i < t.size() && t[i] >= '0' && t[i] <= '9' ? t[i] : '0';
  };
  return {digit(0), digit(1), digit(3)};
}

// ---- both screens ------------------------------------------------------------

LambdaScreenBase::LambdaScreenBase(AppContext& app, ScreenLinks links,
                                   std::vector<DataField> fields, DataScreenRules rules)
    : DataScreen(app, std::move(links), std::move(fields), std::move(rules)) {}

void LambdaScreenBase::ShowTimes(bool visible, bool enabled) {
  for (int id : kTimeGroup) {
    view().Show(id, visible);
    view().Enable(id, visible && enabled);
  }
}

void LambdaScreenBase::SetTimes(const std::string& text) {
  view().SetText(IDC_LAMBDA_ON, text);
  view().SetText(IDC_LAMBDA_OFF, text);
}

int LambdaScreenBase::SimulatedType() {
  return view().GetText(IDC_LAMBDA_ON) == kStandardTime &&
                 view().GetText(IDC_LAMBDA_OFF) == kStandardTime
             ? kTypeStandard
             : kTypeSpecific;
}

void LambdaScreenBase::StageTimes() {
  DataScreen::StageFields("1E");
  DataScreen::StageFields("1F");
}

// ---- VELA --------------------------------------------------------------------

LambdaVelaScreen::LambdaVelaScreen(AppContext& app, ScreenLinks links)
    : LambdaScreenBase(app, std::move(links),
                       {Time(IDC_LAMBDA_ON, IDC_LAMBDA_ON_SPIN, "1E"),
                        Time(IDC_LAMBDA_OFF, IDC_LAMBDA_OFF_SPIN, "1F"), TypeList()},
                       DataScreenRules{.write_all = Pacing::kLambda,
                                       .write_one = Pacing::kLambda,
                                       .locked_while_writing = LockedWhileWriting(),
                                       .file_keywords = {"1E", "1F", "60"},
                                       .digits_only = true}) {}

ScreenDesign LambdaVelaScreen::Design(const AppContext&) {
  return LambdaDesign(IDD_LAMBDA_VELA, [] { return IDB_BG_LAMBDA_VELA; });
}

void LambdaVelaScreen::SetUpFields() {
  for (const char* entry : {"Padrão", "Específico", "Aberto"})
    view().AddListEntry(IDC_LAMBDA_TYPE, entry);
}

void LambdaVelaScreen::ApplyType(int type, bool chosen) {
  if (chosen) SetTimes(type == kTypeStandard ? kStandardTime : "0.00");
  ShowTimes(type != kTypeOpen, type == kTypeSpecific);
}

bool LambdaVelaScreen::ShowCustom(const DataField& f, CKX4DATA& store) {
  if (f.control != IDC_LAMBDA_TYPE) return true;
  auto kind = StoreValue(store, "60");
  if (!kind) return false;
  const int type = *kind == 1 ? kTypeOpen : SimulatedType();
  view().SelectEntry(IDC_LAMBDA_TYPE, type);
  ApplyType(type, false);
  return true;
}

void LambdaVelaScreen::StageCustom(const DataField& f) {
  if (f.control != IDC_LAMBDA_TYPE) return;
  const int type = view().GetSelection(IDC_LAMBDA_TYPE);
  if (type < 0) return;
  StageValueAlways("60", type == kTypeOpen ? 1 : 0);
}

void LambdaVelaScreen::StageFields(std::string_view selector) {
  if (selector == kTypeSelector) {
    // The signal type goes with the times it runs on.
    DataScreen::StageFields(kTypeSelector);
    StageTimes();
  } else if (selector == "FULL") {
    StageTimes();
    DataScreen::StageFields(kTypeSelector);
  } else {
    DataScreen::StageFields(selector);
  }
}

void LambdaVelaScreen::OnSelectionChange(View& view, int id) {
  DataScreen::OnSelectionChange(view, id);
  if (id == IDC_LAMBDA_TYPE) ApplyType(view.GetSelection(IDC_LAMBDA_TYPE), true);
}

// ---- BRIO and VELA plus --------------------------------------------------------

LambdaBrioScreen::LambdaBrioScreen(AppContext& app, ScreenLinks links)
    : LambdaScreenBase(
          app, std::move(links),
          {Time(IDC_LAMBDA_ON, IDC_LAMBDA_ON_SPIN, "1E"),
           Time(IDC_LAMBDA_OFF, IDC_LAMBDA_OFF_SPIN, "1F"),
           TypeList(),
           {.control = IDC_LAMBDA_MODE, .selector = "78", .kind = FieldKind::kCustom,
            .keyword = "78"},
           {.control = IDC_LAMBDA_INJECTION, .spin = IDC_LAMBDA_INJECTION_SPIN, .selector = "79",
            .kind = FieldKind::kCustom, .keyword = "79", .decimals = 1,
            .limited_while_typing = true}},
          DataScreenRules{.write_all = Pacing::kLambda,
                          .write_one = Pacing::kLambda,
                          .write_all_in_file_shows_file_store = true,
                          .locked_while_writing = LockedWhileWriting(),
                          .file_keywords = {"1E", "1F", "60", "78", "79"},
                          .digits_only = true}),
      speed_({IDC_LAMBDA_SPEED_FIRST, IDC_LAMBDA_SPEED_FIRST + 10, IDC_LAMBDA_SPEED_FIRST + 20,
              IDC_LAMBDA_SPEED_FIRST + 30}),
      arc_(IDC_LAMBDA_ARC_FIRST),
      injection_{GlyphCell(IDC_LAMBDA_INJ_FIRST, 10), GlyphCell(IDC_LAMBDA_INJ_FIRST + 10, 10),
                 GlyphCell(IDC_LAMBDA_INJ_FIRST + 20, 10)} {}

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
  live_ = cells_shown_ = false;
  // What the engine does right now, before anything is shown.
  Exchange exchange = MakeExchange(Pacing::kLambda);
  exchange.SampleLiveValues(app().equipment);
  view().SetBusy("");
  for (const char* entry : {"Padrão", "Especifico", "Aberto", "Real"})
    view().AddListEntry(IDC_LAMBDA_TYPE, entry);
  for (const char* entry : {"Automático", "Manual"}) view().AddListEntry(IDC_LAMBDA_MODE, entry);
  // The speed-band fields of the template are never shown.
  for (int id = IDC_LAMBDA_BAND_FIRST; id <= IDC_LAMBDA_BAND_LAST; ++id) view().Show(id, false);
}

void LambdaBrioScreen::AfterOpen() { SyncLive(); }

void LambdaBrioScreen::SetBackground(int bitmap) {
  if (bitmap == background_) return;
  background_ = bitmap;
  view().SetBackground(bitmap);
}

void LambdaBrioScreen::Layout() {
  const int type = Type();
  const bool real = type == kTypeReal;
  if (!real) StopLive(true);
  ShowTimes(type == kTypeStandard || type == kTypeSpecific, type == kTypeSpecific);
  view().Show(IDC_LAMBDA_MODE, real);
  view().Show(IDC_LAMBDA_MODE_LABEL, real);
  view().Enable(IDC_LAMBDA_MODE, real);
  const bool manual = real && view().GetSelection(IDC_LAMBDA_MODE) == kModeManual;
  for (int id : kInjectionGroup) {
    view().Show(id, manual);
    view().Enable(id, manual);
  }
  SetBackground(real ? IDB_BG_LAMBDA_REAL : IDB_BG_DATA_BRIO);
}

void LambdaBrioScreen::ApplyType(int type, bool chosen) {
  if (chosen && type != kTypeReal) SetTimes(type == kTypeStandard ? kStandardTime : "0.00");
  view().SelectEntry(IDC_LAMBDA_TYPE, type);
  Layout();
}

bool LambdaBrioScreen::ShowCustom(const DataField& f, CKX4DATA& store) {
  if (f.control != IDC_LAMBDA_TYPE) return true;  // shown with the type
  auto probe = StoreValue(store, "78");
  if (!probe) return false;
  if (*probe == 1 || *probe == 2) {
    auto standard = StoreValue(store, "79");
    if (!standard) return false;
    view().SetText(IDC_LAMBDA_INJECTION, Tenths(*standard));
    view().SelectEntry(IDC_LAMBDA_MODE, *probe == 1 ? kModeAutomatic : kModeManual);
    ApplyType(kTypeReal, false);
    return true;
  }
  SetBackground(IDB_BG_DATA_BRIO);
  auto kind = StoreValue(store, "60");
  if (!kind) return false;
  // The standard injection time is there for a later switch to "Real".
  if (auto standard = StoreValue(store, "79")) view().SetText(IDC_LAMBDA_INJECTION, Tenths(*standard));
  ApplyType(*kind == 1 ? kTypeOpen : SimulatedType(), false);
  return true;
}

void LambdaBrioScreen::StageType() {
  const int type = Type();
  if (type < 0) return;
  if (type == kTypeReal) {
    const int mode = view().GetSelection(IDC_LAMBDA_MODE);
    StageValueAlways("78", mode == kModeManual ? 2 : 1);
    StageValueAlways("60", 0);
    return;
  }
  StageValueAlways("60", type == kTypeOpen ? 1 : 0);
  StageValueAlways("78", 0);
}

void LambdaBrioScreen::StageCustom(const DataField& f) {
  if (f.control == IDC_LAMBDA_TYPE || f.control == IDC_LAMBDA_MODE) StageType();
  else if (f.control == IDC_LAMBDA_INJECTION)
    StageDecimalText("79", view().GetText(IDC_LAMBDA_INJECTION), f.decimals);
}

void LambdaBrioScreen::StageFields(std::string_view selector) {
  if (selector == "FULL") {
    StageTimes();
    StageType();
    DataScreen::StageFields("79");
  } else {
    DataScreen::StageFields(selector);
  }
}

std::string LambdaBrioScreen::EnterSelector(std::string_view key) const {
  // The operating mode is part of the signal type: both go, and everything
  // is read back.
  return key == "78" ? kTypeSelector : std::string(key);
}

void LambdaBrioScreen::OnSelectionChange(View& view, int id) {
  DataScreen::OnSelectionChange(view, id);
  if (id == IDC_SOURCE) {
    SyncLive();
  } else if (id == IDC_LAMBDA_MODE) {
    Layout();
  } else if (id == IDC_LAMBDA_TYPE) {
    const int type = view.GetSelection(IDC_LAMBDA_TYPE);
    // The controller needs the stream stopped and a moment before it takes
    // another probe mode.
    if (live_) StopLive(true);
    else StopLiveStream(app().port, app().clock, app().model, Profile(Pacing::kLambda).stream_stop_gap);
    view.KillTimer(kLiveTimer);
    view.KillTimer(1);
    SetBackground(IDB_BG_DATA_BRIO);
    app().clock.Sleep(800);
    app().clock.Sleep(500);
    view.SelectEntry(IDC_LAMBDA_MODE, kModeAutomatic);
    ApplyType(type, true);
    SyncLive();
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
  cells_shown_ = false;
}

void LambdaBrioScreen::DrawLive() {
  CKX4DATA& live = app().live;
  const long speed = StoreValue(live, "28").value_or(0) + 256 * StoreValue(live, "29").value_or(0);
  const std::string digits = std::to_string(speed);
  if (digits.size() <= 4) speed_.Show(view(), digits);  // a longer text keeps the last one
  arc_.Show(view(), static_cast<double>(speed));
  const auto cells = InjectionDigits(Tenths(StoreValue(live, "81").value_or(0)));
  for (int c = 0; c < 3; ++c) injection_[c].Set(view(), cells[c] - '0');
}

void LambdaBrioScreen::StartLive(bool reset) {
  StartLiveStream(app().port, app().model);
  if (reset || !cells_shown_) {
    HideLive();
    cells_shown_ = true;
    DrawLive();
  }
  view().SetTimer(kLiveTimer, kLivePeriodMs);
  live_ = true;
}

void LambdaBrioScreen::StopLive(bool hide) {
  if (live_) {
    view().KillTimer(kLiveTimer);
    StopLiveStream(app().port, app().clock, app().model, Profile(Pacing::kLambda).stream_stop_gap);
    live_ = false;
  }
  if (hide && cells_shown_) HideLive();
}

void LambdaBrioScreen::SyncLive() {
  if (Type() == kTypeReal) {
    if (!live_) StartLive(false);
  } else {
    StopLive(true);
  }
}

void LambdaBrioScreen::OnTimer(View& view, int id) {
  if (id != kLiveTimer || !live_) return;
  Bind(view);
  app().clock.Sleep(100);
  // A tick without data leaves the display as it is.
  auto answer = ReadAnswer(app().port);
  if (!answer) return;
  ParseLiveAnswer(*answer, app().live, false);
  DrawLive();
}

void LambdaBrioScreen::AfterFileLoad() { SyncLive(); }

void LambdaBrioScreen::OnCommand(View& view, int id) {
  DataScreen::OnCommand(view, id);
  // With the file as source the write button shows the file again, whose
  // signal type may start or stop the live display.
  if (id == IDC_WRITE && app().source == kSourceFile) SyncLive();
}

void LambdaBrioScreen::BeforeMonitor() { StopLive(false); }

void LambdaBrioScreen::AfterMonitor(int) {
  // The panel may leave the stream running; the display starts it afresh.
  StopLiveStream(app().port, app().clock, app().model, Profile(Pacing::kLambda).stream_stop_gap);
  Layout();
  if (Type() != kTypeReal) return;
  app().clock.Sleep(250);
  StartLive(false);
}

void LambdaBrioScreen::BeforeWrite() { StopLive(false); }

void LambdaBrioScreen::AfterWrite() { SyncLive(); }

void LambdaBrioScreen::OnNext(View& view) {
  Bind(view);
  StopLive(false);
  DataScreen::OnNext(view);
}

void LambdaBrioScreen::OnReturn(View& view) {
  Bind(view);
  StopLive(false);
  DataScreen::OnReturn(view);
}

void LambdaBrioScreen::OnExit(View& view) {
  Bind(view);
  StopLive(false);
  DataScreen::OnExit(view);
}

void LambdaBrioScreen::OnDestroy(View& view) {
  view.KillTimer(kLiveTimer);
  live_ = false;
  DataScreen::OnDestroy(view);
}

}  // namespace kova
