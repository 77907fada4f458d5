// The vehicle screens: the vehicle screen of VELA and VELA plus (cylinders,
// coils, probe and TPS types, TPS hysteresis) and the BRIO vehicle and
// switch-over screen (the same five plus switch-over speed and type,
// automatic return to liquid fuel and its time).
#pragma once
#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

// Coils: "Tacômetro" is position 0, written as 9; 0 and 9 both show it.
int CoilsPosition(long value);
long CoilsValue(int position);

class VehicleScreen final : public DataScreen {
 public:
  VehicleScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);
};

class VehicleBrioScreen final : public DataScreen {
 public:
  VehicleBrioScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);

  void OnFieldLeft(View& view, int id) override;
};

}  // namespace kova
