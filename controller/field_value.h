// A screen field and how its value travels: the text a control shows for
// register values, the register values for what was typed or chosen, and
// the gate every value passes before it may go to the controller. Pure
// functions over the parameter table and a keyword store; the screens, the
// monitor's default positions, applying a file and the installation report
// use them, so a field reads and writes the same wherever it appears.
//
// Texts are UTF-8, as the screens hand them to their view.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/parameter_table.h"

class CKX4DATA;

namespace kova {

class ChangeList;

// How a field shows register values and takes them back.
enum class FieldKind {
  kOptions,        // list; the entry of the row's device value (column 1)
  kMappedOptions,  // list; position and value through the field's two maps
  kNumber,         // number box; shown = value x scale, whole or with decimals
  kWord,           // number box over two registers: 256 x high + low
  kCutOffSpeed,    // rpm: VELA's period in 27, 26, 25 with coils and cylinders,
                   // the other models' speed in 27 (low) and 26 (high)
  kSignalType,     // lambda signal type list: 60, and 78 on BRIO / VELA plus
  kProbeMode,      // the real probe's operating mode (78), written with the type
};

// What happens to a typed number outside its row's range, before anything
// is written. Whatever the rule, a value outside the row never goes out.
enum class OutOfRange {
  kNone,                // nothing is said (lists; conversions that limit themselves)
  kRefuse,              // a write stops: message, the limit put in the box
  kClamp,               // written as the nearest limit, which the box then shows
  kLimitWhileTyping,    // every change: message and the limit; an empty box is below
  kDefaultWhileTyping,  // every change: a negative number becomes 0; beyond the
                        // range a message and the row's default text
};

// When a field is on its screen, by the values it would show.
enum class ShownWhen {
  kAlways,
  kSimulatedSignal,  // the lambda times: a simulated signal (not open, not the real probe)
  kManualProbe,      // the standard injection time: real probe, manual mode
  kRealProbe,        // the operating mode
  kEmulatorRelay,    // the overlap time: the auxiliary relay is the emulator
};

struct FieldDef {
  const char* selector = "";  // focus name, also what Enter writes ("2C", "75_76")
  FieldKind kind = FieldKind::kOptions;
  const char* keyword = "";   // the parameter-table row (the low register of a word)
  const char* high = "";      // kWord: the high register
  const char* label = "";     // as the screen shows it
  const char* unit = "";      // what the value is counted in ("V", "s", "rpm"); may be empty
  const char* group = "";     // a heading the field stands under on its screen; may be empty
  // kNumber: the decimals shown (value x scale); 0: the whole number.
  int decimals = 0;
  // kNumber: the typed digits past the decimals are cut and the result is
  // limited to the row's maximum ("1.5" s at two decimals is 150
  // hundredths), instead of the quotient by the scale rounded.
  bool cut_to_decimals = false;
  bool always_staged = false;  // queued whether it changed or not ("2C")
  OutOfRange out_of_range = OutOfRange::kNone;
  ShownWhen shown_when = ShownWhen::kAlways;
  // kMappedOptions: the list position of a register value (-1: none), and
  // the value written for a position.
  int (*to_position)(long value) = nullptr;
  long (*to_value)(int position) = nullptr;
  // A missing register skips this field instead of ending the showing.
  bool optional = false;
};

// One register value on its way to the controller, in staging order.
struct RegisterValue {
  std::string keyword;
  long value = 0;
  bool operator==(const RegisterValue&) const = default;
};
using RegisterValues = std::vector<RegisterValue>;

// ---- showing ------------------------------------------------------------

// A field's value as its control shows it.
struct FieldDisplay {
  bool complete = true;  // false: a register it needs is missing (showing stops here)
  int position = -1;     // lists: the entry shown, -1 for none
  std::string text;      // number boxes: the text; lists: the entry's text
};
FieldDisplay DisplayField(const FieldDef& f, const ParameterTable& table, int model,
                          CKX4DATA& store);
// The value as a line of a list shows it, in the chosen language: the text
// and the unit ("0-1 V", "0.36 s", "Ativado"). Empty when the registers
// hold nothing it can show.
std::string ShownWithUnit(const FieldDef& f, const FieldDisplay& d);
// Whether the field is on its screen for the values the store holds.
bool FieldShown(const FieldDef& f, int model, CKX4DATA& store);

// The entries of a list field, in position order.
std::vector<std::string> FieldEntries(const FieldDef& f, const ParameterTable& table,
                                      int model);
// The registers a field writes, in the order its screen stages them when
// nothing decides otherwise (the signal type puts the mode it leaves first).
std::vector<std::string> FieldRegisters(const FieldDef& f, int model);
// Registers a field reads to show its value besides its own (VELA's
// cut-off speed needs the coils and the cylinders).
std::vector<std::string> FieldContext(const FieldDef& f, int model);

// ---- typing -------------------------------------------------------------

// A number as the field shows it: whole, or with the given decimals.
std::string FormatFixed(double shown, int decimals);
// The typed text in units of the last decimal ("1.5" at two decimals is
// 150; digits past the decimals are cut). Nothing for a text that is not a
// plain unsigned number.
std::optional<long> DecimalUnits(std::string_view text, int decimals);

// A field's range in the units its box shows, rounded to its decimals (the
// scales are single-precision values: 250 x 0.02 is 4.9999999). Nothing for
// a list, a field without a row or a custom conversion.
struct ShownRange {
  double min, max;
};
std::optional<ShownRange> FieldRange(const FieldDef& f, const ParameterTable& table);

// What the box says about a typed text under its out-of-range rule: nothing
// to do, or a message (empty for none) and the text the box then holds.
struct TypedCorrection {
  std::string message;  // kAboveLimitText, kBelowLimitText, or empty
  std::string caption;
  std::string text;     // what the box holds afterwards
};
// Checked on every change of the text (kLimitWhileTyping and
// kDefaultWhileTyping); nothing for the other rules.
std::optional<TypedCorrection> CheckWhileTyping(const FieldDef& f, const ParameterTable& table,
                                                std::string_view text);
// Checked when the field is written (kRefuse: a correction means nothing is
// written; kClamp: the limited text, without a message).
std::optional<TypedCorrection> CheckOnWrite(const FieldDef& f, const ParameterTable& table,
                                            std::string_view text);

// What a field's control holds, as the screen hands it over for writing.
struct FieldInput {
  int position = -1;        // lists
  std::string text;         // number boxes
  int companion = -1;       // the signal type: the operating mode's position
};
// The register values a field writes for what it shows, in staging order;
// empty when it writes nothing (no selection, not a number, no conversion).
// store gives what a conversion needs besides the field (VELA's coils and
// cylinders).
RegisterValues ValuesToWrite(const FieldDef& f, const ParameterTable& table, int model,
                             const FieldInput& input, CKX4DATA& store);

// ---- the gate -------------------------------------------------------------

// Whether the values may go to the controller through this field: a list
// value must be one the field writes, a number or word must lie within its
// row's range. Empty when they may; otherwise why not, in the field's
// units ("fora da faixa de 1 a 240 passo(s)").
std::string RefusalOf(const FieldDef& f, const ParameterTable& table, int model,
                      const RegisterValues& values, CKX4DATA& store);

// Stages a field's values into the change list, whole or not at all: every
// register must have been read from the controller (equipment), and a
// value spanning registers needs room for all of them. Unless always, a
// register whose stored text already equals its value is left out.
void StageValues(const RegisterValues& values, bool always, CKX4DATA& equipment,
                 ChangeList& changes);

// The values a field would write for what a store holds, as a screen
// showing that store would write them (a coil count of 0 is written as the
// 9 that "Tacômetro" writes). Nothing when a register is missing; a
// register whose text is not a number is named in unreadable.
struct StoredValues {
  RegisterValues values;
  std::vector<std::string> unreadable;
};
std::optional<StoredValues> ValuesFromStore(const FieldDef& f, int model, CKX4DATA& store);

// ---- texts and facts fields share ----------------------------------------

inline constexpr char kAboveLimitText[] = "Valor acima do limite superior.";
inline constexpr char kBelowLimitText[] = "Valor abaixo do limite inferior.";
inline constexpr char kMaxAssumedCaption[] = "Atenção - Valor máximo assumido";
inline constexpr char kMinAssumedCaption[] = "Atenção - Valor mínimo assumido";
inline constexpr char kLimitAssumedCaption[] = "Atenção - Valor limite assumido";

// The standard on and off times of the simulated signal, as shown.
inline constexpr char kStandardTime[] = "0.36";
// Positions of the signal-type list.
enum LambdaType : int { kTypeStandard = 0, kTypeSpecific = 1, kTypeOpen = 2, kTypeReal = 3 };
// Positions of the operating-mode list.
enum LambdaMode : int { kModeAutomatic = 0, kModeManual = 1 };

// The actuator's default positions, which the monitor panel edits too.
inline constexpr char kIdleDefaultKey[] = "3D";
inline constexpr char kHighDefaultKey[] = "3E";

}  // namespace kova
