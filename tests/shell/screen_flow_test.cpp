#include "shell/screen_flow.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <vector>

namespace kova {
namespace {

using S = FlowState;
using O = ScreenObject;

// Runs scripted results and records which screen objects ran.
class ScriptedHost : public ScreenHost {
 public:
  explicit ScriptedHost(std::deque<int> results) : results_(std::move(results)) {}
  bool Available(O screen) const override { return !missing.count(screen); }
  int Run(O screen) override {
    ran.push_back(screen);
    if (results_.empty()) return kScreenExit;  // a test that runs dry ends
    int r = results_.front();
    results_.pop_front();
    return r;
  }
  std::vector<O> ran;
  std::set<O> missing;

 private:
  std::deque<int> results_;
};

struct Cell {
  S from;
  int result;
  S to;
};

TEST(ScreenFlow, EveryCellOfTheTransitionTable) {
  const Cell cells[] = {
      {S::Language, 1, S::Model},      {S::Language, 2, S::End},
      {S::Language, 3, S::Model},      {S::Language, 4, S::Model},
      {S::Language, 0, S::Model},      {S::Language, 7, S::Model},
      {S::Language, 8, S::End},        {S::Model, 1, S::Customer},
      {S::Model, 2, S::End},           {S::Model, 3, S::Customer},
      {S::Model, 4, S::Language},      {S::Model, 5, S::Customer},
      {S::Model, 8, S::End},           {S::Customer, 1, S::Vehicle},
      {S::Customer, 2, S::End},        {S::Customer, 3, S::Port},
      {S::Customer, 4, S::Language},   {S::Customer, 0, S::Vehicle},
      {S::Customer, 8, S::Vehicle},    {S::Vehicle, 1, S::Lambda},
      {S::Vehicle, 2, S::End},         {S::Vehicle, 3, S::Lambda},
      {S::Vehicle, 4, S::Customer},    {S::Vehicle, -1, S::Lambda},
      {S::Lambda, 1, S::Auxiliary},    {S::Lambda, 2, S::End},
      {S::Lambda, 3, S::Auxiliary},    {S::Lambda, 4, S::Vehicle},
      {S::Lambda, 9, S::Auxiliary},    {S::Auxiliary, 1, S::Actuator},
      {S::Auxiliary, 2, S::End},       {S::Auxiliary, 3, S::Actuator},
      {S::Auxiliary, 4, S::Lambda},    {S::Auxiliary, 6, S::Actuator},
      {S::Actuator, 1, S::End},        {S::Actuator, 2, S::End},
      {S::Actuator, 3, S::Port},       {S::Actuator, 4, S::Auxiliary},
      {S::Actuator, 0, S::Port},       {S::Actuator, 8, S::Port},
      {S::Port, 1, S::Customer},       {S::Port, 2, S::End},
      {S::Port, 3, S::Customer},       {S::Port, 4, S::Model},
      {S::Port, 0, S::Customer},       {S::Port, 8, S::Customer},
  };
  for (const Cell& c : cells)
    EXPECT_EQ(NextState(c.from, c.result), c.to)
        << "from " << static_cast<int>(c.from) << " result " << c.result;
}

TEST(ScreenFlow, ModelPicksTheScreenOfEachFamily) {
  EXPECT_EQ(ScreenFor(S::Vehicle, kModelBrio), O::VehicleSwitchOver);
  EXPECT_EQ(ScreenFor(S::Vehicle, kModelVela), O::Vehicle);
  EXPECT_EQ(ScreenFor(S::Vehicle, kModelVelaPlus), O::Vehicle);
  EXPECT_EQ(ScreenFor(S::Lambda, kModelBrio), O::LambdaInjection);
  EXPECT_EQ(ScreenFor(S::Lambda, kModelVela), O::LambdaSimulation);
  EXPECT_EQ(ScreenFor(S::Lambda, kModelVelaPlus), O::LambdaInjection);
  EXPECT_EQ(ScreenFor(S::Auxiliary, kModelBrio), O::AuxiliaryFull);
  EXPECT_EQ(ScreenFor(S::Auxiliary, kModelVela), O::AuxiliaryShort);
  EXPECT_EQ(ScreenFor(S::Auxiliary, kModelVelaPlus), O::AuxiliaryFull);
  for (int m = 0; m < 3; ++m) {
    EXPECT_EQ(ScreenFor(S::Customer, m), O::Customer);
    EXPECT_EQ(ScreenFor(S::Actuator, m), O::Actuator);
  }
}

TEST(ScreenFlow, WholeRunThroughEveryScreenAndBackToThePort) {
  int model = kModelBrio;
  // Language, Model, Customer, Vehicle, Lambda, Auxiliary, Actuator (link
  // failure) -> Port -> Customer -> Exit.
  ScriptedHost host({1, 1, 1, 1, 1, 1, 3, 1, 2});
  RunScreenLoop(host, model);
  EXPECT_EQ(host.ran, (std::vector<O>{O::Language, O::Model, O::Customer, O::VehicleSwitchOver,
                                     O::LambdaInjection, O::AuxiliaryFull, O::Actuator, O::Port,
                                     O::Customer}));
}

// A host whose model screen changes the model, as the real one does.
class ModelChangingHost : public ScriptedHost {
 public:
  ModelChangingHost(std::deque<int> results, int& model, std::deque<int> models)
      : ScriptedHost(std::move(results)), model_(model), models_(std::move(models)) {}
  int Run(O screen) override {
    if (screen == O::Model && !models_.empty()) {
      model_ = models_.front();
      models_.pop_front();
    }
    return ScriptedHost::Run(screen);
  }

