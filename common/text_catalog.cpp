#include "common/text_catalog.h"

#include <algorithm>
#include <vector>

namespace kova {
namespace {

// One line a text: Portuguese, English, Spanish.
const CatalogEntry kEntries[] = {
    {"Português", "Português", "Português"},
};

}  // namespace

std::span<const CatalogEntry> CatalogEntries() { return kEntries; }

const CatalogEntry* FindCatalogEntry(std::string_view portuguese) {
  // Looked up by the Portuguese text: sorted once, searched by halves.
  static const std::vector<const CatalogEntry*> sorted = [] {
    std::vector<const CatalogEntry*> v;
    for (const CatalogEntry& e : kEntries) v.push_back(&e);
    std::sort(v.begin(), v.end(), [](const CatalogEntry* a, const CatalogEntry* b) {
      return std::string_view(a->portuguese) < b->portuguese;
    });
    return v;
  }();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), portuguese,
                             [](const CatalogEntry* e, std::string_view key) {
                               return std::string_view(e->portuguese) < key;
                             });
  return it != sorted.end() && (*it)->portuguese == portuguese ? *it : nullptr;
}

}  // namespace kova
