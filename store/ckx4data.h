// CKX4DATA: the keyword store. A fixed array of keyword/value entries kept
// in key order once it holds three or more, with binary lookup, guarded by
// a recursive mutex. It also reads and writes parameter files (INI) and
// dumps itself as text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "store/platform_file.h"

enum CKX4DATA_RESULT {
  CKX4DATA_OK = 0,                 // success; for Add, a new entry
  CKX4DATA_REPLACED = 1,           // Add replaced an existing value
  CKX4DATA_INDEX0_FOUND = 2,       // group lookup without index found instance 0
  CKX4DATA_INSERT_AT = 3,          // internal: not found, position is where it belongs
  CKX4DATA_EMPTY_KEYWORD = 4,
  CKX4DATA_BAD_INDEX = 5,          // a group with a negative index
  CKX4DATA_NO_DATA = 6,            // no value bytes given
  CKX4DATA_NOT_FOUND = 7,          // internally also: belongs after the last entry
  CKX4DATA_FULL = 10,
  CKX4DATA_BUFFER_TOO_SMALL = 11,
};

// One entry. The first 12 bytes (group, index little-endian, keyword) are
// its key; entries are ordered by those bytes compared as unsigned.
struct CKeywordData {
  char group[4];     // up to 3 characters, zero-padded
  int32_t index;     // instance number, -1 for none
  char keyword[4];   // up to 3 characters, zero-padded
  uint16_t length;   // value bytes
  unsigned char* value;  // owned, exactly length bytes, no terminator
};

namespace kova {
// What a fatal store error does before the calling thread ends. The
// default shows the system-modal "CKX4DATA ERROR" box. A handler may also
// throw to unwind the thread itself (tests do); if it returns, the thread
// ends anyway. Returns the previous handler.
using StoreErrorHandler = void (*)(int code, const char* text);
StoreErrorHandler SetStoreErrorHandler(StoreErrorHandler handler);
}  // namespace kova

class CKX4DATA {
 public:
  static constexpr unsigned kDefaultMaxKeywords = 500;
  static constexpr std::size_t kKeySize = 256;

  CKX4DATA();
  explicit CKX4DATA(unsigned int max_keywords);
  virtual ~CKX4DATA();
  CKX4DATA(const CKX4DATA&) = delete;

  // Merges: every entry of `other` is added here by keyword (its value as
  // text); entries already present are replaced, others stay.
  CKX4DATA& operator=(const CKX4DATA& other);

  int Reset();
  int Reset(unsigned int max_keywords);
  // Empties the store; it then behaves as a new one (unsorted).
  void Zeradora();
  int CloneData(const CKX4DATA& other);

  CKX4DATA_RESULT Add(const char* keyword, const char* group, int index, unsigned int length,
                      const void* value);
  CKX4DATA_RESULT Add(const char* keyword, const char* group, int index, const char* value);
  CKX4DATA_RESULT Add(const char* keyword, unsigned int length, const void* value);
  CKX4DATA_RESULT Add(const char* keyword, const char* value);

  // Found values point into the store's own buffer (length bytes, no
  // terminator), valid until the entry changes.
  CKX4DATA_RESULT Get(const char* keyword, unsigned short* length, const char** value);
  CKX4DATA_RESULT Get(const char* keyword, const char* group, unsigned short* length,
                      const char** value);
  CKX4DATA_RESULT Get(const char* keyword, const char* group, int index, unsigned short* length,
                      const char** value);
  // Number of instances of a group.
  CKX4DATA_RESULT Get(const char* group, unsigned int* count);
  // Number of keywords of one instance.
  CKX4DATA_RESULT Get(const char* group, int index, unsigned int* count);
  // The keywords of one instance, 3 characters each, concatenated.
  CKX4DATA_RESULT Get(const char* group, int index, unsigned int* count, char* buffer,
                      unsigned int size);
  CKX4DATA_RESULT GetXML(const char* group, char* buffer, unsigned int size);

  // The value of a plain keyword as text; false when absent.
  bool GetText(const char* keyword, std::string& value);

  unsigned int GetMaxKeywords() const { return max_keywords_; }
  unsigned int GetQtyUsed() const { return used_; }
  CKeywordData* GetKeywordData() { return entries_; }
  bool GetSortStatus() const { return sort_status_; }
  void SetSortStatus(bool keep_sorted);
  // The keyword of entry `index`, or an empty text past the last entry.
  void GetParam(unsigned int index, std::string& keyword);
  void GetValue(unsigned int index, std::string& keyword);

  void Lock();
  void UnLock();

  // Parameter files (file names are UTF-8 paths; contents are 1252 bytes).
  int ReadConfigINI(std::string file_name, std::string model_name);
  int ReadConfigINI(std::string file_name, std::string section, std::string keyword,
                    std::string& value);
  int WriteConfigINI(std::string file_name, std::string model_name);
  int WriteConfigINI(std::string file_name, std::string section, std::string keyword,
                     std::string value);

  // Appends one "%06.06d=|group|keyword|index|value|" CRLF line per entry
  // to an open file; returns the bytes written.
  int Dump(kova::file::NativeHandle file, unsigned char scramble);

  // Shows the message for `code` and ends the calling thread.
  [[noreturn]] static void ShowErro(int code);
  static const char* ErrorText(int code);

 protected:
  void Inicializa();
  static uint64_t Hex2Int(std::string& text);
  void Crypt(unsigned char* buffer, int n);
  void Decrypt(unsigned char* buffer, int n);

  CKX4DATA_RESULT FindValue(const CKeywordData& key, std::size_t n, int* position);
  CKX4DATA_RESULT Add(CKeywordData& entry);
  void SortValues();
  void QuickSort(int lo, int hi);
  int Partition(int lo, int hi);

 private:
  CKX4DATA_RESULT FindByIndexAndKeyword(const CKeywordData& key, int* position);
  int FirstOfPrefix(int position, const CKeywordData& key, std::size_t n);
  void FreeEntries();
  void Scramble(unsigned char* buffer, int n);

  unsigned int max_keywords_ = 0;
  unsigned int used_ = 0;
  CKeywordData* entries_ = nullptr;
  bool sorted_ = false;
  bool sort_status_ = true;
  char key_[kKeySize] = {};
  std::recursive_mutex mutex_;
};
