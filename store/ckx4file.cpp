#include "store/ckx4file.h"

#include <cstring>

namespace {
constexpr unsigned kLine = 17;  // characters of one line, without CR LF
}

CKX4FILE::~CKX4FILE() { KX4CloseFile(); }

CKX4FILE_RESULT CKX4FILE::KX4OpenFile(const std::string& file_name) {
  kova::file::NativeHandle h = kova::file::CreateAlways(file_name);
  if (h == kova::file::kNoHandle) return CKX4FILE_OPEN_ERROR;
  KX4CloseFile();  // a file still open would otherwise leak
  handle_ = h;
  open_ = true;
  return CKX4FILE_OK;
}

CKX4FILE_RESULT CKX4FILE::KX4CloseFile() {
  if (open_) {
    kova::file::Close(handle_);
    handle_ = kova::file::kNoHandle;
    open_ = false;
  }
  return CKX4FILE_OK;
}

CKX4FILE_RESULT CKX4FILE::KX4WriteFile(const char* text, unsigned int length) {
  if (!open_ || (length && !text)) return CKX4FILE_OPEN_ERROR;
  if (!kova::file::Write(handle_, text, length)) return CKX4FILE_OPEN_ERROR;
  return CKX4FILE_OK;
}

CKX4FILE_RESULT CKX4FILE::KX4ReadFile(std::string& text, const std::string& file_name) {
  text.clear();
  kova::file::NativeHandle h = kova::file::OpenExisting(file_name);
  if (h == kova::file::kNoHandle) return CKX4FILE_OPEN_ERROR;
  KX4CloseFile();
  handle_ = h;
  open_ = true;
  char buffer[2000];
  for (long reads = 1;; ++reads) {
    // Cleared for every read, so a short last line yields only its own bytes.
    std::memset(buffer, 0, sizeof buffer);
    long got = kova::file::Read(handle_, buffer, kLine);
    if (got < 0) got = 0;
    kova::file::SeekTo(handle_, static_cast<std::int64_t>(got + 2) * reads);
    text.append(buffer, std::strlen(buffer));
    if (got < static_cast<long>(kLine)) break;
  }
  return CKX4FILE_OK;
}
