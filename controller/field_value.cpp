#include "controller/field_value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/model.h"
#include "common/texts.h"
#include "controller/change_list.h"
#include "controller/store_access.h"

namespace kova {
namespace {

// 10 to the power n, for the few decimals a field shows.
double Power10(int n) {
  double p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

bool IsList(FieldKind k) {
  return k == FieldKind::kOptions || k == FieldKind::kMappedOptions ||
         k == FieldKind::kSignalType || k == FieldKind::kProbeMode;
}

bool Vela(int model) { return model == kModelVela; }

// The simulated signal is the standard one when both times show exactly
// the standard time.
int SimulatedType(const ParameterTable& table, CKX4DATA& store) {
  auto shows_standard = [&](const char* keyword) {
    const ParameterDescriptor* d = table.Find(keyword);
    auto v = StoreValue(store, keyword);
    if (!d || !v) return false;
    return FormatFixed(static_cast<double>(*v) * (d->scale != 0.0 ? d->scale : 1.0), 2) ==
           kStandardTime;
  };
  return shows_standard("1E") && shows_standard("1F") ? kTypeStandard : kTypeSpecific;
}

bool RealProbe(long probe) { return probe == 1 || probe == 2; }

std::string Whole(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f", v);
  return buf;
}

// A range in the field's units, for the reasons of the gate.
std::string RangeText(const FieldDef& f, const ParameterTable& table) {
  auto range = FieldRange(f, table);
  if (!range) return Tr("fora da faixa");
  const std::string min = FormatFixed(range->min, f.decimals);
  const std::string max = FormatFixed(range->max, f.decimals);
  if (!f.unit[0]) return TrFormat("fora da faixa de {0} a {1}", {min, max});
  return TrFormat("fora da faixa de {0} a {1} {2}", {min, max, Tr(f.unit)});
}

std::string NotInList() { return Tr("não é um valor da lista"); }

// A list's entry for a device value: its place among column 1's values,
// or for a numeric row listed value by value its distance from the
// minimum; -1 when the list has none.
long ListPosition(const ParameterDescriptor& d, long value) {
  if (d.IsNumeric()) {
    const long position = value - static_cast<long>(d.Min());
    return position >= 0 && position < static_cast<long>(ListEntries(d).size()) ? position : -1;
  }
  for (int k = 0; k < d.Options() && k < 10; ++k)
    if (auto v = ParseEnteredNumber(d.column1[k]); v && *v == static_cast<double>(value)) return k;
  return -1;
}
std::optional<long> ListValue(const ParameterDescriptor& d, int position) {
  if (position < 0) return std::nullopt;
  if (d.IsNumeric()) {
    if (position >= static_cast<long>(ListEntries(d).size())) return std::nullopt;
    return static_cast<long>(d.Min()) + position;
  }
  if (position >= d.Options() || position >= 10) return std::nullopt;
  auto v = ParseEnteredNumber(d.column1[position]);
  if (!v) return std::nullopt;
  return static_cast<long>(*v);
}

}  // namespace

// ---- showing ------------------------------------------------------------

std::vector<std::string> FieldEntries(const FieldDef& f, const ParameterTable& table,
                                      int model) {
  switch (f.kind) {
    case FieldKind::kOptions:
    case FieldKind::kMappedOptions:
      if (const ParameterDescriptor* d = table.Find(f.keyword)) return ListEntries(*d);
      return {};
    case FieldKind::kSignalType:
      return SignalTypeEntries(table, model);
    case FieldKind::kProbeMode:
      return {"Automático", "Manual"};
    default:
      return {};
  }
}

std::vector<std::string> FieldRegisters(const FieldDef& f, int model) {
  switch (f.kind) {
    case FieldKind::kWord: return {f.keyword, f.high};
    case FieldKind::kCutOffSpeed: {
      // Staged high byte first on the models that hold rpm; VELA's period
      // low byte first.
      auto regs = CutOffSpeedRegisters(model);
      std::vector<std::string> out(regs.begin(), regs.end());
      if (!Vela(model)) std::reverse(out.begin(), out.end());
      return out;
    }
    case FieldKind::kSignalType:
      if (Vela(model)) return {"60"};
      return {"60", "78"};
    case FieldKind::kProbeMode: return {"78"};
    default: return {f.keyword};
  }
}

std::vector<std::string> FieldContext(const FieldDef& f, int model) {
  if (f.kind == FieldKind::kCutOffSpeed && Vela(model)) return {"2B", "2C"};
  if (f.kind == FieldKind::kSignalType) return {"1E", "1F"};
  return {};
}

FieldDisplay DisplayField(const FieldDef& f, const ParameterTable& table, int model,
                          CKX4DATA& store) {
  FieldDisplay out;
  auto select = [&](long position, const std::vector<std::string>& entries) {
    if (position >= 0 && position < static_cast<long>(entries.size())) {
      out.position = static_cast<int>(position);
      out.text = entries[static_cast<std::size_t>(position)];
    }
  };
  const ParameterDescriptor* d = table.Find(f.keyword);
  switch (f.kind) {
    case FieldKind::kOptions:
    case FieldKind::kMappedOptions: {
      auto v = StoreValue(store, f.keyword);
      if (!d || !v) return {false};
      long position = f.kind == FieldKind::kOptions ? ListPosition(*d, *v)
                      : f.to_position                ? f.to_position(*v)
                                                     : *v;
      select(position, ListEntries(*d));
      return out;
    }
    case FieldKind::kNumber: {
      auto v = StoreValue(store, f.keyword);
      if (!d || !v) return {false};
      const double value = static_cast<double>(*v);
      if (f.decimals > 0) out.text = FormatFixed(value * (d->scale != 0.0 ? d->scale : 1.0), f.decimals);
      else out.text = Whole(d->scale != 0.0 ? std::trunc(value * d->scale) : value);
      return out;
    }
    case FieldKind::kWord: {
      auto low = StoreValue(store, f.keyword);
      if (!d || !low) return {false};
      auto high = StoreValue(store, f.high);
      if (!high) return {false};
      out.text = std::to_string(256 * *high + *low);
      return out;
    }
    case FieldKind::kCutOffSpeed: {
      // The first register the store lacks stops the showing here.
      std::vector<std::string_view> needed = CutOffSpeedRegisters(model);
      if (Vela(model)) needed.insert(needed.end(), {"2B", "2C"});
      for (std::string_view k : needed)
        if (!StoreValue(store, k)) return {false};
      // A period of 0, or coils the conversion does not know, leave the
      // speed undefined: the box stays empty rather than showing a
      // made-up number.
      if (auto speed = CutOffSpeedFromStore(store, model)) out.text = std::to_string(*speed);
      return out;
    }
    case FieldKind::kSignalType: {
      const auto entries = SignalTypeEntries(table, model);
      if (!Vela(model)) {
        auto probe = StoreValue(store, "78");
        if (!probe) return {false};
        if (RealProbe(*probe)) {
          // The real probe stands on its standard injection time.
          if (!StoreValue(store, "79")) return {false};
          select(kTypeReal, entries);
          return out;
        }
      }
      auto kind = StoreValue(store, "60");
      if (!kind) return {false};
      select(*kind == 1 ? kTypeOpen : SimulatedType(table, store), entries);
      return out;
    }
    case FieldKind::kProbeMode: {
      auto probe = StoreValue(store, "78");
      if (!probe) return {false};
      if (RealProbe(*probe)) select(*probe == 1 ? kModeAutomatic : kModeManual, FieldEntries(f, table, model));
      return out;
    }
  }
  return out;
}

std::string ShownWithUnit(const FieldDef& f, const FieldDisplay& d) {
  if (d.text.empty()) return {};
  // A list's entry is a text of the table ("Ativado"); a number stays.
  const std::string text = ShownText(d.text);
  return f.unit[0] ? text + " " + Tr(f.unit) : text;
}

bool FieldShown(const FieldDef& f, int model, CKX4DATA& store) {
  const long probe = Vela(model) ? 0 : StoreValue(store, "78").value_or(0);
  switch (f.shown_when) {
    case ShownWhen::kAlways: return true;
    case ShownWhen::kSimulatedSignal:
      return !RealProbe(probe) && StoreValue(store, "60").value_or(0) != 1;
    case ShownWhen::kRealProbe: return RealProbe(probe);
    case ShownWhen::kManualProbe: return probe == 2;
    case ShownWhen::kEmulatorRelay: return StoreValue(store, "82").value_or(0) == 1;
  }
  return true;
}

// ---- typing -------------------------------------------------------------

std::string FormatFixed(double shown, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals > 0 ? decimals : 0, shown);
  return buf;
}

std::optional<long> DecimalUnits(std::string_view text, int decimals) {
  std::size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  constexpr long kCap = 1000000000L;  // far beyond any register; keeps the sum in range
  long whole = 0, fraction = 0;
  int fraction_digits = 0;
  bool digits = false, point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (!point) whole = std::min(kCap, whole * 10 + (c - '0'));
      else if (fraction_digits < decimals) fraction = fraction * 10 + (c - '0'), ++fraction_digits;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  for (; fraction_digits < decimals; ++fraction_digits) fraction *= 10;
  return std::min(kCap, whole * static_cast<long>(Power10(decimals)) + fraction);
}

std::optional<ShownRange> FieldRange(const FieldDef& f, const ParameterTable& table) {
  const ParameterDescriptor* d = table.Find(f.keyword);
  if (!d || !d->IsNumeric() || IsList(f.kind)) return std::nullopt;
  double min = d->Min(), max = d->Max();
  // A number box shows the register times the scale; a word or a speed
  // shows the registers' value.
  if (f.kind == FieldKind::kNumber && d->scale != 0.0) min *= d->scale, max *= d->scale;
  const double unit = Power10(f.decimals);
  return ShownRange{std::round(min * unit) / unit, std::round(max * unit) / unit};
}

std::optional<TypedCorrection> CheckWhileTyping(const FieldDef& f, const ParameterTable& table,
                                                std::string_view typed) {
  auto range = FieldRange(f, table);
  const ParameterDescriptor* d = table.Find(f.keyword);
  if (!range || !d) return std::nullopt;
  std::string text(typed.substr(0, 10));
  const bool empty = text.find_first_not_of(" \t") == std::string::npos;
  // Anything else that is no number reads as 0, as the runtime's
  // conversion does.
  const double n = ParseEnteredNumber(text).value_or(0.0);
  switch (f.out_of_range) {
    case OutOfRange::kLimitWhileTyping: {
      const double v = empty ? -1.0 : n;
      if (v > range->max)
        return TypedCorrection{kAboveLimitText, kMaxAssumedCaption, FormatFixed(range->max, f.decimals)};
      if (v < range->min)
        return TypedCorrection{kBelowLimitText, kMinAssumedCaption, FormatFixed(range->min, f.decimals)};
      return std::nullopt;
    }
    case OutOfRange::kDefaultWhileTyping:
      if (n < 0) return TypedCorrection{"", "", "0"};
      if (n > range->max) return TypedCorrection{kAboveLimitText, kLimitAssumedCaption, d->default_text};
      if (n < range->min) return TypedCorrection{kBelowLimitText, kLimitAssumedCaption, d->default_text};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<TypedCorrection> CheckOnWrite(const FieldDef& f, const ParameterTable& table,
                                            std::string_view text) {
  auto range = FieldRange(f, table);
  auto n = ParseEnteredNumber(text);
  if (!range || !n) return std::nullopt;
  switch (f.out_of_range) {
    case OutOfRange::kRefuse:
      if (*n > range->max)
        return TypedCorrection{kAboveLimitText, kMaxAssumedCaption, FormatFixed(range->max, f.decimals)};
      if (*n < range->min)
        return TypedCorrection{kBelowLimitText, kMinAssumedCaption, FormatFixed(range->min, f.decimals)};
      return std::nullopt;
    case OutOfRange::kClamp: {
      const double limited = std::clamp(*n, range->min, range->max);
      if (limited == *n) return std::nullopt;
      return TypedCorrection{"", "", FormatFixed(limited, f.decimals)};
    }
    default:
      return std::nullopt;
  }
}

RegisterValues ValuesToWrite(const FieldDef& f, const ParameterTable& table, int model,
                             const FieldInput& input, CKX4DATA& store) {
  const ParameterDescriptor* d = table.Find(f.keyword);
  switch (f.kind) {
    case FieldKind::kOptions: {
      // Nothing chosen: the controller keeps its value.
      auto value = d ? ListValue(*d, input.position) : std::nullopt;
      if (!value) return {};
      return {{f.keyword, *value}};
    }
    case FieldKind::kMappedOptions: {
      if (!d || input.position < 0) return {};
      const long value = f.to_value ? f.to_value(input.position) : input.position;
      if (value < 0) return {};
      return {{f.keyword, value}};
    }
    case FieldKind::kNumber: {
      if (!d) return {};
      if (f.cut_to_decimals) {
        auto units = DecimalUnits(input.text, f.decimals);
        if (!units) return {};  // not a number: the controller keeps its value
        double device = static_cast<double>(*units);
        if (d->scale != 0.0) device = std::round(device / Power10(f.decimals) / d->scale);
        const double limit = d->IsNumeric() ? std::min(d->Max(), 255.0) : 255.0;
        return {{f.keyword, static_cast<long>(std::min(device, limit))}};
      }
      auto n = ParseEnteredNumber(input.text);
      if (!n) return {};
      const double device = d->scale != 0.0 ? *n / d->scale : *n;
      if (!(std::fabs(device) < 1e9)) return {};
      return {{f.keyword, static_cast<long>(std::round(device))}};
    }
    case FieldKind::kWord: {
      auto n = ParseEnteredNumber(input.text);
      if (!d || !n || *n < 0 || *n > 0xFFFF) return {};
      const long word = static_cast<long>(std::round(*n));
      // The two bytes as they are: the box holds the register pair's value.
      return {{f.keyword, word & 0xFF}, {f.high, word >> 8}};
    }
    case FieldKind::kCutOffSpeed: {
      auto n = ParseEnteredNumber(input.text);
      if (!n || !(std::fabs(*n) < 1e9)) return {};
      long speed = static_cast<long>(std::round(*n));
      if (!Vela(model)) {
        if (speed < 0 || speed > 0xFFFF) return {};
        return {{"26", speed >> 8}, {"27", speed & 0xFF}};
      }
      speed = std::min(speed, 5000L);
      auto coils = StoreValue(store, "2B"), cylinders = StoreValue(store, "2C");
      if (!coils || !cylinders) return {};
      auto period = VelaPeriodForSpeed(*coils, *cylinders, speed);
      if (!period) return {};
      return {{"27", static_cast<long>(*period & 0xFF)},
              {"26", static_cast<long>((*period >> 8) & 0xFF)},
              {"25", static_cast<long>(*period >> 16)}};
    }
    case FieldKind::kSignalType: {
      const int type = input.position;
      if (type < 0) return {};
      if (Vela(model)) return {{"60", type == kTypeOpen ? 1 : 0}};
      // The mode it leaves goes first: the real probe's mode, then the
      // simulated kind; or the kind, then the probe back to simulation.
      if (type == kTypeReal) return {{"78", input.companion == kModeManual ? 2 : 1}, {"60", 0}};
      return {{"60", type == kTypeOpen ? 1 : 0}, {"78", 0}};
    }
    case FieldKind::kProbeMode:
      return {};  // written with the signal type
  }
  return {};
}

// ---- the gate -------------------------------------------------------------

std::string RefusalOf(const FieldDef& f, const ParameterTable& table, int model,
                      const RegisterValues& values, CKX4DATA& store) {
  auto value_of = [&](std::string_view keyword) -> std::optional<long> {
    for (const RegisterValue& v : values)
      if (v.keyword == keyword) return v.value;
    return std::nullopt;
  };
  for (const RegisterValue& v : values)
    if (v.value < 0 || v.value > 0xFF) return Tr("não cabe no registrador");
  const ParameterDescriptor* d = table.Find(f.keyword);
  auto within = [&](long shown_value) {
    const ParameterDescriptor* row = d;
    return row && shown_value >= static_cast<long>(row->Min()) &&
           shown_value <= static_cast<long>(row->Max());
  };
  switch (f.kind) {
    case FieldKind::kOptions: {
      auto v = value_of(f.keyword);
      return d && v && ListPosition(*d, *v) >= 0 ? "" : NotInList();
    }
    case FieldKind::kMappedOptions: {
      auto v = value_of(f.keyword);
      if (!d || !v) return NotInList();
      const int position = f.to_position ? f.to_position(*v) : static_cast<int>(*v);
      const bool listed = position >= 0 && position < static_cast<int>(ListEntries(*d).size());
      return listed && (!f.to_value || f.to_value(position) == *v) ? "" : NotInList();
    }
    case FieldKind::kNumber: {
      auto v = value_of(f.keyword);
      return v && within(*v) ? "" : RangeText(f, table);
    }
    case FieldKind::kWord: {
      auto low = value_of(f.keyword), high = value_of(f.high);
      return low && high && within(256 * *high + *low) ? "" : RangeText(f, table);
    }
    case FieldKind::kCutOffSpeed: {
      if (!Vela(model)) {
        auto low = value_of("27"), high = value_of("26");
        return low && high && within(256 * *high + *low) ? "" : RangeText(f, table);
      }
      auto low = value_of("27"), mid = value_of("26"), top = value_of("25");
      auto coils = StoreValue(store, "2B"), cylinders = StoreValue(store, "2C");
      if (!low || !mid || !top || !coils || !cylinders) return Tr("não pode ser convertido em rpm");
      const uint64_t period = static_cast<uint64_t>(*top) * 65536 + static_cast<uint64_t>(*mid) * 256 +
                              static_cast<uint64_t>(*low);
      auto speed = VelaSpeedForPeriod(*coils, *cylinders, period);
      if (!speed) return Tr("não pode ser convertido em rpm");
      return within(*speed) ? "" : RangeText(f, table);
    }
    case FieldKind::kSignalType:
    case FieldKind::kProbeMode: {
      auto kind = value_of("60"), probe = value_of("78");
      if (kind && *kind != 0 && *kind != 1) return NotInList();
      if (probe && *probe != 0 && *probe != 1 && *probe != 2) return NotInList();
      return "";
    }
  }
  return "";
}

void StageValues(const RegisterValues& values, bool always, CKX4DATA& equipment,
                 ChangeList& changes) {
  // A register that was never read from the controller is never written,
  // and half a value would leave the registers torn.
  for (const RegisterValue& v : values)
    if (!StoreHas(equipment, v.keyword)) return;
  if (values.size() > 1 && changes.Room() < static_cast<int>(values.size())) {
    changes.NoteRefused();
    return;
  }
  for (const RegisterValue& v : values) {
    const std::string text = ToHexText(static_cast<uint64_t>(v.value));
    if (!always && StoreGet(equipment, v.keyword) == text) continue;
    changes.Stage(v.keyword, text);  // a full list counts what it refuses
  }
}

std::optional<StoredValues> ValuesFromStore(const FieldDef& f, int model, CKX4DATA& store) {
  StoredValues out;
  for (const std::string& k : FieldRegisters(f, model)) {
    auto text = StoreGet(store, k);
    if (!text) return std::nullopt;
    auto v = StoreValue(store, k);
    if (!v) {
      out.unreadable.push_back(k);
      continue;
    }
    out.values.push_back({k, *v});
  }
  if (!out.unreadable.empty()) return out;
  if (f.kind == FieldKind::kMappedOptions && f.to_position && f.to_value) {
    // As the list shows it, as the list writes it.
    const int position = f.to_position(out.values[0].value);
    if (position >= 0 && f.to_value(position) >= 0) out.values[0].value = f.to_value(position);
  } else if (f.kind == FieldKind::kSignalType && !Vela(model) && RealProbe(out.values[1].value)) {
    std::swap(out.values[0], out.values[1]);  // the real probe's mode goes first
  }
  return out;
}

}  // namespace kova
