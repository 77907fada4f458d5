// CStack: a stack of texts, used to walk a directory tree without keeping
// more than one directory listing open. Slots are numbered from 1; Top is
// the next free slot. Pop on an empty stack, and Read of a slot that holds
// nothing, give the text "Empty".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

class CStack {
 public:
  // False (and nothing stored) when the stack already holds 32766 items,
  // the most its 16-bit Top can count.
  bool Push(std::string Item);
  std::string Pop();
  std::string Read(int16_t ItemNo) const;

  int16_t Top() const { return top_; }
  int16_t Length() const { return length_; }

 private:
  std::vector<std::string> slots_;  // slot n is slots_[n - 1]
  int16_t top_ = 1;
  int16_t length_ = 0;
};

inline constexpr char kStackEmpty[] = "Empty";

}  // namespace kova
