// The change list: register writes the screens stage and a write
// transaction sends. One per application; the count returns to 0 after every
// write transaction and whenever the link is set up.
#pragma once
#include <cstddef>
#include <string_view>

namespace kova {

class ChangeList {
 public:
  static constexpr int kCapacity = 100;
  static constexpr std::size_t kTextSize = 256;

  struct Entry {
    char keyword[kTextSize];
    char value[kTextSize];
  };

  // Appends an entry. A full list, an empty text or a text too long for its
  // buffer refuses the entry (returns false and counts it in Refused())
  // instead of writing past the end.
  bool Stage(std::string_view keyword, std::string_view value);
  void Clear() { count_ = 0; }

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  int Room() const { return kCapacity - count_; }
  const Entry& At(int i) const { return entries_[i]; }
  // Removes the last entry (the write transaction sends from the end).
  void DropLast() {
    if (count_ > 0) --count_;
  }
  // Entries refused since the application started. A value that spans
  // registers and does not fit as a whole is refused as one entry.
  int Refused() const { return refused_; }
  void NoteRefused() { ++refused_; }

 private:
  Entry entries_[kCapacity] = {};
  int count_ = 0;
  int refused_ = 0;
};

}  // namespace kova
