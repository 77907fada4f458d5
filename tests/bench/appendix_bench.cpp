// The package reader's time against the number of directory records: each
// record's parent is looked up among the earlier ones, and the whole
// section must still read in time linear in its size. Pairs of a folder
// and its child, every name as long as the others, so that a search that
// compared names one by one would show as quadratic growth.
//
//   build/bench/tests/bench/appendix_bench
// reports the time per size and the fitted complexity (BigO, RMS).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Instalador/package/package_reader.h"
#include "tools/package_writer.h"

namespace {

using namespace kova::pkg;

constexpr ImageSizes kSmall{16, 8};

std::vector<uint8_t> AppendixWith(int directories) {
  PackageHeader h;
  h.productName = "KOVA";
  h.description = h.terms = "t";
  h.defaultDirectory = "C:\\KOVA";
  std::vector<uint8_t> file(static_cast<size_t>(kSmall.HeaderOffset()), 'i');
  std::vector<uint8_t> header = kova::pack::SerializeHeader(h);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), {'P', 'K', 'G'});
  PutI16(file, 2);
  PutI16(file, static_cast<int16_t>(directories));
  PutI32(file, 0);
  auto record = [&](int number, const std::string& name) {
    PutI16(file, static_cast<int16_t>(number));
    PutI16(file, static_cast<int16_t>(name.size()));
    file.insert(file.end(), name.begin(), name.end());
  };
  record(1, "\\");
  char name[16];
  for (int n = 2; n <= directories; n += 2) {
    std::snprintf(name, sizeof name, "\\p%05d", n);
    record(n, name);
    if (n + 1 <= directories) record(n + 1, std::string(name) + "\\c");
  }
  return file;
}

void BM_ValidateDirectories(benchmark::State& state) {
  const std::vector<uint8_t> file = AppendixWith(static_cast<int>(state.range(0)));
  MemoryByteSource source(file);
  PackageHeader h;
  if (!PackageReader(source, kSmall).ReadHeader(h).Ok()) state.SkipWithError("header");
  for (auto _ : state) {
    PackageReader reader(source, kSmall);
    FileSectionSummary summary;
    if (!reader.ValidateFileSection(h.fileSectionOffset, summary).Ok()) state.SkipWithError("section");
    benchmark::DoNotOptimize(summary.directories);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ValidateDirectories)->RangeMultiplier(2)->Range(1024, 32767)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
