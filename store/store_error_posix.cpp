#include <pthread.h>

#include <cstdint>
#include <cstdio>

#include "store/store_error.h"

namespace kova {

// No message boxes here: the text goes to the error stream.
void ShowStoreErrorBox(const char* text) { std::fprintf(stderr, "CKX4DATA ERROR: %s\n", text); }

void EndCurrentThread() {
  pthread_exit(reinterpret_cast<void*>(static_cast<std::intptr_t>(-1)));
}

}  // namespace kova
