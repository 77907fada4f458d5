// The table of controller parameters the screens show: per register its
// keyword for the chosen model, numeric or list, limits, scale between
// device and shown units, format or option texts and default text. Also the
// conversions between what a field shows and the register values, and the
// staging of changed values into the change list.
//
// Texts are UTF-8, the encoding the screens hand to their view.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CKX4DATA;

namespace kova {

class ChangeList;

struct ParameterDescriptor {
  char keyword[16];        // register address, upper-case hex; empty: no register
  double kind;             // -1.0 numeric; N > 0 a list of N options
  char column1[10][50];    // list: device value per option; numeric: min, max
  double scale;            // numeric: shown = device x scale; 0.0 = unscaled
  char column2[10][50];    // list: shown text per option; numeric: format
  char default_text[50];   // shown before anything is read

  bool IsNumeric() const { return kind < 0.0; }
  bool HasRegister() const { return keyword[0] != '\0'; }
  int Options() const { return kind > 0.0 ? static_cast<int>(kind) : 0; }
  double Min() const;   // column 1 text 0 as a number
  double Max() const;   // column 1 text 1 as a number
};

constexpr int kParameterRows = 33;

struct ParameterTable {
  ParameterDescriptor rows[kParameterRows] = {};  // all zero until built

  // The row whose keyword is keyword, or null (also for an empty keyword).
  const ParameterDescriptor* Find(std::string_view keyword) const;
};

// Fills every field of the 33 rows for the model. Rows 0 to 4 receive their
// keywords only for BRIO and VELA plus; for VELA they keep what they held.
void BuildParameterTable(ParameterTable& table, int model);

// Upper-case hexadecimal without leading zeros; 0 gives "0".
std::string ToHexText(uint64_t value);

enum class StageResult {
  kStaged,      // appended to the change list
  kUnchanged,   // equal to the stored value: nothing to write
  kNotInStore,  // never read from the controller: never written
  kInvalid,     // not a number, no such option, or not a register value
  kListFull,    // the change list had no room; nothing staged
};

// Converts what the user entered in one field into the device value and
// stages it when it differs from the store's text. Mode 1: the entry is an
// option index and the device text is column 1 text 0 plus the index, in
// decimal. Mode 2: a numeric entry is divided by the scale (when not 0.0)
// and rounded, a list entry is an option index replaced by its column 1
// text; the result is then hexadecimal text. text receives the device text.
// A result outside a register byte (0 to 255) is refused.
StageResult StageField(const ParameterDescriptor& d, std::string& text, int mode,
                       CKX4DATA& store, ChangeList& changes);

// A number as typed in a field: optional sign, digits, "." or "," as the
// decimal separator, surrounding blanks allowed. Nothing for anything else.
std::optional<double> ParseEnteredNumber(std::string_view text);

// Showing a register value. Hex text -> device value x scale (scale 0.0:
// the device value). Nothing when the text is not hexadecimal.
std::optional<double> ShownNumber(const ParameterDescriptor& d, std::string_view hex);
// Hex text -> option index (device value minus column 1 text 0); -1 when
// that is not an option of the list.
int OptionIndex(const ParameterDescriptor& d, std::string_view hex);
// The descriptor's format (column 2 text 0) applied to a shown number.
std::string FormatShown(const ParameterDescriptor& d, double shown);

// The entries of a list control bound to the descriptor: a list's shown
// texts, or for a numeric descriptor every device value from min to max
// shown with its format and scale.
std::vector<std::string> ListEntries(const ParameterDescriptor& d);

// Values held in several registers, least significant register first.
// Heating time of the lambda probe: 15 (low), 16 (high).
std::optional<long> HeatingTimeFromStore(CKX4DATA& store);
// Staged as 15 = low byte, then 16 = high byte, without comparison.
StageResult StageHeatingTime(long seconds, ChangeList& changes);
// Any 16-bit value in two registers, staged low register first.
StageResult StageWord(std::string_view low_keyword, std::string_view high_keyword,
                      long value, ChangeList& changes);

// VELA holds the cut-off speed as an ignition period P in 27 (low), 26, 25
// (high): speed = coils x 120000000 / (cylinders x P), and the reverse; both
// truncated. Coils outside 1..6, a zero divisor, or a period that does not
// fit three bytes have no conversion.
std::optional<uint32_t> VelaPeriodForSpeed(long coils, long cylinders, long speed);
std::optional<long> VelaSpeedForPeriod(long coils, long cylinders, uint64_t period);

// The cut-off speed in rpm as the store holds it: VELA from the period and
// registers 2B and 2C, the other models from 26 (high) and 27 (low).
// Nothing when a register is missing or the conversion is undefined.
std::optional<long> CutOffSpeedFromStore(CKX4DATA& store, int model);
// Stages the cut-off speed: VELA limits it to 5000 and stages the period as
// 27, 26, 25 (nothing without 2B and 2C in the store or without a
// conversion); the other models stage 26 = high byte, then 27 = low byte.
StageResult StageCutOffSpeed(long speed, int model, CKX4DATA& store, ChangeList& changes);

}  // namespace kova
