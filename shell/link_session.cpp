#include "shell/link_session.h"

#include "controller/exchange.h"
#include "controller/pacing.h"

namespace kova {

void LinkSession::Let() {
  // Whoever streams (the monitor panel, the lambda screen's live display)
  // is not told; the stop frames do no harm when nothing streams.
  StopLiveStream(port_, clock_, model_, Profile(MonitorPacing(model_)).stream_stop_gap);
  port_.ClosePort();
}

void LinkSession::End() {
  if (ended_) return;
  ended_ = true;
  if (port_.PortConnected()) Let();
}

void LinkSession::Suspend() {
  if (ended_ || !port_.PortConnected()) return;
  reopen_ = true;
  Let();
}

bool LinkSession::Resume() {
  if (!reopen_ || ended_) return false;
  reopen_ = false;
  return port_.OpenPort() == 0 && ApplyLineSettings(port_, model_) == 0;
}

}  // namespace kova
