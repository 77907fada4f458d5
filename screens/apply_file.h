// Writing a loaded parameter file to the controller: the workshop keeps a
// proven configuration of a kit as a file and applies it to the next car.
// Only the registers the parameter table names for the model are compared
// and sent; the customer record and everything else in the file stay out.
#pragma once
#include <string>
#include <vector>

#include "controller/exchange.h"
#include "shell/app_context.h"
#include "shell/view.h"

namespace kova {

// One parameter that differs between the controller and the file, in the
// units the screens show. A value spanning registers is one parameter.
struct ParameterDifference {
  std::string name;                  // "Número de Cilindros"
  std::vector<std::string> keywords;  // the registers written, in staging order
  std::string controller, file;      // shown values ("4", "0.36 s", "Ativado")
};

// The parameters whose file value differs from the controller's (both
// stores must hold every register of a parameter), in table order.
std::vector<ParameterDifference> CompareForApply(const ParameterTable& table, int model,
                                                 CKX4DATA& equipment, CKX4DATA& file);

// The question that lists the differences.
std::string ApplyQuestion(const std::vector<ParameterDifference>& differences);

inline constexpr char kApplyCaption[] = "Gravar arquivo no equipamento";

// The whole action: compare, ask, write with the ordinary write transaction
// and its pacing, read everything back from the controller and check that
// each written value arrived; then say how many were written or which did
// not take. The source the screens show is left as it was. False when the
// read-back failed three times (the caller ends its screen with result 3
// after the read error message, which has been shown).
bool ApplyFileToController(AppContext& app, View& view);

}  // namespace kova
