#include "controller/parameter_table.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "controller/answer_parser.h"
#include "controller/frames.h"
#include "controller/store_access.h"

namespace kova {
namespace {

constexpr double kNumeric = -1.0;
// The scales below 1 are single-precision constants widened to double;
// conversions must use exactly these values.
constexpr double k0_1 = static_cast<double>(0.1f);
constexpr double k0_02 = static_cast<double>(0.02f);
constexpr double k0_01 = static_cast<double>(0.01f);

struct RowDef {
  const char* vela;  // null: VELA has no such register
  const char* other;
  double kind;
  std::initializer_list<const char*> column1;
  double scale;
  std::initializer_list<const char*> column2;
  const char* default_text;
};

const RowDef kRows[kParameterRows] = {
    {nullptr, "7F", 2, {"0", "1"}, 0, {"Desativado", "Ativado"}, "Desativado"},
    {nullptr, "7C", kNumeric, {"4001", "7500"}, 50.0, {"%0.0f"}, "4001"},
    {nullptr, "7B", kNumeric, {"2001", "4000"}, 50.0, {"%0.0f"}, "2001"},
    {nullptr, "7A", kNumeric, {"1001", "2000"}, 50.0, {"%0.0f"}, "1001"},
    {nullptr, "79", kNumeric, {"0", "255"}, k0_1, {"%0.01f"}, "1.0"},
    {"82", "82", 2, {"0", "1"}, 0, {"Reset de Memória", "Emulador"}, "Emulador"},
    {"81", "81", kNumeric, {"1", "25"}, k0_1, {"%0.0f"}, "1.0"},
    {"80", "80", kNumeric, {"1", "100"}, 1.0, {"%0.0f"}, "1.00"},
    {"77", "77", kNumeric, {"0", "250"}, k0_01, {"%0.02f"}, "0"},
    {"76", "76", kNumeric, {"0", "0"}, 0, {"%0.0f"}, "0"},
    {"75", "75", kNumeric, {"0", "5000"}, 50.0, {"%0.0f"}, "0"},
    {"74", "74", 2, {"0", "1"}, 0, {"Descendente", "Ascendente"}, "Ascendente"},
    {"70", "70", kNumeric, {"0", "250"}, k0_02, {"%0.02f"}, "0.00"},
    {"60", "60", 4, {"0", "1", "2", "3"}, 0, {"Padrão", "Especifico", "Aberto", "Real"}, "Padrão"},
    {"46", "46", kNumeric, {"1", "40"}, 1.0, {"%0.0f"}, "1"},
    {"45", "45", kNumeric, {"1", "40"}, 1.0, {"%0.0f"}, "1"},
    {"42", "42", kNumeric, {"1", "40"}, 1.0, {"%0.0f"}, "1"},
    {"41", "41", kNumeric, {"1", "40"}, 1.0, {"%0.0f"}, "1"},
    {"3E", "3E", kNumeric, {"1", "240"}, 1.0, {"%0.0f"}, "1"},
    {"3D", "3D", kNumeric, {"1", "240"}, 1.0, {"%0.0f"}, "1"},
    {"2C", "2C", 5, {"2", "4", "5", "6", "8"}, 0, {"2", "4", "5", "6", "8"}, "2"},
    {"2B", "2B", 9, {"0", "1", "2", "3", "4", "5", "6", "7", "8"}, 0,
     {"Tacômetro", "1", "2", "3", "4", "5", "6", "7", "8"}, "2"},
    {"27", "27", kNumeric, {"0", "5000"}, 1.0, {"%0.0f rpm"}, "0"},
    {"26", "26", kNumeric, {"0", "0"}, 0, {"%0.0f"}, "0"},
    {"21", "21", kNumeric, {"1", "100"}, 1.0, {"%0.0f"}, "1"},
    {"20", "20", 2, {"0", "1"}, 0, {"Desativado", "Ativado"}, "Desativado"},
    {"1F", "1F", kNumeric, {"0", "255"}, k0_01, {"%0.0f"}, "0.00"},
    {"1E", "1E", kNumeric, {"0", "255"}, k0_01, {"%0.0f"}, "0.00"},
    {"16", "16", kNumeric, {"0", "0"}, 0, {"%0.0f"}, "0"},
    {"15", "15", kNumeric, {"0", "600"}, 1.0, {"%0.0f"}, "0"},
    {"13", "13", 2, {"01", "02"}, 0, {"0-1", "0-5"}, "0-1"},
    {"12", "12", kNumeric, {"0", "7"}, k0_02, {"%02.02f"}, "00.00"},
    {"10", "10", 2, {"01", "02"}, 0, {"0-5", "5-0"}, "0-5"},
};

template <std::size_t N>
void Copy(char (&dst)[N], const char* src) {
  std::memset(dst, 0, N);
  if (src) std::strncpy(dst, src, N - 1);
}

void FillTexts(char (&dst)[10][50], std::initializer_list<const char*> texts) {
  int i = 0;
  for (auto& row : dst) Copy(row, nullptr);
  for (const char* t : texts) Copy(dst[i++], t);
}

double TextNumber(const char* text) {
  auto v = ParseEnteredNumber(text);
  return v ? *v : 0.0;
}

}  // namespace

double ParameterDescriptor::Min() const { return TextNumber(column1[0]); }
double ParameterDescriptor::Max() const { return TextNumber(column1[1]); }

const ParameterDescriptor* ParameterTable::Find(std::string_view keyword) const {
  if (keyword.empty()) return nullptr;
  for (const auto& row : rows)
    if (keyword == row.keyword) return &row;
  return nullptr;
}

void BuildParameterTable(ParameterTable& table, int model) {
  for (int r = 0; r < kParameterRows; ++r) {
    const RowDef& row = kRows[r];
    ParameterDescriptor& d = table.rows[r];
    const char* keyword = model == kModelVela ? row.vela : row.other;
    if (keyword) Copy(d.keyword, keyword);
    d.kind = row.kind;
    FillTexts(d.column1, row.column1);
    d.scale = row.scale;
    FillTexts(d.column2, row.column2);
    Copy(d.default_text, row.default_text);
  }
}

std::string ToHexText(uint64_t value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
  return buf;
}

std::optional<double> ParseEnteredNumber(std::string_view text) {
  std::size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  if (i == n) return std::nullopt;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  double whole = 0, fraction = 0, unit = 1;
  bool digits = false, point = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (point) fraction += (unit /= 10) * (c - '0');
      else whole = whole * 10 + (c - '0');
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double v = whole + fraction;
  return negative ? -v : v;
}

std::string FormatShown(const ParameterDescriptor& d, double shown) {
  char buf[128];
  // The formats are the table's own, each with one floating-point field.
  std::snprintf(buf, sizeof buf, d.column2[0][0] ? d.column2[0] : "%0.0f", shown);
  return buf;
}

std::vector<std::string> ListEntries(const ParameterDescriptor& d) {
  std::vector<std::string> entries;
  if (!d.IsNumeric()) {
    for (int k = 0; k < d.Options() && k < 10; ++k) entries.emplace_back(d.column2[k]);
    return entries;
  }
  const double min = d.Min(), max = d.Max();
  const double scale = d.scale != 0.0 ? d.scale : 1.0;
  for (double i = 0; i <= max - min; ++i) entries.push_back(FormatShown(d, (i + min) * scale));
  return entries;
}

std::optional<uint32_t> VelaPeriodForSpeed(long coils, long cylinders, long speed) {
  if (coils < 1 || coils > 6 || cylinders <= 0 || speed <= 0) return std::nullopt;
  uint64_t p = static_cast<uint64_t>(coils) * 120000000u /
               (static_cast<uint64_t>(cylinders) * static_cast<uint64_t>(speed));
  if (p == 0 || p > 0xFFFFFF) return std::nullopt;
  return static_cast<uint32_t>(p);
}

long VelaSpeed(long coils, long cylinders, uint64_t period) {
  if (coils <= 0 || cylinders <= 0 || period == 0) return 0;
  return static_cast<long>(static_cast<uint64_t>(coils) * 120000000u /
                           (static_cast<uint64_t>(cylinders) * period));
}

std::optional<long> VelaSpeedForPeriod(long coils, long cylinders, uint64_t period) {
  if (coils < 1 || coils > 6 || cylinders <= 0 || period == 0) return std::nullopt;
  return VelaSpeed(coils, cylinders, period);
}

std::optional<long> CutOffSpeedFromStore(CKX4DATA& store, int model) {
  // Least significant register first.
  uint64_t value = 0, weight = 1;
  for (std::string_view keyword : CutOffSpeedRegisters(model)) {
    auto byte = StoreValue(store, keyword);
    if (!byte) return std::nullopt;
    value += static_cast<uint64_t>(*byte) * weight;
    weight *= 256;
  }
  if (model != kModelVela) return static_cast<long>(value);
  auto coils = StoreValue(store, "2B"), cylinders = StoreValue(store, "2C");
  if (!coils || !cylinders) return std::nullopt;
  return VelaSpeedForPeriod(*coils, *cylinders, value);
}

std::vector<std::string_view> CutOffSpeedRegisters(int model) {
  if (model == kModelVela) return {"27", "26", "25"};
  return {"27", "26"};
}

std::vector<std::string> SignalTypeEntries(const ParameterTable& table, int model) {
  const ParameterDescriptor* d = table.Find("60");
  std::vector<std::string> entries = d ? ListEntries(*d) : std::vector<std::string>{};
  if (model == kModelVela && entries.size() == 4) {
    entries.pop_back();  // VELA has no real probe
    entries[1] = "Específico";
  }
  return entries;
}

}  // namespace kova
