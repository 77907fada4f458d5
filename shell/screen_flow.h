// The screen loop of KOVA.exe: which screen runs next, from the screen that
// just ended, its result and the model. The loop itself knows nothing of
// windows; the product runs real dialogs through ScreenHost, the tests run
// scripted fakes.
#pragma once
#include "common/model.h"

namespace kova {


// The places of the flow. Vehicle, Lambda and Auxiliary each have one
// screen object per model family.
enum class FlowState { Language, Model, Customer, Vehicle, Lambda, Auxiliary, Actuator, Port, End };

// The eleven screen objects, in the order they are constructed.
enum class ScreenObject {
  Port,
  Language,
  Model,
  AuxiliaryFull,     // BRIO and VELA plus
  Customer,
  Actuator,
  VehicleSwitchOver, // BRIO
  LambdaInjection,   // BRIO and VELA plus
  Vehicle,           // VELA and VELA plus
  AuxiliaryShort,    // VELA
  LambdaSimulation,  // VELA
};
inline constexpr int kScreenObjectCount = 11;

// The next place after `from` ended with `result`. Models are the model
// index: 0 BRIO, 1 VELA, 2 VELA plus.
FlowState NextState(FlowState from, int result);

// The screen object that stands for a place under a model (End has none).
ScreenObject ScreenFor(FlowState state, int model);

class ScreenHost {
 public:
  virtual ~ScreenHost() = default;
  // Whether this screen object is built into the program.
  virtual bool Available(ScreenObject screen) const = 0;
  // Runs the screen modally and returns its result.
  virtual int Run(ScreenObject screen) = 0;
};

// Whether the flow can move on from `state` with Next under `model`
// (a screen uses this to offer Next only where a next screen exists).
bool CanGoNext(const ScreenHost& host, FlowState state, int model);

// Runs screens from the language screen until an "end" entry. The model is
// read again before every step, so a model changed on the way back takes
// effect at once. A result that leads to a screen not built into this
// program goes on past it in the same direction (Next from the vehicle
// screen to the actuator screen while the screens between are missing);
// when nothing is reached the user stays on the screen that produced it.
void RunScreenLoop(ScreenHost& host, const int& model);

}  // namespace kova
