// Minimal stand-in for the keyword store, used only while the store library
// is not in the build yet, so the controller code and its tests build. It
// keeps the real store's calls and results for the operations used here.
#pragma once
#include <fstream>
#include <map>
#include <string>

enum CKX4DATA_RESULT { CKX4DATA_OK = 0, CKX4DATA_REPLACED = 1, CKX4DATA_NOT_FOUND = 7 };

class CKX4DATA {
 public:
  virtual ~CKX4DATA() = default;
  CKX4DATA_RESULT Add(const char* keyword, const char* value) {
    std::string k = std::string(keyword).substr(0, 3);
    bool had = values_.count(k) != 0;
    values_[k] = value;
    return had ? CKX4DATA_REPLACED : CKX4DATA_OK;
  }
  CKX4DATA_RESULT Get(const char* keyword, unsigned short* length, const char** value) {
    auto it = values_.find(std::string(keyword).substr(0, 3));
    if (it == values_.end()) return CKX4DATA_NOT_FOUND;
    *length = static_cast<unsigned short>(it->second.size());
    *value = it->second.data();
    return CKX4DATA_OK;
  }
  // Enough of an INI reader for "[section]" and "key=value" lines.
  int ReadConfigINI(std::string file, std::string section, std::string keyword,
                    std::string& value) {
    std::ifstream in(file);
    if (!in) return -1;
    std::string line, current;
    value.clear();
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] == '[') current = line.substr(1, line.find(']') - 1);
      else if (current == section && line.rfind(keyword + "=", 0) == 0)
        value = line.substr(keyword.size() + 1);
    }
    if (value.empty()) return -2;
    Add(keyword.c_str(), value.c_str());
    return 0;
  }

 private:
  std::map<std::string, std::string> values_;
};
