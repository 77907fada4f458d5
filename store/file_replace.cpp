// Replacing a file whole, and waiting out a program that holds it for a
// moment (an antivirus scan right after the file was written, OneDrive
// uploading it, Excel with it open).
#include "common/clock.h"
#include "store/platform_file.h"

namespace kova::file {
namespace {

constexpr int kTries = 10;
constexpr uint32_t kGapMs = 100;

}  // namespace

ReplaceResult Replace(const std::string& path, std::string_view contents) {
  std::optional<std::string> fresh = WriteBeside(path, contents);
  if (!fresh) return ReplaceResult::kFailed;
  ReplaceResult result = MoveOver(*fresh, path);
  for (int tried = 1; result == ReplaceResult::kInUse && tried < kTries; ++tried) {
    ProcessClock().Sleep(kGapMs);
    result = MoveOver(*fresh, path);
  }
  if (result != ReplaceResult::kDone) Remove(*fresh);
  return result;
}

bool ReplaceAtomically(const std::string& path, std::string_view contents) {
  return Replace(path, contents) == ReplaceResult::kDone;
}

}  // namespace kova::file
