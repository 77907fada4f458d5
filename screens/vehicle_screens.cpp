#include "screens/vehicle_screens.h"

#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

// The five fields both screens have, in the order the screens show them.
DataField Cylinders() {
  // The controller keeps its cylinder count only if it is sent every time.
  return {.control = IDC_CYLINDERS, .label_id = IDC_CYLINDERS_LABEL,
          .def = {.selector = "2C", .kind = FieldKind::kOptions, .keyword = "2C",
                   .label = "Número de Cilindros", .always_staged = true}};
}
DataField Coils() {
  return {.control = IDC_COILS, .label_id = IDC_COILS_LABEL,
          .def = {.selector = "2B", .kind = FieldKind::kMappedOptions, .keyword = "2B",
                   .label = "Número de Bobinas", .to_position = CoilsPosition,
                   .to_value = CoilsValue}};
}
DataField Option(int control, int label_id, int unit_id, const char* keyword, const char* label,
                 const char* unit = "", const char* group = "", int group_id = 0) {
  return {.control = control, .label_id = label_id, .unit_id = unit_id, .group_id = group_id,
          .def = {.selector = keyword, .kind = FieldKind::kOptions, .keyword = keyword,
                   .label = label, .unit = unit, .group = group}};
}
DataField ProbeType() {
  return Option(IDC_PROBE_TYPE, IDC_PROBE_TYPE_LABEL, IDC_PROBE_TYPE_UNIT, "13",
                "Tipo de Sonda Lâmbda", "V");
}
DataField TpsType() {
  return Option(IDC_TPS_TYPE, IDC_TPS_TYPE_LABEL, IDC_TPS_TYPE_UNIT, "10", "Tipo de TPS", "V");
}
DataField TpsHysteresis() {
  return Option(IDC_TPS_HYSTERESIS, IDC_TPS_HYSTERESIS_LABEL, IDC_TPS_HYSTERESIS_UNIT, "12",
                "Histerese do TPS", "V");
}

constexpr char kSwitchOver[] = "Configurações de Comutação";

}  // namespace

int CoilsPosition(long value) { return value == 9 ? 0 : static_cast<int>(value); }

long CoilsValue(int position) { return position == 0 ? 9 : position; }

// ---- vehicle screen (VELA, VELA plus) --------------------------------------

ScreenFields VehicleScreen::Fields() {
  return {"Configuração do Veículo", IDC_TITLE,
          {TpsType(), TpsHysteresis(), ProbeType(), Coils(), Cylinders()}};
}

VehicleScreen::VehicleScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 DataScreenRules{.write_all = Pacing::kVehicleVela,
                                 .write_one = Pacing::kVehicleVela,
                                 .selector_always_shown = true,
                                 .save_selects_file_source = false,
                                 .stage_order = {"2B", "2C", "10", "12", "13"},
                                 .list_typing = ListTyping::kRestore}) {}

ScreenDesign VehicleScreen::Design(const AppContext& app) {
  // This screen has no tooltips.
  ScreenDesign s = DataScreenDesign(
      IDD_VEHICLE,
      [&app] { return app.model == kModelVela ? IDB_BG_VEHICLE_VELA : IDB_BG_VEHICLE_VELAPLUS; },
      false);
  for (int id = IDC_VEHICLE_LABEL_FIRST; id <= IDC_VEHICLE_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id : {IDC_CYLINDERS, IDC_COILS, IDC_PROBE_TYPE, IDC_TPS_TYPE, IDC_TPS_HYSTERESIS})
    s.field_font_controls.push_back(id);
  return s;
}

// ---- vehicle and switch-over screen (BRIO) ---------------------------------

ScreenFields VehicleBrioScreen::Fields() {
  return {"Configurações do Veículo",
          IDC_TITLE,
          {Option(IDC_AUTO_RETURN, IDC_AUTO_RETURN_LABEL, 0, "7F",
                  "Retorno Automático (Combustível Líquido)", "", kSwitchOver),
           {.control = IDC_RETURN_TIME, .spin = IDC_RETURN_TIME_SPIN,
            .label_id = IDC_RETURN_TIME_LABEL,
            .def = {.selector = "80", .kind = FieldKind::kNumber, .keyword = "80",
                     .label = "Tempo de Retorno", .unit = "min", .group = kSwitchOver,
                     .out_of_range = OutOfRange::kDefaultWhileTyping}},
           {.control = IDC_SWITCH_RPM, .spin = IDC_SWITCH_RPM_SPIN,
            .label_id = IDC_SWITCH_RPM_LABEL, .group_id = IDC_SWITCH_GROUP,
            .def = {.selector = "75_76", .kind = FieldKind::kWord, .keyword = "75", .high = "76",
                     .label = "RPM de Comutação", .unit = "rpm", .group = kSwitchOver,
                     .out_of_range = OutOfRange::kDefaultWhileTyping}},
           Option(IDC_SWITCH_TYPE, IDC_SWITCH_TYPE_LABEL, 0, "74", "Tipo de Comutação", "",
                  kSwitchOver),
           TpsType(), TpsHysteresis(), ProbeType(), Coils(), Cylinders()}};
}

VehicleBrioScreen::VehicleBrioScreen(AppContext& app, ScreenLinks links)
    : DataScreen(
          app, std::move(links), Fields(),
          DataScreenRules{.write_all = Pacing::kVehicleBrioAll,
                          .write_one = Pacing::kVehicleBrioOne,
                          .write_all_in_file_shows_file_store = true,
                          .enter_rereads_into_file_store = true,
                          .stage_order = {"75", "76", "74", "7F", "80", "2B", "2C", "10", "12", "13"},
                          .list_typing = ListTyping::kWarnDefault,
                          .digits_only = true}) {}

ScreenDesign VehicleBrioScreen::Design(const AppContext&) {
  ScreenDesign s = DataScreenDesign(IDD_VEHICLE_BRIO, [] { return IDB_BG_VEHICLE_BRIO; });
  s.labels.push_back({IDC_SWITCH_GROUP, kTitleFontLeft});
  for (int id = IDC_VEHICLE_LABEL_FIRST; id <= IDC_VEHICLE_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_CYLINDERS; id <= IDC_RETURN_TIME; ++id)
    if (id != IDC_SWITCH_RPM_SPIN) s.field_font_controls.push_back(id);
  return s;
}

// When the speed box loses the focus, a number beyond its row becomes the
// limit, silently.
void VehicleBrioScreen::OnFieldLeft(View& view, int id) {
  if (id != IDC_SWITCH_RPM) return;
  Bind(view);
  const ParameterDescriptor* d = Row("75");
  auto n = ParseEnteredNumber(view.GetText(id));
  if (!d || !n) return;
  if (*n < 0) view.SetText(id, "0");
  else if (*n < d->Min()) view.SetText(id, d->column1[0]);
  else if (*n > d->Max()) view.SetText(id, d->column1[1]);
}

}  // namespace kova
