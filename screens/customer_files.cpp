#include "screens/customer_files.h"

#include "store/parameter_file.h"

namespace kova {
namespace {

ParameterFileContext Context(const CustomerFileState& s, View& view, int selector) {
  return ParameterFileContext{s.equipment, s.file_store, s.customer, s.current_path, s.model,
                              s.source,    s.file_loaded, view,      selector,
                              /*save_selects_file_source=*/false};
}

}  // namespace

bool LoadCustomerFile(const CustomerFileState& state, View& view, int source_selector) {
  ParameterFileContext ctx = Context(state, view, source_selector);
  return LoadParameterFile(ctx) == FileAction::kDone;
}

void SaveCustomerFile(const CustomerFileState& state, View& view, int source_selector) {
  ParameterFileContext ctx = Context(state, view, source_selector);
  SaveParameterFile(ctx);
}

}  // namespace kova
