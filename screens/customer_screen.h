// The customer-data screen ("Dados da Empresa"): nine texts about who the
// installation was made for. Its initialisation opens the work cycle (link
// set-up for the model, the first full read, the port remembered in
// KOVA.INI); its Return ends it.
#pragma once
#include <functional>

#include "shell/app_context.h"
#include "shell/screen_logic.h"

namespace kova {

class CustomerScreen final : public ScreenLogic {
 public:
  struct Links {
    // Whether a screen follows with Next (the vehicle screen is built in).
    std::function<bool()> can_go_next;
    // Runs the monitor panel and returns its result; empty while the
    // program has no monitor.
    std::function<int()> run_monitor;
  };

  CustomerScreen(AppContext& app, Links links) : app_(app), links_(std::move(links)) {}

  void OnInit(View& view) override;
  void OnNext(View& view) override;
  void OnReturn(View& view) override;
  void OnCommand(View& view, int id) override;
  void OnFieldLeft(View& view, int id) override;
  void OnSelectionChange(View& view, int id) override;

  // The box of each record field, in record order.
  static int BoxOf(CustomerRecord::Field field);

 private:
  void FillBoxes(View& view);
  void ShowSource(View& view);
  void LoadFile(View& view);
  void SaveFile(View& view);

  AppContext& app_;
  Links links_;
};

}  // namespace kova
