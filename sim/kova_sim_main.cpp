// kova-sim: serves the simulated controller on a pseudo-terminal in real
// time. Prints the pty path as the first line of stdout, then runs until
// SIGTERM or SIGINT.
#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/clock.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage(FILE* to) {
  std::fputs(
      "usage: kova-sim [options]\n"
      "  --model M          BRIO, VELA or VELA+ (also \"VELA plus\"); default VELA\n"
      "  --latency MS       time from a command to its answer (default 30)\n"
      "  --calibration-time MS  time until the calibration report (default 4000)\n"
      "  --log FILE         every frame received: \"<ms since start> <hex bytes>\"\n"
      "  --register AA=VV   set register AA to VV (hexadecimal)\n"
      "  --no-register AA   remove register AA\n"
      "  --live KK=VV       pin live key KK to VV (hexadecimal)\n"
      "faults:\n"
      "  --silent           answer nothing\n"
      "  --delay MS         answers this much later\n"
      "  --garbage N        N junk bytes before every answer\n"
      "  --bad-check        live records with a wrong check byte\n"
      "  --split            answers in two parts, cut inside a record\n"
      "  --calibration R    done (report 1), fail (report 2) or none (no report)\n",
      to);
}

bool ParseModel(std::string m, int* model) {
  for (char& c : m) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (m == "BRIO" || m == "0") return *model = kova::sim::kBrio, true;
  if (m == "VELA" || m == "1") return *model = kova::sim::kVela, true;
  if (m == "VELA+" || m == "VELA PLUS" || m == "VELAPLUS" || m == "VELA_PLUS" || m == "2")
    return *model = kova::sim::kVelaPlus, true;
  return false;
}

// "AA=VV" or "AA" in hexadecimal, each one byte.
bool ParseHexPair(const char* text, uint8_t* a, uint8_t* v, bool want_value) {
  char* end = nullptr;
  const unsigned long first = std::strtoul(text, &end, 16);
  if (end == text || first > 0xFF) return false;
  *a = static_cast<uint8_t>(first);
  if (!want_value) return *end == 0;
  if (*end != '=') return false;
  const char* rest = end + 1;
  const unsigned long second = std::strtoul(rest, &end, 16);
  if (end == rest || *end != 0 || second > 0xFF) return false;
  *v = static_cast<uint8_t>(second);
  return true;
}

bool ParseNumber(const char* text, uint32_t* out) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != 0) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int model = kova::sim::kVela;
  uint32_t latency = 30, calibration_time = 4000;
  std::string log_path;
  kova::sim::Faults faults;
  struct Edit {
    char what;  // 'r' set register, 'x' remove register, 'l' pin live key
    uint8_t a, v;
  };
  std::vector<Edit> edits;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    uint32_t n = 0;
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 0;
    } else if (a == "--model" && has_value) {
      if (!ParseModel(argv[++i], &model)) {
        std::fprintf(stderr, "kova-sim: unknown model %s\n", argv[i]);
        return 2;
      }
    } else if ((a == "--latency" || a == "--delay" || a == "--garbage" ||
                a == "--calibration-time") &&
               has_value) {
      if (!ParseNumber(argv[++i], &n)) {
        std::fprintf(stderr, "kova-sim: %s needs a number\n", a.c_str());
        return 2;
      }
      if (a == "--latency") latency = n;
      if (a == "--delay") faults.delay_ms = n;
      if (a == "--garbage") faults.garbage_bytes = n;
      if (a == "--calibration-time") calibration_time = n;
    } else if ((a == "--register" || a == "--no-register" || a == "--live") && has_value) {
      Edit e{a == "--register" ? 'r' : (a == "--live" ? 'l' : 'x'), 0, 0};
      if (!ParseHexPair(argv[++i], &e.a, &e.v, e.what != 'x')) {
        std::fprintf(stderr, "kova-sim: bad value for %s: %s\n", a.c_str(), argv[i]);
        return 2;
      }
      edits.push_back(e);
    } else if (a == "--log" && has_value) {
      log_path = argv[++i];
    } else if (a == "--silent") {
      faults.silent = true;
    } else if (a == "--bad-check") {
      faults.bad_check = true;
    } else if (a == "--split") {
      faults.split_records = true;
    } else if (a == "--calibration" && has_value) {
      const std::string r = argv[++i];
      if (r == "done") faults.calibration = kova::sim::Faults::Calibration::kDone;
      else if (r == "fail") faults.calibration = kova::sim::Faults::Calibration::kFailure;
      else if (r == "none") faults.calibration = kova::sim::Faults::Calibration::kNoReport;
      else {
        std::fprintf(stderr, "kova-sim: --calibration takes done, fail or none\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "kova-sim: bad argument %s\n", a.c_str());
      Usage(stderr);
      return 2;
    }
  }

  FILE* log = nullptr;
  if (!log_path.empty() && !(log = std::fopen(log_path.c_str(), "w"))) {
    std::fprintf(stderr, "kova-sim: cannot write %s\n", log_path.c_str());
    return 1;
  }

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  kova::SystemClock clock;
  kova::sim::ControllerSim sim(model, clock);
  sim.SetLatency(latency);
  sim.SetCalibrationTime(calibration_time);
  sim.faults() = faults;
  for (const Edit& e : edits) {
    if (e.what == 'r') sim.SetRegister(e.a, e.v);
    if (e.what == 'x') sim.RemoveRegister(e.a);
    if (e.what == 'l') sim.SetLiveValue(e.a, e.v);
  }
  kova::sim::PtyServer server;
  std::string error;
  if (!server.Open(&error)) {
    std::fprintf(stderr, "kova-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", server.Path().c_str());
  std::fflush(stdout);

  const uint32_t start = clock.Now();
  while (!g_stop) {
    server.PumpOnce(sim, 5);
    if (log && !sim.Frames().empty()) {
      for (const auto& f : sim.Frames()) {
        std::fprintf(log, "%u", f.time_ms - start);
        for (uint8_t b : f.bytes) std::fprintf(log, " %02X", b);
        std::fputc('\n', log);
      }
      std::fflush(log);
      sim.ClearFrames();
    }
  }
  if (log) std::fclose(log);
  return 0;
}
