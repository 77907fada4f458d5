#include "shell/app_context.h"

#include <string_view>

#include "store/platform_file.h"

namespace kova {

void AppContext::ClearStores() {
  equipment.Zeradora();
  file_store.Zeradora();
  live.Zeradora();
  equipment_read_at.reset();
}

void AppContext::Dump(CKX4DATA& store, const char* path) {
  // The file's own name, in the dump folder of this platform (c:\temp on
  // Windows) unless the context names another.
  std::string_view p(path);
  size_t slash = p.find_last_of("\\/");
  std::string name(slash == std::string_view::npos ? p : p.substr(slash + 1));
  std::string target = file::Join(dump_folder.empty() ? file::DumpFolder() : dump_folder, name);
  if (dump_file.KX4OpenFile(target) != CKX4FILE_OK) return;  // no folder: no dump
  store.Dump(dump_file.Handle(), 0);
  dump_file.KX4CloseFile();
}

int AppContext::PortSetting(int& port_number, const std::string& action) {
  return kova::PortSetting(settings, ModelName(), port_number, action);
}

std::optional<int> AppContext::StoredPort(int for_model) {
  std::string name = for_model == kModelVela ? "VELA" : "BRIO";
  int n = 0;
  int r = kova::PortSetting(settings, name, n, "GET");
  if (r != 0) return std::nullopt;
  return n;
}

ExchangeEnv AppContext::Exchange() {
  ExchangeEnv env;
  env.port = &port;
  env.clock = &clock;
  env.changes = &changes;
  env.equipment = &equipment;
  env.file_store = &file_store;
  env.model = [this] { return model; };
  env.source_is_file = [this] { return source == 1; };
  env.file_path = [this] { return current_path; };
  env.dump = [this](CKX4DATA& store, const char* path) { Dump(store, path); };
  env.equipment_read = [this] { equipment_read_at = std::time(nullptr); };
  return env;
}

}  // namespace kova
