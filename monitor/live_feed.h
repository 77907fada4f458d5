// The controller's live stream as the screens that show it use it: the
// start and stop commands, the timer whose ticks read what arrived into the
// live store, and the values drawn from it (engine speed per model, the
// four-digit rule, the injection-time cells). The monitor panel and the
// BRIO lambda screen each hold one; the data-screen frame pauses a screen's
// feed around its writes, the monitor panel and leaving.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controller/pacing.h"

class CKX4DATA;

namespace kova {

struct AppContext;
class View;

struct LiveFeedSetup {
  int timer = 0;             // the screen's timer for the ticks
  Pacing pacing = Pacing::kLambda;  // period, settle and stop gap of the family
  bool verify_check = true;  // keep only records whose check byte matches
  bool empty_is_answer = false;  // an empty read still counts as an answer
};

class LiveFeed {
 public:
  LiveFeed(AppContext& app, LiveFeedSetup setup);

  // A new window, the one the timer belongs to: nothing runs yet.
  void Bind(View& view);
  // The window goes: its timer goes with it, the stream was stopped when
  // the screen was left.
  void Abandon();
  // Told when the feed starts (draw what a fresh display shows) and after
  // every tick the controller answered (draw the new values).
  void OnStart(std::function<void()> f) { on_start_ = std::move(f); }
  void OnAnswer(std::function<void()> f) { on_answer_ = std::move(f); }

  // The stream and the ticks together.
  void Start();
  void Stop();
  bool running() const { return running_; }
  // What the screen wants: on starts the feed unless it is paused, off
  // stops it.
  void Want(bool on);
  bool wanted() const { return wanted_; }
  // The frame's pause around writes, the monitor panel and leaving. After
  // the monitor the stream is stopped once more (the panel may leave it
  // running) and the feed waits before it starts again.
  void Pause();
  void Resume(bool after_monitor = false);

  // The stream's commands and the timer, one by one, for the panel's own
  // sequences.
  void StartStream();
  void StopStream(uint32_t gap_ms);
  void StopStream();  // with the family's gap
  void StartTicks();
  void StopTicks();
  int timer() const { return setup_.timer; }
  // The family whose waits the feed keeps (the monitor's follows the model).
  void set_pacing(Pacing pacing) { setup_.pacing = pacing; }

  // One tick: reads what arrived and keeps its records in the live store.
  // False when the controller did not answer.
  bool Read();
  // A timer tick of this feed: reads, and on an answer tells OnAnswer.
  void Tick();

  // The engine speed the live store holds: VELA from the ignition period
  // and the coils and cylinders, the others from 28 (low) and 29 (high).
  // Nothing while a value is missing.
  std::optional<double> Speed() const;
  // What the four big digits and the arc show for a speed: a text of more
  // than four digits keeps the last text shown, and the arc the speed that
  // text stands for.
  struct ShownSpeed {
    std::string text;
    double arc;
  };
  ShownSpeed ShowSpeed(double speed);
  const std::string& last_speed_text() const { return previous_speed_; }
  // Forgets the last text (a new window).
  void ResetSpeedText() { previous_speed_ = "0000000000"; }
  // The injection-time cells (tens, units, tenths) of the live value 81.
  std::array<char, 3> InjectionCells() const;

 private:
  AppContext& app_;
  LiveFeedSetup setup_;
  View* view_ = nullptr;
  std::function<void()> on_start_, on_answer_;
  bool running_ = false;
  bool wanted_ = false;
  bool paused_ = false;
  std::string previous_speed_ = "0000000000";
};

// The injection-time cells' characters for a "%2.1f" text: tens, units and
// tenths; a blank shows 0 ("00.0" for "0.0", "05.3" for "5.3").
std::array<char, 3> InjectionDigits(std::string_view text);

}  // namespace kova
