// HE3 codec speed on 16 MB of real executables (the ELF files of /usr/bin,
// or KOVA_BENCH_INPUT), single thread, output buffers already touched,
// compared with zlib coding and inflating the same input Huffman-only.
//
//   build/bench/tests/bench/he3_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "Instalador/package/binary_file.h"
#include "Instalador/package/cls_huffman.h"

namespace {

constexpr size_t kInputSize = 16u << 20;

std::vector<uint8_t> LoadInput() {
  std::vector<uint8_t> input;
  if (const char* path = std::getenv("KOVA_BENCH_INPUT")) {
    kova::ReadWholeFile(path, input);
  } else {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/bin", ec))
      if (e.is_regular_file(ec) && !e.is_symlink(ec)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      std::vector<uint8_t> bytes;
      if (!kova::ReadWholeFile(f, bytes) || bytes.size() < 4) continue;
      if (std::memcmp(bytes.data(), "\x7F" "ELF", 4) != 0) continue;
      input.insert(input.end(), bytes.begin(), bytes.end());
      if (input.size() >= kInputSize) break;
    }
  }
  if (input.size() > kInputSize) input.resize(kInputSize);
  return input;
}

const std::vector<uint8_t>& Input() {
  static const std::vector<uint8_t> input = LoadInput();
  return input;
}

const std::vector<uint8_t>& Stream() {
  static const std::vector<uint8_t> stream = [] {
    std::vector<uint8_t> s;
    kova::clsHuffman codec;
    if (codec.EncodeTo(Input(), s)) std::abort();
    std::fprintf(stderr, "input %zu bytes, HE3 stream %zu bytes (%.1f%%)\n", Input().size(),
                 s.size(), 100.0 * double(s.size()) / double(Input().size()));
    return s;
  }();
  return stream;
}

void Decode(benchmark::State& state) {
  kova::clsHuffman codec;
  std::vector<uint8_t> out;
  if (codec.DecodeTo(Stream(), out) || out != Input()) {
    state.SkipWithError("decode mismatch");
    return;
  }
  for (auto _ : state) {
    codec.DecodeTo(Stream(), out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Input().size()));
}
BENCHMARK(Decode)->Unit(benchmark::kMillisecond);

// The whole DecodeByte call on a fresh copy of the stream, allocation of
// the output included (the copy itself is not timed).
void DecodeByteWhole(benchmark::State& state) {
  kova::clsHuffman codec;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint8_t> buffer = Stream();
    state.ResumeTiming();
    codec.DecodeByte(buffer, int32_t(buffer.size()));
    benchmark::DoNotOptimize(buffer.data());
    state.PauseTiming();
    buffer = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Input().size()));
}
BENCHMARK(DecodeByteWhole)->Unit(benchmark::kMillisecond);

void Encode(benchmark::State& state) {
  kova::clsHuffman codec;
  std::vector<uint8_t> out;
  codec.EncodeTo(Input(), out);
  if (out != Stream()) {
    state.SkipWithError("encode mismatch");
    return;
  }
  for (auto _ : state) {
    codec.EncodeTo(Input(), out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Input().size()));
}
BENCHMARK(Encode)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> ZlibHuffmanOnly() {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_HUFFMAN_ONLY);
  std::vector<uint8_t> out(deflateBound(&z, uLong(Input().size())));
  z.next_in = const_cast<Bytef*>(Input().data());
  z.avail_in = uInt(Input().size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

void ZlibDeflateHuffmanOnly(benchmark::State& state) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_HUFFMAN_ONLY);
  std::vector<uint8_t> out(deflateBound(&z, uLong(Input().size())), 1);
  for (auto _ : state) {
    deflateReset(&z);
    z.next_in = const_cast<Bytef*>(Input().data());
    z.avail_in = uInt(Input().size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    benchmark::DoNotOptimize(out.data());
  }
  deflateEnd(&z);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Input().size()));
}
BENCHMARK(ZlibDeflateHuffmanOnly)->Unit(benchmark::kMillisecond);

void ZlibInflateHuffmanOnly(benchmark::State& state) {
  static const std::vector<uint8_t> deflated = ZlibHuffmanOnly();
  std::vector<uint8_t> out(Input().size(), 1);
  z_stream z{};
  inflateInit2(&z, 15);
  for (auto _ : state) {
    inflateReset(&z);
    z.next_in = const_cast<Bytef*>(deflated.data());
    z.avail_in = uInt(deflated.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    if (inflate(&z, Z_FINISH) != Z_STREAM_END) state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  inflateEnd(&z);
  if (out != Input()) state.SkipWithError("inflate mismatch");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Input().size()));
}
BENCHMARK(ZlibInflateHuffmanOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