 private:
  int& model_;
  std::deque<int> models_;
};

TEST(ScreenFlow, ModelIsReadAgainAtEveryStep) {
  int model = kModelVela;
  // VELA: customer, vehicle, back, back to language; then BRIO.
  ModelChangingHost host({1, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 2}, model,
                         {kModelVela, kModelBrio});
  RunScreenLoop(host, model);
  EXPECT_EQ(host.ran,
            (std::vector<O>{O::Language, O::Model, O::Customer, O::Vehicle, O::LambdaSimulation,
                            O::Vehicle, O::Customer, O::Language, O::Model, O::Customer,
                            O::VehicleSwitchOver, O::LambdaInjection}));
}

TEST(ScreenFlow, ActuatorNextEndsAndAbortEndsOnlyTheSelectionScreens) {
  int model = kModelVela;
  ScriptedHost host({1, 1, 1, 1, 1, 1, 1});
  RunScreenLoop(host, model);
  EXPECT_EQ(host.ran.back(), O::Actuator);
  EXPECT_EQ(host.ran.size(), 7u);

  ScriptedHost aborting({1, 8});
  RunScreenLoop(aborting, model);
  EXPECT_EQ(aborting.ran, (std::vector<O>{O::Language, O::Model}));
}

TEST(ScreenFlow, MissingScreensAreSkippedInTheDirectionOfTheResult) {
  int model = kModelVela;
  // Next up to the vehicle screen and on to the actuator, Return from it,
  // link failure from the vehicle screen and from the actuator screen,
  // Return from the port screen, Exit.
  ScriptedHost host({1, 1, 1, 1, 4, 3, 3, 4, 2});
  host.missing = {O::LambdaSimulation, O::LambdaInjection, O::AuxiliaryShort, O::AuxiliaryFull};
  EXPECT_TRUE(CanGoNext(host, S::Vehicle, model));
  RunScreenLoop(host, model);
  EXPECT_EQ(host.ran, (std::vector<O>{O::Language, O::Model, O::Customer, O::Vehicle,
                                     O::Actuator, O::Vehicle, O::Actuator, O::Port,
                                     O::Model}));
}

TEST(ScreenFlow, NothingReachableKeepsTheUserWhereHeIs) {
  int model = kModelVela;
  ScriptedHost host({1, 1, 1, 4, 2});
  host.missing = {O::Vehicle,      O::VehicleSwitchOver, O::LambdaSimulation, O::LambdaInjection,
                  O::AuxiliaryShort, O::AuxiliaryFull,   O::Actuator};
  EXPECT_FALSE(CanGoNext(host, S::Customer, model));
  EXPECT_TRUE(CanGoNext(host, S::Model, model));
  RunScreenLoop(host, model);
  // Next on the customer screen finds no screen after it: customer again;
  // then Return to the language screen, which exits.
  EXPECT_EQ(host.ran, (std::vector<O>{O::Language, O::Model, O::Customer, O::Customer,
                                     O::Language}));
}

TEST(ScreenFlow, NothingFollowsTheLastScreen) {
  ScriptedHost host({});
  EXPECT_FALSE(CanGoNext(host, S::Actuator, kModelVela));
  EXPECT_TRUE(CanGoNext(host, S::Customer, kModelVela));
}

}  // namespace
}  // namespace kova
