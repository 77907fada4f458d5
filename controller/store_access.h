// The few keyword-store and settings operations the exchange uses, in the
// exchange's own terms (std::string_view in, std::string out), so the rest
// of the controller code does not depend on the store's C-style signatures.
#pragma once
#include <optional>
#include <string>
#include <string_view>

class CKX4DATA;

namespace kova {

// The value held for keyword, or nothing when the store lacks it.
std::optional<std::string> StoreGet(CKX4DATA& store, std::string_view keyword);
bool StoreHas(CKX4DATA& store, std::string_view keyword);
// The value held for keyword read as hexadecimal and limited to the byte a
// register holds (a larger value reads as 0xFF); nothing when the store
// lacks it or it is not a hexadecimal number.
std::optional<long> StoreValue(CKX4DATA& store, std::string_view keyword);
void StoreAdd(CKX4DATA& store, std::string_view keyword, std::string_view value);

// Reads one keyword from the model's parameter section of a parameter file
// into store. False when the file is missing or the value empty or absent.
bool StoreReadFileKey(CKX4DATA& store, const std::string& path, int model,
                      std::string_view keyword);

// The port number stored in the settings file for the model, or nothing.
std::optional<int> StoredPortNumber(int model);

}  // namespace kova
