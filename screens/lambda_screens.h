// The lambda-probe screens: how the controller treats the probe signal — a
// simulated square signal with the standard or specific on and off times,
// an open signal, or (BRIO and VELA plus) the real probe with automatic or
// manual injection control, whose screen also shows engine speed and
// injection time live.
#pragma once
#include <array>

#include "monitor/live_display.h"
#include "monitor/live_feed.h"
#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

// The live display's timer.
inline constexpr int kLiveTimer = 2;

// VELA (template 117).
class LambdaVelaScreen final : public DataScreen {
 public:
  LambdaVelaScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  static ScreenDesign Design(const AppContext& app);

  bool ShowStore(CKX4DATA& store) override;
  void OnSelectionChange(View& view, int id) override;

 private:
  void ApplyType(int type, bool chosen);
};

// BRIO and VELA plus (template 108).
class LambdaBrioScreen final : public DataScreen {
 public:
  LambdaBrioScreen(AppContext& app, ScreenLinks links);
  static ScreenFields Fields();
  // The background follows the signal type, so the window asks the screen.
  static ScreenDesign Design(const AppContext& app, const LambdaBrioScreen& screen);

  bool ShowStore(CKX4DATA& store) override;
  void OnSelectionChange(View& view, int id) override;
  void OnFieldLeft(View& view, int id) override;

  int background() const { return background_; }
  bool live() const { return feed_.running(); }

 protected:
  void SetUpFields() override;

 private:
  int Type();
  // Shows, hides and enables the controls of a type and mode, sets the
  // background, and runs the live display while the type is "Real".
  void Layout();
  void ApplyType(int type, bool chosen);
  void SetBackground(int bitmap);
  // The live display's glyph cells.
  void DrawLive();
  void HideLive();
  void ResetLive();

  LiveFeed feed_;
  int background_ = 0;
  bool cells_shown_ = false;  // the digits and the arc are on the window
  SpeedDigits speed_;
  SpeedArc arc_;
  std::array<GlyphCell, 3> injection_;
};

}  // namespace kova
