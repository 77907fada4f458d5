// Whatever the PC sends, the simulator keeps its frames and answers sane.
#include <cstdint>
#include <cstdlib>

#include "common/clock.h"
#include "sim/controller_sim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  kova::VirtualClock clock;
  kova::sim::ControllerSim sim(data[0] % 3, clock);
  uint8_t out[4096];
  for (size_t i = 1; i < size; i += 4) {
    const size_t n = size - i < 4 ? size - i : 4;
    sim.Receive(data + i, n);
    clock.Advance(data[i] % 64);
    sim.Drain(out, sizeof out);
  }
  for (const auto& f : sim.Frames())
    if (f.bytes.size() != sim.FrameSize()) std::abort();
  if (sim.Pending() > kova::sim::ControllerSim::kQueueLimit) std::abort();
  return 0;
}
