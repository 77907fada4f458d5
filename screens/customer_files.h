// Load File and Save File of the customer-data screen, through the store's
// parameter-file procedures. Kept apart from the screen so that this unit
// sees the store's file procedures without the controller's headers.
#pragma once
#include <string>

#include "shell/view.h"
#include "store/ckx4data.h"
#include "store/customer_record.h"

namespace kova {

struct CustomerFileState {
  CKX4DATA& equipment;
  CKX4DATA& file_store;
  CustomerRecord& customer;
  std::string& current_path;
  int model;
  unsigned char& source;
  unsigned char& file_loaded;
};

// True when a file was read (the record then holds its customer texts).
bool LoadCustomerFile(const CustomerFileState& state, View& view, int source_selector);
// The customer screen keeps its source when it saves.
void SaveCustomerFile(const CustomerFileState& state, View& view, int source_selector);

}  // namespace kova
