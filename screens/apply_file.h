// Writing a loaded parameter file to the controller: the workshop keeps a
// proven configuration of a kit as a file and applies it to the next car.
// What is compared and written is exactly what the model's screens write,
// field by field (screens/work_cycle.h), each value through the gate its
// field's writes pass; the customer record and everything else in the file
// stay out.
#pragma once
#include <string>
#include <vector>

#include "controller/exchange.h"
#include "controller/field_value.h"
#include "shell/app_context.h"
#include "shell/view.h"

namespace kova {

// One field whose file value differs from the controller's, in the units
// the screen shows.
struct ParameterDifference {
  std::string name;        // "Número de Cilindros", "Baixa Rotação - Default"
  RegisterValues values;   // what the file makes the field write, in staging order
  std::string controller, file;  // shown values ("4", "0.36 s", "Ativado")
  std::string refused;     // why it is not written; empty when it is
};

struct ApplyComparison {
  std::vector<ParameterDifference> differences;  // in the screens' order
  // Fields whose file value cannot be read ("Abertura de Cut Off: 1G").
  std::vector<std::string> unreadable;
  bool Writes() const;  // some difference will be written
};

// The fields whose file value differs from the controller's (both stores
// must hold every register of a field to compare it).
ApplyComparison CompareForApply(const ParameterTable& table, int model, CKX4DATA& equipment,
                                CKX4DATA& file);

// The question that lists what will be written, what will not and why.
std::string ApplyQuestion(const ApplyComparison& comparison);

inline constexpr char kApplyCaption[] = "Gravar arquivo no equipamento";

// Reads the whole controller when this work cycle has not (it began with
// a file already loaded), so the file can be set against it. False when
// the controller did not answer: the read error has been shown and the
// caller ends its screen with result 3.
bool EnsureControllerRead(AppContext& app, View& view);
// The loaded parameter file as it is now, over the controller's values
// (what the screens show as "Arquivo"); false when it cannot be read.
bool ReadLoadedFile(AppContext& app, CKX4DATA& into);

// The whole action: read the loaded file again (and the controller, when
// this work cycle has not read it), compare, ask, write with the ordinary
// write transaction and its pacing, read everything back from the
// controller and check that each written value arrived; then say how many
// were written, which did not take and which were left out. The source the
// screens show is left as it was. False when the controller did not
// answer (the read error message has been shown; the caller ends its
// screen with result 3).
bool ApplyFileToController(AppContext& app, View& view);

}  // namespace kova
