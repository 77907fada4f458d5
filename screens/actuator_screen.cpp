#include "screens/actuator_screen.h"

#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

DataField Steps(int control, int spin, const char* keyword) {
  return {.control = control, .spin = spin, .selector = keyword, .kind = FieldKind::kNumber,
          .keyword = keyword, .range_checked = true};
}

}  // namespace

ActuatorScreen::ActuatorScreen(AppContext& app, ScreenLinks links)
    : DataScreen(app, std::move(links),
                 {Steps(IDC_ACT_LOW_DEFAULT, IDC_ACT_LOW_DEFAULT_SPIN, "3D"),
                  Steps(IDC_ACT_LOW_MIN, IDC_ACT_LOW_MIN_SPIN, "45"),
                  Steps(IDC_ACT_LOW_MAX, IDC_ACT_LOW_MAX_SPIN, "41"),
                  Steps(IDC_ACT_HIGH_DEFAULT, IDC_ACT_HIGH_DEFAULT_SPIN, "3E"),
                  Steps(IDC_ACT_HIGH_MIN, IDC_ACT_HIGH_MIN_SPIN, "46"),
                  Steps(IDC_ACT_HIGH_MAX, IDC_ACT_HIGH_MAX_SPIN, "42")},
                 // The monitor edits 3D and 3E too, but this screen keeps
                 // what it showed before the panel opened.
                 DataScreenRules{.write_all = Pacing::kActuator,
                                 .write_one = Pacing::kActuator,
                                 .refresh_after_monitor = false,
                                 .has_next = false,
                                 .locked_while_writing = {IDC_RETURN, IDC_EXIT, IDC_WRITE},
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
