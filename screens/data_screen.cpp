#include "screens/data_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/file_actions.h"

namespace kova {
namespace {

constexpr std::string_view kFull = "FULL";
constexpr std::size_t kMaxCurrentKey = 11;

std::string Decimal(long v) { return std::to_string(v); }

// Entries of a list bound to a row: its options, or every value of a
// numeric row.
long Entries(const ParameterDescriptor& d) { return static_cast<long>(ListEntries(d).size()); }

// 10 to the power n, for the few decimals a field shows.
double Power10(int n) {
  double p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

}  // namespace

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

ScreenDesign DataScreenDesign(int template_id, std::function<int()> background, bool tooltips) {
  ScreenDesign s;
  s.template_id = template_id;
  s.background = std::move(background);
  s.buttons = {{IDC_RETURN, IDB_BTN_RETURN},   {IDC_NEXT, IDB_BTN_NEXT},
               {IDC_LOAD, IDB_BTN_LOAD_FILE},  {IDC_SAVE, IDB_BTN_SAVE_FILE},
               {IDC_MONITOR, IDB_BTN_MONITOR}, {IDC_EXIT, IDB_BTN_EXIT},
               {IDC_WRITE, IDB_BTN_WRITE_ALL}};
  s.labels = {{IDC_TITLE, kTitleFontLeft}};
  s.field_font_controls = {IDC_SOURCE};
  if (tooltips)
    s.tooltips = {{0, "Tela de Dados"},
                  {IDC_WRITE, "Grava Todos os Valores desta Tela no Equipamento ou Arquivo"},
                  {IDC_RETURN, "Retornar"},
                  {IDC_NEXT, "Próximo"},
                  {IDC_LOAD, "Carregar Arquivo"},
                  {IDC_SAVE, "Gravar Arquivo"},
                  {IDC_MONITOR, "Inicia Monitoramento"},
                  {IDC_EXIT, "Sair"}};
  return s;
}

DataScreen::DataScreen(AppContext& app, ScreenLinks links, std::vector<DataField> fields,
                       DataScreenRules rules)
    : app_(app), links_(std::move(links)), fields_(std::move(fields)), rules_(std::move(rules)) {}

const ParameterDescriptor* DataScreen::Row(std::string_view keyword) const {
  return app_.table.Find(keyword);
}

const DataField* DataScreen::FieldOf(int control) const {
  for (const DataField& f : fields_)
    if (f.control == control) return &f;
  return nullptr;
}

const DataField* DataScreen::FieldBySelector(std::string_view selector) const {
  for (const DataField& f : fields_)
    if (selector == f.selector) return &f;
  return nullptr;
}

std::optional<double> DataScreen::FieldNumber(int control) {
  return ParseEnteredNumber(view().GetText(control));
}

bool DataScreen::SelectText(int control, const std::string& text) {
  const DataField* f = FieldOf(control);
  const ParameterDescriptor* d = f ? Row(f->keyword) : nullptr;
  if (control == IDC_SOURCE) {
    int pos = text == "Arquivo" ? kSelectorFile : text == "Equipamento" ? kSelectorEquipment : -1;
    if (pos < 0) return false;
    view().SelectEntry(control, pos);
    return true;
  }
  if (!d) return false;
  std::vector<std::string> entries = ListEntries(*d);
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == text) {
      view().SelectEntry(control, static_cast<int>(i));
      return true;
    }
  return false;
}

Exchange DataScreen::MakeExchange(Pacing pacing) {
  ExchangeEnv env = app_.Exchange();
  View* v = view_;
  env.progress = [v](const std::string& status) { v->SetBusy(status); };
  return Exchange(env, pacing, *this);
}

// ---- opening ---------------------------------------------------------------

void DataScreen::FillLists() {
  for (const DataField& f : fields_) {
    const ParameterDescriptor* d = Row(f.keyword);
    if (!d) continue;
    if (f.kind == FieldKind::kOptions || f.kind == FieldKind::kMappedOptions) {
      // The window is new on every visit: its lists start empty.
      for (const std::string& entry : ListEntries(*d)) view().AddListEntry(f.control, entry);
    } else if (f.spin && f.decimals > 0) {
      // A field with decimals moves by the scale, in the units it shows.
      if (auto range = RangeOf(f)) view().SetSpinRange(f.spin, range->min, range->max, d->scale, f.decimals);
    } else if (f.spin && d->IsNumeric()) {
      // The increment is the record's scale as a whole number (1 at least).
      double step = std::trunc(d->scale);
      view().SetSpinRange(f.spin, d->Min(), d->Max(), step >= 1 ? step : 1, 0);
    }
  }
}

void DataScreen::ShowSelector() {
  view().Show(IDC_SOURCE, true);
  view().SelectEntry(IDC_SOURCE, app_.source == kSourceFile ? kSelectorFile : kSelectorEquipment);
}

void DataScreen::OnInit(View& view) {
  view_ = &view;
  initialised_ = false;
  view.ClearList(IDC_SOURCE);
  view.AddListEntry(IDC_SOURCE, "Arquivo");
  view.AddListEntry(IDC_SOURCE, "Equipamento");
  FillLists();
  SetUpFields();
  if (app_.file_loaded) {
    ShowStore(SourceStore());
    ShowSelector();
  } else {
    ShowStore(app_.equipment);
    if (rules_.selector_always_shown) ShowSelector();
    else view.Show(IDC_SOURCE, false);
  }
  view.Enable(IDC_NEXT, rules_.has_next && links_.can_go_next && links_.can_go_next());
  view.Enable(IDC_MONITOR, static_cast<bool>(links_.run_monitor));
  AfterOpen();
  initialised_ = true;
}

// ---- showing ---------------------------------------------------------------

bool DataScreen::ShowField(const DataField& f, CKX4DATA& store) {
  if (f.kind == FieldKind::kCustom) return ShowCustom(f, store);
  const ParameterDescriptor* d = Row(f.keyword);
  auto value = StoreValue(store, f.keyword);
  if (!d || !value) return false;
  switch (f.kind) {
    case FieldKind::kOptions: {
      long pos = *value - static_cast<long>(d->Min());
      view().SelectEntry(f.control, pos >= 0 && pos < Entries(*d) ? static_cast<int>(pos) : -1);
      return true;
    }
    case FieldKind::kMappedOptions: {
      // A value the list has no position for shows no selection.
      int pos = f.to_position ? f.to_position(*value) : static_cast<int>(*value);
      view().SelectEntry(f.control, pos >= 0 && pos < Entries(*d) ? pos : -1);
      return true;
    }
    case FieldKind::kNumber: {
      if (f.decimals > 0) {
        double scale = d->scale != 0.0 ? d->scale : 1.0;
        view().SetText(f.control, FormatFixed(static_cast<double>(*value) * scale, f.decimals));
        return true;
      }
      double shown = d->scale != 0.0 ? std::trunc(static_cast<double>(*value) * d->scale)
                                     : static_cast<double>(*value);
      view().SetText(f.control, Decimal(static_cast<long>(shown)));
      return true;
    }
    case FieldKind::kWord: {
      auto high = StoreValue(store, f.high);
      if (!high) return false;
      view().SetText(f.control, Decimal(256 * *high + *value));
      return true;
    }
    case FieldKind::kCustom: break;
  }
  return true;
}

bool DataScreen::ShowStore(CKX4DATA& store) {
  // The first missing keyword stops the showing; the fields after it keep
  // what they showed.
  const bool outer = showing_;
  showing_ = true;
  bool complete = true;
  for (const DataField& f : fields_)
    if (!ShowField(f, store)) {
      complete = false;
      break;
    }
  showing_ = outer;
  return complete;
}

// ---- staging ---------------------------------------------------------------

void DataScreen::StageValue(std::string_view keyword, long value, bool always) {
  if (value < 0 || value > 0xFF) return;  // not a register value: nothing goes out
  // A register that was never read from the controller is never written.
  auto stored = StoreGet(app_.equipment, keyword);
  if (!stored) return;
  std::string text = ToHexText(static_cast<uint64_t>(value));
  if (!always && text == *stored) return;
  app_.changes.Stage(keyword, text);  // a full list counts what it refuses
}

std::optional<DataScreen::ShownRange> DataScreen::RangeOf(const DataField& f) const {
  const ParameterDescriptor* d = Row(f.keyword);
  if (!d || !d->IsNumeric()) return std::nullopt;
  double min = d->Min(), max = d->Max();
  // A number box, and any field with decimals, shows the register times the
  // scale; a word or a screen's own whole number shows the registers' value.
  if ((f.kind == FieldKind::kNumber || f.decimals > 0) && d->scale != 0.0)
    min *= d->scale, max *= d->scale;
  const double unit = Power10(f.decimals);
  return ShownRange{std::round(min * unit) / unit, std::round(max * unit) / unit};
}

void DataScreen::StageDecimalText(std::string_view keyword, const std::string& text, int decimals,
                                  bool always) {
  auto units = DecimalUnits(text, decimals);
  if (!units) return;  // not a number: the controller keeps its value
  const ParameterDescriptor* d = Row(keyword);
  double device = static_cast<double>(*units);
  if (d && d->scale != 0.0) device = std::round(device / Power10(decimals) / d->scale);
  double limit = d && d->IsNumeric() ? std::min(d->Max(), 255.0) : 255.0;
  StageValue(keyword, static_cast<long>(std::min(device, limit)), always);
}

void DataScreen::StageNumber(std::string_view keyword, double number, bool always) {
  const ParameterDescriptor* d = Row(keyword);
  double device = d && d->scale != 0.0 ? number / d->scale : number;
  StageValue(keyword, static_cast<long>(std::round(device)), always);
}

void DataScreen::StageField(const DataField& f, std::string_view part) {
  if (f.kind == FieldKind::kCustom) return StageCustom(f);
  const ParameterDescriptor* d = Row(f.keyword);
  if (!d) return;
  switch (f.kind) {
    case FieldKind::kOptions: {
      int pos = view().GetSelection(f.control);
      if (pos < 0) return;  // nothing chosen: the controller keeps its value
      StageValue(f.keyword, pos + static_cast<long>(d->Min()), f.always_staged);
      return;
    }
    case FieldKind::kMappedOptions: {
      int pos = view().GetSelection(f.control);
      if (pos < 0) return;
      long value = f.to_value ? f.to_value(pos) : pos;
      if (value < 0) return;
      StageValue(f.keyword, value, f.always_staged);
      return;
    }
    case FieldKind::kNumber: {
      auto n = FieldNumber(f.control);
      if (!n) return;
      if (f.clamped) n = Clamp(f, *n);
      if (f.cut_to_decimals)
        return StageDecimalText(f.keyword, view().GetText(f.control), f.decimals, f.always_staged);
      StageNumber(f.keyword, *n, f.always_staged);
      return;
    }
    case FieldKind::kWord: {
      auto n = FieldNumber(f.control);
      if (n && f.clamped) n = Clamp(f, *n);
      if (!n || *n < 0 || *n > 0xFFFF) return;
      long word = static_cast<long>(std::round(*n));
      // The two bytes as they are: the box holds the register pair's value.
      // A word written by its selector goes out whole, changed or not; the
      // write button names its registers one by one and compares them.
      const bool always = f.always_staged || part.empty();
      if (part.empty() || part == f.keyword) StageValue(f.keyword, word & 0xFF, always);
      if (part.empty() || part == f.high) StageValue(f.high, word >> 8, always);
      return;
    }
    case FieldKind::kCustom: break;
  }
}

bool DataScreen::WithinRange(const DataField& f, const ParameterDescriptor& d, double number) {
  const double shown_min = d.scale != 0.0 ? d.Min() * d.scale : d.Min();
  const double shown_max = d.scale != 0.0 ? d.Max() * d.scale : d.Max();
  if (number > shown_max) {
    view().MessageBox(kAboveLimitText, kMaxAssumedCaption, kMbOk);
    view().SetText(f.control, FormatShown(d, shown_max));
    return false;
  }
  if (number < shown_min) {
    view().MessageBox(kBelowLimitText, kMinAssumedCaption, kMbOk);
    view().SetText(f.control, FormatShown(d, shown_min));
    return false;
  }
  return true;
}

double DataScreen::Clamp(const DataField& f, double number) {
  auto range = RangeOf(f);
  if (!range) return number;
  double limited = std::clamp(number, range->min, range->max);
  if (limited != number) view().SetText(f.control, FormatFixed(limited, f.decimals));
  return limited;
}

void DataScreen::CheckTypedLimits(const DataField& f) {
  auto range = RangeOf(f);
  if (!range) return;
  std::string text = view().GetText(f.control);
  if (text.size() > 10) text.resize(10);
  // An empty box is below every range; anything else that is no number
  // reads as 0, as the runtime's conversion does.
  const bool empty = text.find_first_not_of(" \t") == std::string::npos;
  const double n = empty ? -1.0 : ParseEnteredNumber(text).value_or(0.0);
  if (n > range->max) {
    view().MessageBox(kAboveLimitText, kMaxAssumedCaption, kMbOk);
    view().SetText(f.control, FormatFixed(range->max, f.decimals));
  } else if (n < range->min) {
    view().MessageBox(kBelowLimitText, kMinAssumedCaption, kMbOk);
    view().SetText(f.control, FormatFixed(range->min, f.decimals));
  }
}

void DataScreen::StageKeyword(std::string_view keyword) {
  for (const DataField& f : fields_) {
    if (keyword == f.keyword || (f.kind == FieldKind::kWord && keyword == f.high)) {
      StageField(f, keyword);
      return;
    }
    if (keyword == f.selector) {
      StageField(f, {});
      return;
    }
  }
}

void DataScreen::StageFields(std::string_view selector) {
  if (selector == kFull) {
    if (rules_.stage_order.empty()) {
      for (const DataField& f : fields_) StageField(f, {});
    } else {
      for (const std::string& keyword : rules_.stage_order) StageKeyword(keyword);
    }
    return;
  }
  if (const DataField* f = FieldBySelector(selector)) StageField(*f, {});
}

void DataScreen::EnableWriteButtons(bool enabled) {
  if (!view_) return;
  for (int id : rules_.locked_while_writing) view_->Enable(id, enabled);
}

std::vector<std::string> DataScreen::FileKeywords() const {
  if (!rules_.file_keywords.empty()) return rules_.file_keywords;
  std::vector<std::string> keys;
  for (const DataField& f : fields_) {
    if (f.keyword[0]) keys.emplace_back(f.keyword);
    if (f.high[0]) keys.emplace_back(f.high);
  }
  return keys;
}

// ---- writing ---------------------------------------------------------------

void DataScreen::LinkFailed() {
  view().MessageBox(kReadErrorText, "", kMbOk);
  view().EndScreen(kScreenLinkFailure);
}

bool DataScreen::Write(std::string_view selector, Pacing pacing) {
  Exchange exchange = MakeExchange(pacing);
  WriteOutcome outcome = exchange.SendPendingWrites(selector);
  view().SetBusy("");
  if (outcome == WriteOutcome::kReadFailed) {
    LinkFailed();
    return false;
  }
  return true;
}

bool DataScreen::RangesAllow(std::string_view selector) {
  // A number outside its row is refused before anything goes out, so the
  // box keeps the limit it was given and the technician can write that.
  bool ok = true;
  for (const DataField& f : fields_) {
    if (!f.range_checked || f.kind != FieldKind::kNumber) continue;
    if (selector != kFull && selector != f.selector) continue;
    const ParameterDescriptor* d = Row(f.keyword);
    auto n = FieldNumber(f.control);
    if (d && n && !WithinRange(f, *d, *n)) ok = false;
  }
  return ok;
}

void DataScreen::WriteAll() {
  CommitEdits();
  if (app_.source == kSourceFile) {
    // Nothing goes to the controller from a file.
    if (rules_.write_all_in_file_shows_file_store) ShowStore(app_.file_store);
    return;
  }
  if (!RangesAllow(kFull)) return;
  BeforeWrite();
  if (Write(kFull, rules_.write_all)) AfterWrite();
}

bool DataScreen::EnterWrites(std::string_view key) const {
  const DataField* f = FieldBySelector(key);
  return f && f->enter_writes;
}

void DataScreen::OnEnter(View& view) {
  view_ = &view;
  CommitEdits();
  if (app_.source == kSourceFile || !EnterWrites(app_.current_key)) return;
  const std::string key = EnterSelector(app_.current_key);
  if (!RangesAllow(key)) return;
  BeforeWrite();
  if (!Write(key, rules_.write_one)) return;
  if (rules_.enter_rereads_into_file_store) {
    // The written parameter once more, into the file store.
    Exchange exchange = MakeExchange(rules_.write_one);
    exchange.ReadSelector(key, app_.file_store, false);
    view.SetBusy("");
  }
  AfterWrite();
}

// ---- buttons ---------------------------------------------------------------

void DataScreen::OnNext(View& view) {
  view_ = &view;
  if (!rules_.has_next || !links_.can_go_next || !links_.can_go_next()) return;
  CommitEdits();
  view.EndScreen(kScreenNext);
}

void DataScreen::OnReturn(View& view) {
  view_ = &view;
  CommitEdits();
  view.EndScreen(kScreenReturn);
}

void DataScreen::OnExit(View& view) {
  view_ = &view;
  view.EndScreen(kScreenExit);
}

void DataScreen::OnCommand(View& view, int id) {
  view_ = &view;
  switch (id) {
    case IDC_WRITE: WriteAll(); break;
    case IDC_LOAD: LoadFile(); break;
    case IDC_SAVE: SaveFile(); break;
    case IDC_MONITOR: RunMonitor(); break;
  }
}

void DataScreen::LoadFile() {
  CommitEdits();
  ParameterFileContext files = FileContext(app_, view(), IDC_SOURCE);
  FileAction done = LoadParameterFile(files);
  if (done == FileAction::kDone) {
    ShowStore(app_.file_store);
    AfterFileLoad();
  } else if (done == FileAction::kFailed) ShowStore(app_.equipment);
}

void DataScreen::SaveFile() {
  CommitEdits();
  ParameterFileContext files = FileContext(app_, view(), IDC_SOURCE, rules_.save_selects_file_source);
  SaveParameterFile(files);
}

void DataScreen::RunMonitor() {
  if (!links_.run_monitor) return;
  CommitEdits();
  BeforeMonitor();
  int result = links_.run_monitor();
  if (result == kScreenExit) return OnExit(view());
  if (rules_.refresh_after_monitor) ShowStore(SourceStore());
  AfterMonitor(result);
}

// ---- fields ----------------------------------------------------------------

void DataScreen::OnFocus(View& view, int id) {
  view_ = &view;
  if (const DataField* f = FieldOf(id)) {
    std::string key = f->selector;
    if (key.size() > kMaxCurrentKey) key.resize(kMaxCurrentKey);
    app_.current_key = key;
  }
  focus_text_ = view.GetText(id);
}

void DataScreen::CheckListTyping(const DataField& f) {
  const ParameterDescriptor* d = Row(f.keyword);
  switch (rules_.list_typing) {
    case ListTyping::kFree: return;
    case ListTyping::kRestore:
      if (!SelectText(f.control, focus_text_)) view().SetText(f.control, focus_text_);
      return;
    case ListTyping::kWarnDefault:
      if (!initialised_ || !d) return;
      view().MessageBox(kListTypingText, kAttentionCaption, kMbOk);
      if (!SelectText(f.control, d->default_text)) view().SetText(f.control, d->default_text);
      return;
  }
}

void DataScreen::OnTextChange(View& view, int id) {
  view_ = &view;
  if (in_text_change_) return;  // our own corrections change the text too
  in_text_change_ = true;
  if (id == IDC_SOURCE && rules_.list_typing == ListTyping::kRestore) {
    SelectText(IDC_SOURCE, focus_text_);
  } else if (const DataField* f = FieldOf(id)) {
    if (f->kind == FieldKind::kOptions || f->kind == FieldKind::kMappedOptions)
      CheckListTyping(*f);
    else if (f->limited_while_typing && initialised_ && !showing_)
      CheckTypedLimits(*f);
  }
  in_text_change_ = false;
}

void DataScreen::OnSelectionChange(View& view, int id) {
  view_ = &view;
  if (id != IDC_SOURCE) return;
  int pos = view.GetSelection(IDC_SOURCE);
  if (pos == kSelectorFile) app_.source = kSourceFile;
  else if (pos == kSelectorEquipment) app_.source = kSourceEquipment;
  else return;
  ShowStore(SourceStore());
}

bool DataScreen::OnKey(View& view, int key) {
  view_ = &view;
  if (!rules_.digits_only) return false;
  const bool passes = (key >= kKey0 && key <= kKey9) || (key >= kKeyPad0 && key <= kKeyPad9) ||
                      key == kKeyBack || key == kKeyPeriod || key == kKeyPadDecimal ||
                      key == kKeyPadSeparator || key == kKeyAbntC2 || key == kKeyLeft ||
                      key == kKeyRight || key == kKeyUp || key == kKeyDown ||
                      key == kKeyDelete || key == kKeyTab || key == kKeyShift ||
                      key == kKeyControl || key == kKeyReturn || key == kKeyEscape;
  return !passes;
}

void DataScreen::OnDestroy(View& view) {
  (void)view;
  initialised_ = false;
  view_ = nullptr;
}

}  // namespace kova
