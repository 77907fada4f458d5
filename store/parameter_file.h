// A parameter file saved whole: its customer section and the model's
// parameter section written in one replacement of the file, so that the
// file on disk never holds new customer data with old parameters, and a
// file another program holds for a moment is waited for.
#pragma once
#include <string>
#include <vector>

#include "store/ckx4data.h"
#include "store/customer_record.h"
#include "store/platform_file.h"
#include "store/profile.h"

namespace kova {

// The parameter section of a model name ("VELA" or "BRIO"), or nullptr.
const char* ParameterSection(const std::string& model_name);

// One key per entry of the store, in store order, for the model's
// parameter section: keyword = value as the store holds it. Nothing for an
// unknown model name.
std::vector<profile::Write> ParameterWrites(CKX4DATA& store, const std::string& model_name);

// The nine customer keys into the section named after the model (the
// observations on one line), then the store's parameters, as one write of
// the file: kDone, kInUse when another program held it all along, kFailed.
// On failure the file is as it was.
file::ReplaceResult WriteParameterFile(const std::string& path, const std::string& model_name,
                                      const CustomerRecord& customer, CKX4DATA& parameters);

}  // namespace kova
