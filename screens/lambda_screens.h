// The lambda-probe screens: how the controller treats the probe signal — a
// simulated square signal with the standard or specific on and off times,
// an open signal, or (BRIO and VELA plus) the real probe with automatic or
// manual injection control, whose screen also shows engine speed and
// injection time live.
#pragma once
#include <array>

#include "monitor/live_display.h"
#include "screens/data_screen.h"
#include "shell/screen_design.h"

namespace kova {

// Positions of the signal-type list.
enum LambdaType : int { kTypeStandard = 0, kTypeSpecific = 1, kTypeOpen = 2, kTypeReal = 3 };
// Positions of the operating-mode list.
enum LambdaMode : int { kModeAutomatic = 0, kModeManual = 1 };

// The standard on and off times, as the fields show them.
inline constexpr char kStandardTime[] = "0.36";

// The live display's timer and its period.
inline constexpr int kLiveTimer = 2;
inline constexpr unsigned kLivePeriodMs = 200;

// The injection-time cells' characters for a "%2.1f" text: tens, units and
// tenths; a blank shows 0 ("00.0" for "0.0", "05.3" for "5.3").
std::array<char, 3> InjectionDigits(std::string_view text);

// Parts both screens share: the two time fields and the signal-type list.
class LambdaScreenBase : public DataScreen {
 protected:
  LambdaScreenBase(AppContext& app, ScreenLinks links, std::vector<DataField> fields,
                   DataScreenRules rules);
  // The time group: fields, spins, labels, units and range labels.
  void ShowTimes(bool visible, bool enabled);
  void SetTimes(const std::string& text);
  // Standard when both times read exactly "0.36", specific otherwise.
  int SimulatedType();
  void StageTimes();
  void StageValueAlways(std::string_view keyword, long value) { StageValue(keyword, value, true); }
};

// VELA (template 117).
class LambdaVelaScreen final : public LambdaScreenBase {
 public:
  LambdaVelaScreen(AppContext& app, ScreenLinks links);
  static ScreenDesign Design(const AppContext& app);

  void StageFields(std::string_view selector) override;
  void OnSelectionChange(View& view, int id) override;

 protected:
  void SetUpFields() override;
  bool ShowCustom(const DataField& field, CKX4DATA& store) override;
  void StageCustom(const DataField& field) override;

 private:
  void ApplyType(int type, bool chosen);
};

// BRIO and VELA plus (template 108).
class LambdaBrioScreen final : public LambdaScreenBase {
 public:
  LambdaBrioScreen(AppContext& app, ScreenLinks links);
  // The background follows the signal type, so the window asks the screen.
  static ScreenDesign Design(const AppContext& app, const LambdaBrioScreen& screen);

  void StageFields(std::string_view selector) override;
  void OnSelectionChange(View& view, int id) override;
  void OnFieldLeft(View& view, int id) override;
  void OnTimer(View& view, int id) override;
  void OnCommand(View& view, int id) override;
  void OnNext(View& view) override;
  void OnReturn(View& view) override;
  void OnExit(View& view) override;
  void OnDestroy(View& view) override;

  int background() const { return background_; }
  bool live() const { return live_; }

 protected:
  void SetUpFields() override;
  void AfterOpen() override;
  bool ShowCustom(const DataField& field, CKX4DATA& store) override;
  void StageCustom(const DataField& field) override;
  void AfterFileLoad() override;
  void BeforeMonitor() override;
  void AfterMonitor(int result) override;
  void BeforeWrite() override;
  void AfterWrite() override;
  std::string EnterSelector(std::string_view key) const override;

 private:
  int Type();
  // Shows, hides and enables the controls of a type and mode, and sets the
  // background; leaving "Real" stops the live display.
  void Layout();
  void ApplyType(int type, bool chosen);
  void SetBackground(int bitmap);
  void StageType();
  // The live display: the stream, timer 2 and the glyph cells.
  void StartLive(bool reset);
  void StopLive(bool hide);
  void SyncLive();
  void DrawLive();
  void HideLive();

  int background_ = 0;
  bool live_ = false;        // stream started and timer 2 running
  bool cells_shown_ = false;  // the digits and the arc are on the window
  SpeedDigits speed_;
  SpeedArc arc_;
  std::array<GlyphCell, 3> injection_;
};

}  // namespace kova
