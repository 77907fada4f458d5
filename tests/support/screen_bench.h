// A work bench for the screens' native tests: the simulated controller of a
// model on an in-process link, the virtual clock, the application context
// with its parameter table built, private folders for KOVA.INI, the dumps
// and parameter files, and the equipment store read from the controller as
// the customer screen leaves it. Frames and waits start empty.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "controller/exchange.h"
#include "controller/store_access.h"
#include "shell/app_context.h"
#include "sim/controller_sim.h"
#include "sim/sim_serial_port.h"
#include "tests/support/fake_view.h"

namespace kova {

class ScreenBench {
 public:
  using Bytes = std::vector<uint8_t>;

  explicit ScreenBench(int model) : sim(model, clock), port(sim, clock), app(port, clock) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // One folder per test: a parameterised test's names hold '/', which
    // would nest folders that the destructor does not remove.
    std::string name = "kova_bench_" + std::to_string(::getpid()) + "_" +
                       info->test_suite_name() + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directories(dir / "user");
    std::filesystem::create_directories(dir / "dump");
    app.model = model;
    app.settings = SettingsFolders{(dir / "work").string(), (dir / "user").string()};
    app.dump_folder = (dir / "dump").string();
    BuildParameterTable(app.table, model);
    SetUpLink(port, model, app.changes, [](int) { return std::optional<int>(1); });
    EXPECT_TRUE(ReadInitialConfiguration(app.Exchange()));
    Forget();
  }
  ~ScreenBench() { std::filesystem::remove_all(dir); }

  // Starts the record of frames and waits afresh.
  void Forget() {
    sim.ClearFrames();
    clock.ClearWaits();
  }
  std::vector<Bytes> Frames() const {
    std::vector<Bytes> out;
    for (const auto& f : sim.Frames()) out.push_back(f.bytes);
    return out;
  }
  // The register writes among the frames: no confirmations, no reads.
  std::vector<Bytes> Writes() const {
    std::vector<Bytes> out;
    for (const Bytes& f : Frames()) {
      const uint8_t command = f[f.size() - 2];
      if (command != 0x05 && command != sim.ReadCommand()) out.push_back(f);
    }
    return out;
  }
  std::string Stored(CKX4DATA& store, const char* keyword) {
    return StoreGet(store, keyword).value_or("<absent>");
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  VirtualClock clock;
  sim::ControllerSim sim;
  sim::SimSerialPort port;
  AppContext app;
  FakeView view;
  std::filesystem::path dir;
};

}  // namespace kova
