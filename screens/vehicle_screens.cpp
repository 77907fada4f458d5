#include "screens/vehicle_screens.h"

#include <cstring>

#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr long kCylinders[] = {2, 4, 5, 6, 8, 10, 12};
constexpr int kCylinderPositions = sizeof kCylinders / sizeof kCylinders[0];

// The five fields both screens have, in the order the screens show them.
DataField Cylinders() {
  DataField f{.control = IDC_CYLINDERS, .selector = "2C", .kind = FieldKind::kMappedOptions,
              .keyword = "2C"};
  // The controller keeps its cylinder count only if it is sent every time.
  f.always_staged = true;
  f.to_position = CylindersPosition;
  f.to_value = CylindersValue;
  return f;
}
DataField Coils() {
  DataField f{.control = IDC_COILS, .selector = "2B", .kind = FieldKind::kMappedOptions,
              .keyword = "2B"};
  f.to_position = CoilsPosition;
  f.to_value = CoilsValue;
  return f;
}
DataField Option(int control, const char* keyword) {
  return {.control = control, .selector = keyword, .kind = FieldKind::kOptions, .keyword = keyword};
}

std::vector<int> FileButtonsAndWrite() { return {IDC_LOAD, IDC_SAVE, IDC_WRITE}; }

}  // namespace

int CylindersPosition(long value) {
  for (int k = 0; k < kCylinderPositions; ++k)
    if (kCylinders[k] == value) return k;
  return 0;
}

long CylindersValue(int position) {
  return position >= 0 && position < kCylinderPositions ? kCylinders[position] : -1;
}

int CoilsPosition(long value) { return value == 9 ? 0 : static_cast<int>(value); }

long CoilsValue(int position) { return position == 0 ? 9 : position; }

// ---- vehicle screen (VELA, VELA plus) --------------------------------------

VehicleScreen::VehicleScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links),
                 {Option(IDC_TPS_TYPE, "10"), Option(IDC_TPS_HYSTERESIS, "12"),
                  Option(IDC_PROBE_TYPE, "13"), Coils(), Cylinders()},
                 DataScreenRules{.write_all = Pacing::kVehicleVela,
                                 .write_one = Pacing::kVehicleVela,
                                 .selector_always_shown = true,
                                 .save_selects_file_source = false,
                                 .locked_while_writing = FileButtonsAndWrite(),
                                 .stage_order = {"2B", "2C", "10", "12", "13"},
                                 .list_typing = ListTyping::kRestore}) {}

ScreenDesign VehicleScreen::Design(const AppContext& app) {
  // This screen has no tooltips.
  ScreenDesign s = DataScreenDesign(
      IDD_VEHICLE,
      [&app] { return app.model == kModelVela ? IDB_BG_VEHICLE_VELA : IDB_BG_VEHICLE_VELAPLUS; },
      false);
  s.labels.push_back({IDC_VEHICLE_GROUP, kTitleFontLeft});
  for (int id = IDC_VEHICLE_LABEL_FIRST; id <= IDC_VEHICLE_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_CYLINDERS, IDC_COILS, IDC_PROBE_TYPE, IDC_TPS_TYPE, IDC_TPS_HYSTERESIS})
    s.field_font_controls.push_back(id);
  return s;
}

// ---- vehicle and switch-over screen (BRIO) ---------------------------------

VehicleBrioScreen::VehicleBrioScreen(AppContext& app, ScreenLinks links)
    : DataScreen(
          app, std::move(links),
          {Option(IDC_AUTO_RETURN, "7F"),
           {.control = IDC_RETURN_TIME, .spin = IDC_RETURN_TIME_SPIN, .selector = "80",
            .kind = FieldKind::kNumber, .keyword = "80"},
           {.control = IDC_SWITCH_RPM, .spin = IDC_SWITCH_RPM_SPIN, .selector = "75_76",
            .kind = FieldKind::kWord, .keyword = "75", .high = "76"},
           Option(IDC_SWITCH_TYPE, "74"), Option(IDC_TPS_TYPE, "10"),
           Option(IDC_TPS_HYSTERESIS, "12"), Option(IDC_PROBE_TYPE, "13"), Coils(), Cylinders()},
          DataScreenRules{.write_all = Pacing::kVehicleBrioAll,
                          .write_one = Pacing::kVehicleBrioOne,
                          .write_all_in_file_shows_file_store = true,
                          .enter_rereads_into_file_store = true,
                          .locked_while_writing = FileButtonsAndWrite(),
                          .stage_order = {"75", "76", "74", "7F", "80", "2B", "2C", "10", "12", "13"},
                          .list_typing = ListTyping::kWarnDefault,
                          .digits_only = true}) {}

ScreenDesign VehicleBrioScreen::Design(const AppContext&) {
  ScreenDesign s = DataScreenDesign(IDD_VEHICLE_BRIO, [] { return IDB_BG_VEHICLE_BRIO; });
  s.labels.push_back({IDC_VEHICLE_GROUP, kTitleFontLeft});
  s.labels.push_back({IDC_SWITCH_GROUP, kTitleFontLeft});
  for (int id = IDC_VEHICLE_LABEL_FIRST; id <= IDC_VEHICLE_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_CYLINDERS; id <= IDC_RETURN_TIME; ++id)
    if (id != IDC_SWITCH_RPM_SPIN) s.field_font_controls.push_back(id);
  return s;
}

// The number boxes check every change of their text: a negative number
// becomes 0, one outside the row's range is refused with a message and the
// row's default text.
void VehicleBrioScreen::CheckNumberBox(int id) {
  const DataField* f = FieldOf(id);
  const ParameterDescriptor* d = f ? Row(f->keyword) : nullptr;
  if (!d) return;
  std::string text = view().GetText(id);
  if (text.size() > 10) text.resize(10);
  double n = ParseEnteredNumber(text).value_or(0.0);
  if (n < 0) {
    view().SetText(id, "0");
  } else if (n > d->Max()) {
    view().MessageBox(kAboveLimitText, kLimitAssumedCaption, kMbOk);
    view().SetText(id, d->default_text);
  } else if (n < d->Min()) {
    view().MessageBox(kBelowLimitText, kLimitAssumedCaption, kMbOk);
    view().SetText(id, d->default_text);
  }
}

void VehicleBrioScreen::OnTextChange(View& view, int id) {
  if (id == IDC_SWITCH_RPM || id == IDC_RETURN_TIME) {
    // The screen's own set-up fills the boxes: only what is typed afterwards
    // is checked. The correction changes the text once more.
    if (checking_ || !initialised()) return;
    checking_ = true;
    DataScreen::OnTextChange(view, id);
    CheckNumberBox(id);
    checking_ = false;
    return;
  }
  DataScreen::OnTextChange(view, id);
}

void VehicleBrioScreen::OnFieldLeft(View& view, int id) {
  if (id != IDC_SWITCH_RPM) return;
  Bind(view);
  const ParameterDescriptor* d = Row("75");
  auto n = ParseEnteredNumber(view.GetText(id));
  if (!d || !n) return;
  checking_ = true;
  if (*n < 0) view.SetText(id, "0");
  else if (*n < d->Min()) view.SetText(id, d->column1[0]);
  else if (*n > d->Max()) view.SetText(id, d->column1[1]);
  checking_ = false;
}

}  // namespace kova
