// The link when Windows ends the session or the PC sleeps, against the
// simulated controller.
#include "shell/link_session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/clock.h"
#include "controller/exchange.h"
#include "sim/controller_sim.h"
#include "sim/sim_serial_port.h"

namespace kova {
namespace {

std::vector<std::vector<uint8_t>> Frames(const sim::ControllerSim& sim) {
  std::vector<std::vector<uint8_t>> out;
  for (const auto& f : sim.Frames()) out.push_back(f.bytes);
  return out;
}

TEST(LinkSession, TheStreamStopsAndThePortIsLetGoOverASleepAndAtTheEnd) {
  VirtualClock clock;
  int model = kModelBrio;
  sim::ControllerSim sim(model, clock);
  sim::SimSerialPort port(sim, clock);
  port.SetPortNumber(4);
  ASSERT_EQ(port.OpenPort(), 0);
  ASSERT_EQ(ApplyLineSettings(port, model), 0);
  StartLiveStream(port, model);
  sim.ClearFrames();
  port.ClearCalls();
  const std::vector<uint8_t> stop = {0x00, 0x07, 0x00};

  LinkSession session(port, clock, model);
  EXPECT_FALSE(session.Resume());  // no sleep before: nothing to do
  EXPECT_TRUE(port.Calls().empty());
  session.Suspend();
  EXPECT_EQ(Frames(sim), (std::vector<std::vector<uint8_t>>{stop, stop, stop}));
  EXPECT_FALSE(sim.Streaming());
  EXPECT_EQ(port.PortConnected(), 0);
  // Woken up: the same port, opened afresh and set up for the model.
  port.ClearCalls();
  EXPECT_TRUE(session.Resume());
  EXPECT_EQ(port.PortConnected(), 1);
  EXPECT_EQ(port.GetPortNumber(), 4);
  EXPECT_EQ(port.Calls().front(), "OpenPort");
  EXPECT_NE(std::find(port.Calls().begin(), port.Calls().end(), "SetPortBaudRate(38400)"),
            port.Calls().end());
  port.ClearCalls();
  EXPECT_FALSE(session.Resume());  // told twice (resumed automatically, then by the user)
  EXPECT_TRUE(port.Calls().empty());

  // The session ends: stopped and closed once; no sleep reopens it after.
  sim.ClearFrames();
  session.End();
  session.End();
  EXPECT_EQ(Frames(sim), (std::vector<std::vector<uint8_t>>{stop, stop, stop}));
  EXPECT_EQ(port.PortConnected(), 0);
  session.Suspend();
  session.Resume();
  EXPECT_EQ(port.PortConnected(), 0);
}

}  // namespace
}  // namespace kova
