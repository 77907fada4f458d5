// CKX4FILE: the small file object through which the diagnostic dump is
// written, and which reads files of fixed 17-character lines.
#pragma once
#include <string>

#include "store/platform_file.h"

enum CKX4FILE_RESULT {
  CKX4FILE_OK = 0,
  CKX4FILE_OPEN_ERROR = 1,
};

class CKX4FILE {
 public:
  CKX4FILE() = default;
  virtual ~CKX4FILE();
  CKX4FILE(const CKX4FILE&) = delete;
  CKX4FILE& operator=(const CKX4FILE&) = delete;

  // Creates the file for writing, replacing an existing one. On failure the
  // object is left as it was.
  CKX4FILE_RESULT KX4OpenFile(const std::string& file_name);
  CKX4FILE_RESULT KX4CloseFile();
  // Writes length bytes to the open file.
  CKX4FILE_RESULT KX4WriteFile(const char* text, unsigned int length);
  // Reads a file of 17-character lines ending in CR LF as the concatenation
  // of the lines. The file stays open until KX4CloseFile.
  CKX4FILE_RESULT KX4ReadFile(std::string& text, const std::string& file_name);

  kova::file::NativeHandle Handle() const { return handle_; }
  bool IsOpen() const { return open_; }

 private:
  kova::file::NativeHandle handle_ = kova::file::kNoHandle;
  bool open_ = false;
};
