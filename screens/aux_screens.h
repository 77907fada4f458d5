// The auxiliary-functions screens: fuel cut-off (on/off, engine speed,
// actuator opening), warm-up time of the lambda probe and, on BRIO and
// VELA plus, the cut-off delay and the auxiliary relay with its overlap
// time. VELA holds the cut-off speed as an ignition period; the others hold
// it in rpm.
#pragma once
#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

// VELA (template 116).
class AuxVelaScreen final : public DataScreen {
 public:
  AuxVelaScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);
};

// BRIO and VELA plus (template 110).
class AuxBrioScreen final : public DataScreen {
 public:
  AuxBrioScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);

  bool ShowStore(CKX4DATA& store) override;
  void OnSelectionChange(View& view, int id) override;
  void OnTextChange(View& view, int id) override;
  void OnFieldLeft(View& view, int id) override;

 protected:
  void AfterOpen() override;
  void CommitEdits() override;

 private:
  // The overlap time shows only while the relay is the emulator.
  void ShowOverlapByRelay();
  // The delay as the controller takes it: within 0 to 5 s, two decimals.
  void NormaliseDelay();
};

}  // namespace kova
