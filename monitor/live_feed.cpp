#include "monitor/live_feed.h"

#include <cstdio>
#include <cstdlib>

#include "controller/answer_parser.h"
#include "controller/exchange.h"
#include "controller/parameter_table.h"
#include "controller/store_access.h"
#include "monitor/live_display.h"
#include "shell/app_context.h"

namespace kova {

LiveFeed::LiveFeed(AppContext& app, LiveFeedSetup setup) : app_(app), setup_(setup) {}

void LiveFeed::Bind(View& view) {
  view_ = &view;
  running_ = wanted_ = paused_ = false;
}

void LiveFeed::Abandon() {
  StopTicks();
  running_ = false;
  view_ = nullptr;
}

void LiveFeed::StartStream() { StartLiveStream(app_.port, app_.model); }

void LiveFeed::StopStream(uint32_t gap_ms) {
  StopLiveStream(app_.port, app_.clock, app_.model, gap_ms);
}

void LiveFeed::StopStream() { StopStream(Profile(setup_.pacing).stream_stop_gap); }

void LiveFeed::StartTicks() {
  if (view_) view_->SetTimer(setup_.timer, Profile(setup_.pacing).live_period);
}

void LiveFeed::StopTicks() {
  if (view_) view_->KillTimer(setup_.timer);
}

void LiveFeed::Start() {
  StartStream();
  if (on_start_) on_start_();
  StartTicks();
  running_ = true;
}

void LiveFeed::Stop() {
  if (!running_) return;
  StopTicks();
  StopStream();
  running_ = false;
}

void LiveFeed::Want(bool on) {
  wanted_ = on;
  if (!on) Stop();
  else if (!paused_ && !running_) Start();
}

void LiveFeed::Pause() {
  paused_ = true;
  Stop();
}

void LiveFeed::Resume(bool after_monitor) {
  paused_ = false;
  if (after_monitor) StopStream();
  if (!wanted_ || running_) return;
  if (after_monitor) app_.clock.Sleep(Profile(setup_.pacing).live_restart);
  Start();
}

bool LiveFeed::Read() {
  if (uint32_t settle = Profile(setup_.pacing).live_settle) app_.clock.Sleep(settle);
  auto text = ReadPortText(app_.port);
  if (!text || (text->empty() && !setup_.empty_is_answer)) return false;
  if (!text->empty()) ParseLiveAnswer(*text, app_.live, setup_.verify_check);
  return true;
}

void LiveFeed::Tick() {
  // A tick without data leaves the display as it is.
  if (running_ && Read() && on_answer_) on_answer_();
}

std::optional<double> LiveFeed::Speed() const {
  CKX4DATA& live = app_.live;
  auto b28 = StoreValue(live, "28"), b29 = StoreValue(live, "29");
  if (!b28 || !b29) return std::nullopt;
  if (app_.model != kModelVela) return *b28 + 256.0 * *b29;
  auto b2a = StoreValue(live, "2A"), coils = StoreValue(live, "2B"),
       cylinders = StoreValue(live, "2C");
  if (!b2a || !coils || !cylinders) return std::nullopt;
  // No period (nothing measured, or the values zeroed after the controller
  // fell silent) or no cylinders: the engine stands.
  const uint64_t period = static_cast<uint64_t>(*b28) + 256u * static_cast<uint64_t>(*b29) +
                          65536u * static_cast<uint64_t>(*b2a);
  return static_cast<double>(VelaSpeed(*coils, *cylinders, period));
}

LiveFeed::ShownSpeed LiveFeed::ShowSpeed(double speed) {
  ShownSpeed shown{speed < 10000 ? std::to_string(static_cast<long>(speed)) : "99999", speed};
  if (shown.text.size() > 4) {
    shown.text = previous_speed_;
    shown.arc = std::atoi(SpeedDigits::Positions(shown.text).c_str());
  }
  previous_speed_ = shown.text;
  return shown;
}

std::array<char, 3> LiveFeed::InjectionCells() const {
  char text[32];
  std::snprintf(text, sizeof text, "%2.1f",
                static_cast<double>(StoreValue(app_.live, "81").value_or(0)) * 0.1);
  return InjectionDigits(text);
}

std::array<char, 3> InjectionDigits(std::string_view text) {
  std::string t(text);
  if (t == "0.0") t = "00.0";
  if (t.size() == 3) t = " " + t;  // "5.3": the tens show 0
  auto digit = [&t](std::size_t i) {
    return i < t.size() && t[i] >= '0' && t[i] <= '9' ? t[i] : '0';
  };
  return {digit(0), digit(1), digit(3)};
}

}  // namespace kova
