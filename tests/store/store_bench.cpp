// Store and profile-text costs at the application's sizes: a configuration
// of about 35 registers, a full store of 499, and a parameter file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store/ckx4data.h"
#include "store/ini.h"

namespace {

std::vector<std::string> Keywords(int n) {
  std::vector<std::string> k;
  char buf[8];
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%X", (i * 37) % 4096);
    k.push_back(buf);
  }
  return k;
}

void BM_FillStore(benchmark::State& state) {
  auto keys = Keywords(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CKX4DATA s;
    for (const auto& k : keys) s.Add(k.c_str(), "1A");
    benchmark::DoNotOptimize(s.GetQtyUsed());
  }
}
BENCHMARK(BM_FillStore)->Arg(35)->Arg(499);

void BM_GetFromStore(benchmark::State& state) {
  auto keys = Keywords(static_cast<int>(state.range(0)));
  CKX4DATA s;
  for (const auto& k : keys) s.Add(k.c_str(), "1A");
  std::size_t i = 0;
  for (auto _ : state) {
    unsigned short len;
    const char* v;
    benchmark::DoNotOptimize(s.Get(keys[i++ % keys.size()].c_str(), &len, &v));
  }
}
BENCHMARK(BM_GetFromStore)->Arg(35)->Arg(499);

std::string ParameterFile(int n) {
  std::string t;
  kova::ini::Edit(t, "VELA", "Clientes", "Cliente");
  for (const auto& k : Keywords(n)) kova::ini::Edit(t, "CONFIG_VELA", k.c_str(), "1A");
  return t;
}

void BM_ReadParameterFile(benchmark::State& state) {
  auto keys = Keywords(35);
  std::string text = ParameterFile(35);
  for (auto _ : state)
    for (const auto& k : keys)
      benchmark::DoNotOptimize(kova::ini::GetString(text, "CONFIG_VELA", k, "", 1000));
}
BENCHMARK(BM_ReadParameterFile);

void BM_WriteParameterFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ParameterFile(35));
}
BENCHMARK(BM_WriteParameterFile);

}  // namespace

BENCHMARK_MAIN();
