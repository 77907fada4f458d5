// The table of controller parameters the screens show: per register its
// keyword for the chosen model, numeric or list, limits, scale between
// device and shown units, format or option texts and default text, and the
// few facts the table implies (the registers of the cut-off speed, the
// signal types). How a field turns these into shown values and back is
// controller/field_value.h.
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

// A number as typed in a field: optional sign, digits, "." or "," as the
// decimal separator, surrounding blanks allowed. Nothing for anything else.
std::optional<double> ParseEnteredNumber(std::string_view text);

// The descriptor's format (column 2 text 0) applied to a shown number.
std::string FormatShown(const ParameterDescriptor& d, double shown);

// The entries of a list control bound to the descriptor: a list's shown
// texts, or for a numeric descriptor every device value from min to max
// shown with its format and scale.
std::vector<std::string> ListEntries(const ParameterDescriptor& d);

// The signal types the lambda screens list: the texts of row 60, the real
// probe only on BRIO and VELA plus (whose screen spells the specific
// signal without its accent).
std::vector<std::string> SignalTypeEntries(const ParameterTable& table, int model);

// VELA counts engine speed as an ignition period P: speed = coils x
// 120000000 / (cylinders x P), truncated; 0 without a period or cylinders.
// The monitor's live speed and the cut-off speed both stand on it.
long VelaSpeed(long coils, long cylinders, uint64_t period);
// The cut-off speed in 27 (low), 26, 25 (high) and its reverse, both
// truncated. Coils outside 1..6, a zero divisor, or a period that does not
// fit three bytes have no conversion.
std::optional<uint32_t> VelaPeriodForSpeed(long coils, long cylinders, long speed);
std::optional<long> VelaSpeedForPeriod(long coils, long cylinders, uint64_t period);

// The cut-off speed in rpm as the store holds it: VELA from the period and
// registers 2B and 2C, the other models from 26 (high) and 27 (low).
// Nothing when a register is missing or the conversion is undefined.
std::optional<long> CutOffSpeedFromStore(CKX4DATA& store, int model);
// The registers that hold the cut-off speed, least significant first:
// VELA's period 27, 26, 25; the other models' rpm 27, 26.
std::vector<std::string_view> CutOffSpeedRegisters(int model);

}  // namespace kova
