#include "shell/screen_flow.h"

#include <array>

namespace kova {
namespace {

using S = FlowState;

constexpr int kBrio = 0, kVela = 1;

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
      return model == kBrio ? ScreenObject::VehicleSwitchOver : ScreenObject::Vehicle;
    case S::Lambda:
      return model == kVela ? ScreenObject::LambdaSimulation : ScreenObject::LambdaInjection;
    case S::Auxiliary:
      return model == kVela ? ScreenObject::AuxiliaryShort : ScreenObject::AuxiliaryFull;
    case S::Actuator: return ScreenObject::Actuator;
    case S::Port:
    case S::End: break;
  }
  return ScreenObject::Port;
}

bool CanGoNext(const ScreenHost& host, FlowState state, int model) {
  FlowState to = NextState(state, kScreenNext);
  return to != S::End && host.Available(ScreenFor(to, model));
}

void RunScreenLoop(ScreenHost& host, const int& model) {
  FlowState state = S::Language;
  while (state != S::End) {
    int result = host.Run(ScreenFor(state, model));
    FlowState to = NextState(state, result);
    if (to != S::End && !host.Available(ScreenFor(to, model))) continue;
    state = to;
  }
}

}  // namespace kova
