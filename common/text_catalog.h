// The catalog of the texts KOVA.exe shows: each Portuguese text with its
// English and Spanish forms (common/text_catalog.cpp). Trade words follow
// docs/glossary.md.
#pragma once
#include <span>
#include <string_view>

namespace kova {

struct CatalogEntry {
  const char* portuguese;
  const char* english;
  const char* spanish;
};

// Every entry, in the catalog's order.
std::span<const CatalogEntry> CatalogEntries();
// The entry whose Portuguese text is exactly this one, or null.
const CatalogEntry* FindCatalogEntry(std::string_view portuguese);

}  // namespace kova
