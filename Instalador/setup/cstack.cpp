#include "Instalador/setup/cstack.h"

#include <limits>

namespace kova {

bool CStack::Push(std::string Item) {
  if (top_ == std::numeric_limits<int16_t>::max()) return false;
  if (slots_.size() < static_cast<size_t>(top_)) slots_.resize(static_cast<size_t>(top_));
  slots_[static_cast<size_t>(top_ - 1)] = std::move(Item);
  ++top_;
  ++length_;
  return true;
}

std::string CStack::Pop() {
  if (length_ == 0) {
    top_ = 1;
    return kStackEmpty;
  }
  --top_;
  --length_;
  return std::move(slots_[static_cast<size_t>(top_ - 1)]);
}

std::string CStack::Read(int16_t ItemNo) const {
  if (ItemNo > 0 && ItemNo < top_) return slots_[static_cast<size_t>(ItemNo - 1)];
  return kStackEmpty;
}

}  // namespace kova
