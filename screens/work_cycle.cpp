#include "screens/work_cycle.h"

#include "screens/actuator_screen.h"
#include "screens/aux_screens.h"
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"

namespace kova {

std::vector<ScreenFields> WorkCycleScreens(int model) {
  if (model == kModelVela)
    return {VehicleScreen::Fields(), LambdaVelaScreen::Fields(), AuxVelaScreen::Fields(),
            ActuatorScreen::Fields()};
  return {model == kModelBrio ? VehicleBrioScreen::Fields() : VehicleScreen::Fields(),
          LambdaBrioScreen::Fields(), AuxBrioScreen::Fields(), ActuatorScreen::Fields()};
}

}  // namespace kova
