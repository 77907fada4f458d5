#include "store/parameter_file.h"

#include <cstring>

namespace kova {

const char* ParameterSection(const std::string& model_name) {
  if (model_name == "VELA") return "CONFIG_VELA";
  if (model_name == "BRIO") return "CONFIG_BRIO";
  return nullptr;
}

std::vector<profile::Write> ParameterWrites(CKX4DATA& store, const std::string& model_name) {
  std::vector<profile::Write> writes;
  const char* section = ParameterSection(model_name);
  if (!section) return writes;
  store.Lock();
  const CKeywordData* entries = store.GetKeywordData();
  for (unsigned i = 0; i < store.GetQtyUsed(); ++i) {
    const CKeywordData& e = entries[i];
    std::string value(reinterpret_cast<const char*>(e.value), e.length);
    value.resize(std::strlen(value.c_str()));  // the profile functions stop at a NUL
    writes.push_back({section, std::string(e.keyword, strnlen(e.keyword, sizeof e.keyword)), value});
  }
  store.UnLock();
  return writes;
}

file::ReplaceResult WriteParameterFile(const std::string& path, const std::string& model_name,
                                      const CustomerRecord& customer, CKX4DATA& parameters) {
  std::vector<profile::Write> writes;
  for (int f = 0; f < CustomerRecord::kFieldCount; ++f) {
    auto field = static_cast<CustomerRecord::Field>(f);
    std::string value(customer.Get(field));
    if (field == CustomerRecord::kObservacoesGerais) value = OneLine(value);
    writes.push_back({model_name, CustomerRecord::Key(field), value});
  }
  for (profile::Write& w : ParameterWrites(parameters, model_name)) writes.push_back(std::move(w));
  return profile::Apply(path, writes);
}

}  // namespace kova
