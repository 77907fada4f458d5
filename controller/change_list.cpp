#include "controller/change_list.h"

#include <cstring>

namespace kova {

bool ChangeList::Stage(std::string_view keyword, std::string_view value) {
  if (count_ >= kCapacity || keyword.empty() || value.empty() ||
      keyword.size() >= kTextSize || value.size() >= kTextSize) {
    ++refused_;
    return false;
  }
  Entry& e = entries_[count_];
  std::memcpy(e.keyword, keyword.data(), keyword.size());
  e.keyword[keyword.size()] = '\0';
  std::memcpy(e.value, value.data(), value.size());
  e.value[value.size()] = '\0';
  ++count_;
  return true;
}

}  // namespace kova
