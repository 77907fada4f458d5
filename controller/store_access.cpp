#include "controller/store_access.h"

#include <cstring>

#include "controller/frames.h"
#include "common/model.h"
#include "controller/answer_parser.h"
#include "store/ckx4data.h"
#include "store/settings.h"

namespace kova {

std::optional<std::string> StoreGet(CKX4DATA& store, std::string_view keyword) {
  if (keyword.empty()) return std::nullopt;
  std::string key(keyword);
  unsigned short length = 0;
  const char* value = nullptr;
  if (store.Get(key.c_str(), &length, &value) != CKX4DATA_OK || !value) return std::nullopt;
  return std::string(value, length);
}

std::optional<long> StoreValue(CKX4DATA& store, std::string_view keyword) {
  auto text = StoreGet(store, keyword);
  if (!text) return std::nullopt;
  auto v = ParseHex(*text);
  if (!v) return std::nullopt;
  // A register holds one byte: a longer value from a file or a store is
  // limited to it before anything counts with it.
  return static_cast<long>(*v > 0xFF ? 0xFF : *v);
}

bool StoreHas(CKX4DATA& store, std::string_view keyword) {
  return StoreGet(store, keyword).has_value();
}

void StoreAdd(CKX4DATA& store, std::string_view keyword, std::string_view value) {
  std::string key(keyword), text(value);
  store.Add(key.c_str(), text.c_str());
}

bool StoreReadFileKey(CKX4DATA& store, const std::string& path, int model,
                      std::string_view keyword) {
  std::string section = std::string("CONFIG_") + ModelName(model);
  std::string value;
  return store.ReadConfigINI(path, section, std::string(keyword), value) == 0;
}

std::optional<int> StoredPortNumber(int model) {
  int number = 0;
  if (PortSetting(ModelName(model), number, "GET") != 0) return std::nullopt;
  return number;
}

}  // namespace kova
