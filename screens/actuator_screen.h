// The actuator screen ("Configurações do Atuador"): the stepper actuator's
// default position and its minimum and maximum steps, for low and for high
// engine speed. The same screen for every model, and the last one.
#pragma once
#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

class ActuatorScreen final : public DataScreen {
 public:
  ActuatorScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);
};

}  // namespace kova
