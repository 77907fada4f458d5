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
  ScreenDesign s;
  s.template_id = IDD_ACTUATOR;
  s.background = [&app] { return app.model == kModelVela ? IDB_BG_DATA_VELA : IDB_BG_DATA_BRIO; };
  s.buttons = {{IDC_RETURN, IDB_BTN_RETURN},   {IDC_NEXT, IDB_BTN_NEXT},
               {IDC_LOAD, IDB_BTN_LOAD_FILE},  {IDC_SAVE, IDB_BTN_SAVE_FILE},
               {IDC_MONITOR, IDB_BTN_MONITOR}, {IDC_EXIT, IDB_BTN_EXIT},
               {IDC_WRITE, IDB_BTN_WRITE_ALL}};
  s.labels = {{IDC_TITLE, kTitleFontLeft}};
  for (int id = IDC_ACT_LABEL_FIRST; id <= IDC_ACT_LABEL_LAST; ++id)
    s.labels.push_back({id, kFieldLabelFont});
  for (int id = IDC_ACT_LOW_DEFAULT; id <= IDC_ACT_HIGH_MAX_SPIN; id += 2)
    s.field_font_controls.push_back(id);
  s.field_font_controls.push_back(IDC_SOURCE);
  s.tooltips = {{0, "Tela de Dados"},
                {IDC_NEXT, "Próximo"},
                {IDC_RETURN, "Retornar"},
                {IDC_LOAD, "Carregar Arquivo"},
                {IDC_SAVE, "Gravar Arquivo"},
                {IDC_MONITOR, "Inicia Monitoramento"},
                {IDC_EXIT, "Sair"},
                {IDC_WRITE, "Grava Todos os Valores desta Tela no Equipamento ou Arquivo"}};
  return s;
}

}  // namespace kova
