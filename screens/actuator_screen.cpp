#include "screens/actuator_screen.h"

#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

constexpr char kLow[] = "Baixa Rotação";
constexpr char kHigh[] = "Alta Rotação";

// One of the six step counts. The low column's fields carry the row labels
// both columns share.
DataField Steps(int control, const char* keyword, const char* label, const char* group,
                int label_id, int group_id) {
  return {.control = control, .spin = control + 1, .label_id = label_id, .group_id = group_id,
          .def = {.selector = keyword, .kind = FieldKind::kNumber, .keyword = keyword,
                   .label = label, .unit = "passo(s)", .group = group,
                   .out_of_range = OutOfRange::kRefuse}};
}

}  // namespace

ScreenFields ActuatorScreen::Fields() {
  return {"Configurações do Atuador",
          IDC_TITLE,
          {Steps(IDC_ACT_LOW_DEFAULT, kIdleDefaultKey, "Default", kLow, IDC_ACT_DEFAULT_LABEL,
                 IDC_ACT_LOW_GROUP),
           Steps(IDC_ACT_LOW_MIN, "45", "Passos Mín", kLow, IDC_ACT_MIN_LABEL, 0),
           Steps(IDC_ACT_LOW_MAX, "41", "Passos Máx", kLow, IDC_ACT_MAX_LABEL, 0),
           Steps(IDC_ACT_HIGH_DEFAULT, kHighDefaultKey, "Default", kHigh, 0, IDC_ACT_HIGH_GROUP),
           Steps(IDC_ACT_HIGH_MIN, "46", "Passos Mín", kHigh, 0, 0),
           Steps(IDC_ACT_HIGH_MAX, "42", "Passos Máx", kHigh, 0, 0)}};
}

ActuatorScreen::ActuatorScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links), Fields(),
                 // The monitor edits 3D and 3E too, but this screen keeps
                 // what it showed before the panel opened.
                 DataScreenRules{.write_all = Pacing::kActuator,
                                 .write_one = Pacing::kActuator,
                                 .refresh_after_monitor = false,
                                 .has_next = false,
                                 .lock = WriteLock::kLeaveButtons,
                                 .digits_only = true}) {}

ScreenDesign ActuatorScreen::Design(const AppContext& app) {
  ScreenDesign s = DataScreenDesign(IDD_ACTUATOR, [&app] {
    return app.model == kModelVela ? IDB_BG_DATA_VELA : IDB_BG_DATA_BRIO;
  });
  for (int id = IDC_ACT_LABEL_FIRST; id <= IDC_ACT_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_ACT_LOW_DEFAULT; id <= IDC_ACT_HIGH_MAX_SPIN; id += 2)
    s.field_font_controls.push_back(id);
  return s;
}

}  // namespace kova
