#include "shell/screen_flow.h"

#include <array>
#include <optional>

namespace kova {
namespace {

using S = FlowState;


// One row per place: where results 1, 2, 3 and 4 lead, where any other
// result leads, and whether result 8 ends the application.
struct Row {
  S next, exit, link_failure, back, other;
  bool abort_ends;
};

constexpr std::array<Row, 8> kTable = {{
    /* Language  */ {S::Model, S::End, S::Model, S::Model, S::Model, true},
    /* Model     */ {S::Customer, S::End, S::Customer, S::Language, S::Customer, true},
    /* Customer  */ {S::Vehicle, S::End, S::Port, S::Language, S::Vehicle, false},
    /* Vehicle   */ {S::Lambda, S::End, S::Lambda, S::Customer, S::Lambda, false},
    /* Lambda    */ {S::Auxiliary, S::End, S::Auxiliary, S::Vehicle, S::Auxiliary, false},
    /* Auxiliary */ {S::Actuator, S::End, S::Actuator, S::Lambda, S::Actuator, false},
    /* Actuator  */ {S::End, S::End, S::Port, S::Auxiliary, S::Port, false},
    /* Port      */ {S::Customer, S::End, S::Customer, S::Model, S::Customer, false},
}};

}  // namespace

FlowState NextState(FlowState from, int result) {
  if (from == S::End) return S::End;
  const Row& row = kTable[static_cast<int>(from)];
  switch (result) {
    case kScreenNext: return row.next;
    case kScreenExit: return row.exit;
    case kScreenLinkFailure: return row.link_failure;
    case kScreenReturn: return row.back;
    case kScreenAbort:
      if (row.abort_ends) return S::End;
      return row.other;
    default: return row.other;
  }
}

ScreenObject ScreenFor(FlowState state, int model) {
  switch (state) {
    case S::Language: return ScreenObject::Language;
    case S::Model: return ScreenObject::Model;
    case S::Customer: return ScreenObject::Customer;
    case S::Vehicle:
      return model == kModelBrio ? ScreenObject::VehicleSwitchOver : ScreenObject::Vehicle;
    case S::Lambda:
      return model == kModelVela ? ScreenObject::LambdaSimulation : ScreenObject::LambdaInjection;
    case S::Auxiliary:
      return model == kModelVela ? ScreenObject::AuxiliaryShort : ScreenObject::AuxiliaryFull;
    case S::Actuator: return ScreenObject::Actuator;
    case S::Port:
    case S::End: break;
  }
  return ScreenObject::Port;
}

namespace {

// Where a result leads when the program lacks some screens: on past the
// missing ones in the same direction; nothing when that ends nowhere.
std::optional<FlowState> Reach(const ScreenHost& host, FlowState from, int result, int model) {
  FlowState to = NextState(from, result);
  for (int hops = 0; to != S::End && !host.Available(ScreenFor(to, model)); ++hops) {
    if (hops > 8) return std::nullopt;
    to = NextState(to, result);
  }
  return to;
}

}  // namespace

bool CanGoNext(const ScreenHost& host, FlowState state, int model) {
  auto to = Reach(host, state, kScreenNext, model);
  return to && *to != S::End;
}

void RunScreenLoop(ScreenHost& host, const int& model) {
  FlowState state = S::Language;
  while (state != S::End) {
    int result = host.Run(ScreenFor(state, model));
    auto to = Reach(host, state, result, model);
    // Nothing to go to: the user stays where the result came from.
    if (!to || (*to == S::End && NextState(state, result) != S::End)) continue;
    state = *to;
  }
}

}  // namespace kova
