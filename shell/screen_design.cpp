#include "shell/screen_design.h"

#include <cstdlib>

#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"

namespace kova {
namespace {

const FrameButton kFrameButtons[] = {
    {IDC_RETURN, IDB_BTN_RETURN, "Retornar"},
    {IDC_NEXT, IDB_BTN_NEXT, "Próximo"},
    {IDC_LOAD, IDB_BTN_LOAD_FILE, "Carregar Arquivo"},
    {IDC_SAVE, IDB_BTN_SAVE_FILE, "Gravar Arquivo"},
    {IDC_MONITOR, IDB_BTN_MONITOR, "Inicia Monitoramento"},
    {IDC_EXIT, IDB_BTN_EXIT, "Sair"},
    {IDC_WRITE, IDB_BTN_WRITE_ALL, "Grava Todos os Valores desta Tela no Equipamento ou Arquivo"},
};

}  // namespace

const FrameButton& FrameButtonOf(int id) {
  for (const FrameButton& b : kFrameButtons)
    if (b.id == id) return b;
  std::abort();  // a frame asked for a button the frames do not have
}

void AddButton(ScreenDesign& design, const FrameButton& button, bool tooltip) {
  design.buttons.push_back({button.id, button.bitmap});
  if (tooltip && button.tooltip) design.tooltips.push_back({button.id, button.tooltip});
}

void AddFrameButtons(ScreenDesign& design, std::initializer_list<int> ids, bool tooltips) {
  for (int id : ids) AddButton(design, FrameButtonOf(id), tooltips);
}

}  // namespace kova
