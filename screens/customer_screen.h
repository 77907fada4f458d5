// The customer-data screen ("Dados da Empresa"): nine texts about who the
// installation was made for. Its initialisation opens the work cycle (link
// set-up for the model, the first full read, the port remembered in
// KOVA.INI); its Return ends it.
#pragma once
#include <functional>

#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

class CustomerScreen final : public DataScreen {
 public:
  // open_report shows the installation report over the screen; empty
  // where the program has none.
  CustomerScreen(AppContext& app, ScreenLinks links, std::function<void()> open_report = {});
  static ScreenDesign Design(const AppContext& app);

  void OnInit(View& view) override;
  void OnReturn(View& view) override;
  void OnFieldLeft(View& view, int id) override;
  void OnCommand(View& view, int id) override;

  // The box of each record field, and the label the screen shows for it.
  static int BoxOf(CustomerRecord::Field field);
  static const char* LabelOf(CustomerRecord::Field field);
  static constexpr char kTitle[] = "Dados da Empresa";
  static constexpr char kReportTooltip[] = "Relatório da instalação";

 protected:
  void CommitEdits() override;
  void AfterFileLoad() override;

 private:
  void FillBoxes();
  // "Gravar arquivo no equipamento" is offered while a file is loaded.
  void OfferApply();
  void TakeBox(int id);
  void OpenReport();

  std::function<void()> open_report_;
};

}  // namespace kova
