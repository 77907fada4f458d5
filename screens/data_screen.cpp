#include "screens/data_screen.h"

#include <algorithm>
#include <cmath>

#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "monitor/live_feed.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "screens/file_actions.h"

namespace kova {
namespace {

constexpr std::size_t kMaxCurrentKey = 11;

bool IsList(const DataField& f) {
  return f.def.kind == FieldKind::kOptions || f.def.kind == FieldKind::kMappedOptions ||
         f.def.kind == FieldKind::kSignalType || f.def.kind == FieldKind::kProbeMode;
}

}  // namespace

std::vector<int> LockedControls(WriteLock lock) {
  if (lock == WriteLock::kLeaveButtons) return {IDC_RETURN, IDC_EXIT, IDC_WRITE};
  return {IDC_LOAD, IDC_SAVE, IDC_WRITE};
}

ScreenDesign DataScreenDesign(int template_id, std::function<int()> background, bool tooltips,
                              FrameButton action) {
  ScreenDesign s;
  s.template_id = template_id;
  s.background = std::move(background);
  if (tooltips) s.tooltips.push_back({0, kDataScreenTooltip});
  AddFrameButtons(s, {IDC_RETURN, IDC_NEXT, IDC_LOAD, IDC_SAVE, IDC_MONITOR, IDC_EXIT}, tooltips);
  AddButton(s, action.id ? action : FrameButtonOf(IDC_WRITE), tooltips);
  s.labels = {{IDC_TITLE, kTitleFontLeft}};
  s.field_font_controls = {IDC_SOURCE};
  return s;
}

DataScreen::DataScreen(AppContext& app, ScreenLinks links, ScreenFields fields,
                       DataScreenRules rules, LiveFeed* feed)
    : app_(app),
      links_(std::move(links)),
      fields_(std::move(fields)),
      rules_(std::move(rules)),
      feed_(feed) {}

const ParameterDescriptor* DataScreen::Row(std::string_view keyword) const {
  return app_.table.Find(keyword);
}

const DataField* DataScreen::FieldOf(int control) const {
  for (const DataField& f : fields_.fields)
    if (f.control == control) return &f;
  return nullptr;
}

const DataField* DataScreen::FieldBySelector(std::string_view selector) const {
  for (const DataField& f : fields_.fields)
    if (selector == f.def.selector) return &f;
  return nullptr;
}

bool DataScreen::SelectText(int control, const std::string& text) {
  std::vector<std::string> entries;
  if (control == IDC_SOURCE) entries = {"Arquivo", "Equipamento"};
  else if (const DataField* f = FieldOf(control)) entries = FieldEntries(f->def, app_.table, app_.model);
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

void DataScreen::SetTexts() {
  if (fields_.title_id) view().SetText(fields_.title_id, fields_.title);
  for (const DataField& f : fields_.fields) {
    if (f.label_id) view().SetText(f.label_id, f.def.label);
    if (f.unit_id) view().SetText(f.unit_id, f.def.unit);
    if (f.group_id) view().SetText(f.group_id, f.def.group);
  }
}

void DataScreen::FillLists() {
  for (const DataField& f : fields_.fields) {
    // The window is new on every visit: its lists start empty.
    if (IsList(f)) {
      for (const std::string& entry : FieldEntries(f.def, app_.table, app_.model))
        view().AddListEntry(f.control, entry);
      continue;
    }
    const ParameterDescriptor* d = Row(f.def.keyword);
    if (!f.spin || !d || !d->IsNumeric()) continue;
    if (f.def.decimals > 0) {
      // A field with decimals moves by the scale, in the units it shows.
      if (auto range = FieldRange(f.def, app_.table))
        view().SetSpinRange(f.spin, range->min, range->max, d->scale, f.def.decimals);
    } else {
      // The increment is the record's scale as a whole number (1 at least).
      const double step = std::trunc(d->scale);
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
  if (feed_) feed_->Bind(view);
  initialised_ = false;
  view.ClearList(IDC_SOURCE);
  view.AddListEntry(IDC_SOURCE, "Arquivo");
  view.AddListEntry(IDC_SOURCE, "Equipamento");
  SetTexts();
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
  const FieldDisplay shown = DisplayField(f.def, app_.table, app_.model, store);
  if (!shown.complete) return f.def.optional;
  if (IsList(f)) {
    // A kind with nothing to select for these values leaves its list as it is.
    if (shown.position >= 0 || f.def.kind != FieldKind::kProbeMode)
      view().SelectEntry(f.control, shown.position);
  } else {
    view().SetText(f.control, shown.text);
  }
  return true;
}

bool DataScreen::ShowStore(CKX4DATA& store) {
  // The first missing keyword stops the showing; the fields after it keep
  // what they showed.
  const bool outer = showing_;
  showing_ = true;
  bool complete = true;
  for (const DataField& f : fields_.fields)
    if (!ShowField(f, store)) {
      complete = false;
      break;
    }
  showing_ = outer;
  return complete;
}

// ---- staging ---------------------------------------------------------------

void DataScreen::StageField(const DataField& f, std::string_view part) {
  if (f.def.out_of_range == OutOfRange::kClamp) {
    // A number beyond the row is written as the nearest limit, which the
    // box then shows.
    if (auto limited = CheckOnWrite(f.def, app_.table, view().GetText(f.control)))
      view().SetText(f.control, limited->text);
  }
  FieldInput input;
  if (IsList(f)) input.position = view().GetSelection(f.control);
  else input.text = view().GetText(f.control);
  if (f.def.kind == FieldKind::kSignalType)
    for (const DataField& other : fields_.fields)
      if (other.def.kind == FieldKind::kProbeMode) input.companion = view().GetSelection(other.control);

  RegisterValues values = ValuesToWrite(f.def, app_.table, app_.model, input, app_.equipment);
  // Nothing the field does not allow goes out.
  if (values.empty() || !RefusalOf(f.def, app_.table, app_.model, values, app_.equipment).empty())
    return;
  // A value spanning registers goes out whole when its field is written, or
  // register by register when the write button names them one by one.
  if (!part.empty() && values.size() > 1) {
    std::erase_if(values, [part](const RegisterValue& v) { return v.keyword != part; });
  }
  StageValues(values, f.def.always_staged || values.size() > 1, app_.equipment, app_.changes);
}

void DataScreen::StageKeyword(std::string_view keyword) {
  for (const DataField& f : fields_.fields) {
    if (keyword == f.def.selector) return StageField(f, {});
    for (const std::string& k : FieldRegisters(f.def, app_.model))
      if (k == keyword) return StageField(f, keyword);
  }
}

void DataScreen::StageSelector(std::string_view selector) {
  if (const DataField* f = FieldBySelector(selector)) StageField(*f, {});
  for (const auto& together : rules_.staged_together)
    if (!together.empty() && together.front() == selector)
      for (std::size_t i = 1; i < together.size(); ++i) StageSelector(together[i]);
}

void DataScreen::StageFields(std::string_view selector) {
  if (selector != kFull) return StageSelector(selector);
  if (rules_.stage_order.empty()) {
    for (const DataField& f : fields_.fields) StageField(f, {});
  } else {
    for (const std::string& keyword : rules_.stage_order) StageKeyword(keyword);
  }
}

void DataScreen::EnableWriteButtons(bool enabled) {
  if (!view_) return;
  for (int id : LockedControls(rules_.lock)) view_->Enable(id, enabled);
}

std::vector<std::string> DataScreen::FileKeywords() const {
  if (!rules_.file_keywords.empty()) return rules_.file_keywords;
  std::vector<std::string> keys;
  for (const DataField& f : fields_.fields)
    for (std::string& k : FieldRegisters(f.def, app_.model))
      if (std::find(keys.begin(), keys.end(), k) == keys.end()) keys.push_back(std::move(k));
  return keys;
}

// ---- writing ---------------------------------------------------------------

void DataScreen::LinkFailed() {
  view().MessageBox(kReadErrorText, "", kMbOk);
  view().EndScreen(kScreenLinkFailure);
}

void DataScreen::PauseForWrite() {
  if (!feed_) return;
  // Stopping the live stream is the write's first step: from here the
  // screen is busy (no close, no end of session) until the write ends.
  view().SetBusy(kWritingController);
  feed_->Pause();
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
  for (const DataField& f : fields_.fields) {
    if (f.def.out_of_range != OutOfRange::kRefuse) continue;
    if (selector != kFull && selector != f.def.selector) continue;
    if (auto refused = CheckOnWrite(f.def, app_.table, view().GetText(f.control))) {
      view().MessageBox(refused->message, refused->caption, kMbOk);
      view().SetText(f.control, refused->text);
      ok = false;
    }
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
  PauseForWrite();
  if (Write(kFull, rules_.write_all) && feed_) feed_->Resume();
}

void DataScreen::OnEnter(View& view) {
  view_ = &view;
  CommitEdits();
  std::string key = app_.current_key;
  for (const auto& [from, to] : rules_.enter_writes)
    if (key == from) key = to;
  if (app_.source == kSourceFile || !FieldBySelector(key)) return;
  if (!RangesAllow(key)) return;
  PauseForWrite();
  if (!Write(key, rules_.write_one)) return;
  if (rules_.enter_rereads_into_file_store) {
    // The written parameter once more, into the file store.
    Exchange exchange = MakeExchange(rules_.write_one);
    exchange.ReadSelector(key, app_.file_store, false);
    view.SetBusy("");
  }
  if (feed_) feed_->Resume();
}

// ---- buttons ---------------------------------------------------------------

void DataScreen::Leave(int result) {
  if (feed_) feed_->Pause();
  view().EndScreen(result);
}

void DataScreen::OnNext(View& view) {
  view_ = &view;
  if (!rules_.has_next || !links_.can_go_next || !links_.can_go_next()) return;
  CommitEdits();
  Leave(kScreenNext);
}

void DataScreen::OnReturn(View& view) {
  view_ = &view;
  CommitEdits();
  Leave(kScreenReturn);
}

void DataScreen::OnExit(View& view) {
  view_ = &view;
  Leave(kScreenExit);
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
  } else if (done == FileAction::kFailed) {
    ShowStore(app_.equipment);
  }
}

void DataScreen::SaveFile() {
  CommitEdits();
  ParameterFileContext files = FileContext(app_, view(), IDC_SOURCE, rules_.save_selects_file_source);
  SaveParameterFile(files);
}

void DataScreen::RunMonitor() {
  if (!links_.run_monitor) return;
  CommitEdits();
  if (feed_) feed_->Pause();
  int result = links_.run_monitor();
  if (result == kScreenExit) return OnExit(view());
  if (rules_.refresh_after_monitor) ShowStore(SourceStore());
  if (feed_) feed_->Resume(true);
}

// ---- fields ----------------------------------------------------------------

void DataScreen::OnFocus(View& view, int id) {
  view_ = &view;
  if (const DataField* f = FieldOf(id)) {
    std::string key = f->def.selector;
    if (key.size() > kMaxCurrentKey) key.resize(kMaxCurrentKey);
    app_.current_key = key;
  }
  focus_text_ = view.GetText(id);
}

void DataScreen::CheckListTyping(const DataField& f) {
  switch (rules_.list_typing) {
    case ListTyping::kFree: return;
    case ListTyping::kRestore:
      if (!SelectText(f.control, focus_text_)) view().SetText(f.control, focus_text_);
      return;
    case ListTyping::kWarnDefault: {
      const ParameterDescriptor* d = Row(f.def.keyword);
      if (!initialised_ || !d) return;
      view().MessageBox(kListTypingText, kAttentionCaption, kMbOk);
      if (!SelectText(f.control, d->default_text)) view().SetText(f.control, d->default_text);
      return;
    }
  }
}

void DataScreen::CheckTyping(const DataField& f) {
  // The screen's own showing fills the boxes too; only the check of every
  // change looks at those.
  if (!initialised_) return;
  if (showing_ && f.def.out_of_range != OutOfRange::kDefaultWhileTyping) return;
  auto fix = CheckWhileTyping(f.def, app_.table, view().GetText(f.control));
  if (!fix) return;
  if (!fix->message.empty()) view().MessageBox(fix->message, fix->caption, kMbOk);
  view().SetText(f.control, fix->text);
}

void DataScreen::OnTextChange(View& view, int id) {
  view_ = &view;
  if (in_text_change_) return;  // our own corrections change the text too
  in_text_change_ = true;
  if (id == IDC_SOURCE && rules_.list_typing == ListTyping::kRestore) {
    SelectText(IDC_SOURCE, focus_text_);
  } else if (const DataField* f = FieldOf(id)) {
    if (IsList(*f)) CheckListTyping(*f);
    else CheckTyping(*f);
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
  return rules_.digits_only && !DigitFieldKey(key);
}

void DataScreen::OnTimer(View& view, int id) {
  view_ = &view;
  if (feed_ && id == feed_->timer()) feed_->Tick();
}

void DataScreen::OnPortReopened(View& view) {
  view_ = &view;
  // The ticks went on through the sleep; they find the stream again.
  if (feed_ && feed_->running()) feed_->StartStream();
}

void DataScreen::OnDestroy(View& view) {
  // The window's timers go with it; the stream was stopped when the screen
  // was left.
  if (feed_) feed_->Abandon();
  (void)view;
  initialised_ = false;
  view_ = nullptr;
}

}  // namespace kova
