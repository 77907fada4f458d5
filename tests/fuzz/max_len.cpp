// Makes a fuzz target try inputs as long as the product reads (an answer of
// 10000 bytes renders as up to 30000 characters), not libFuzzer's default
// 4096: "-max_len=" is added to the command line unless it names one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
std::vector<char*> g_args;
char g_flag[32];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i)
    if (std::strncmp((*argv)[i], "-max_len=", 9) == 0) return 0;
  std::snprintf(g_flag, sizeof g_flag, "-max_len=%d", KOVA_FUZZ_MAX_LEN);
  g_args.assign(*argv, *argv + *argc);
  // The flag goes before the corpus folders.
  g_args.insert(g_args.begin() + 1, g_flag);
  g_args.push_back(nullptr);
  *argc += 1;
  *argv = g_args.data();
  return 0;
}
