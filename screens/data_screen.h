// The frame every configuration screen stands on: a table of its fields and
// a few rules as data, and one base that does what the screens share —
// lists and spin ranges from the parameter table at open time, the current
// parameter key on focus, Enter writes the focused field, the write button
// the whole screen, the "Arquivo"/"Equipamento" source selector, Load File
// and Save File, the Monitor button, and a failed read-back that shows the
// read error and ends the screen with 3. A screen adds only its special
// rules by overriding the hooks.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/model.h"
#include "controller/exchange.h"
#include "controller/pacing.h"
#include "shell/app_context.h"
#include "shell/screen_design.h"
#include "shell/screen_logic.h"

namespace kova {

// How a field shows a register value and turns an entry back into one.
enum class FieldKind {
  kOptions,        // list; position = value - the row's first device value
  kMappedOptions,  // list; position and value through the field's two maps
  kNumber,         // number box; shown = value x scale, whole
  kWord,           // number box over two registers: 256 x high + low
  kCustom,         // the screen shows and stages it itself
};

struct DataField {
  int control = 0;            // edit box or list
  int spin = 0;               // up-down of a number box, 0 when none
  const char* selector = "";  // focus name, also what Enter writes ("2C", "75_76")
  FieldKind kind = FieldKind::kOptions;
  const char* keyword = "";   // the parameter-table row (the low register of a word)
  const char* high = "";      // kWord: the high register
  bool enter_writes = true;
  bool always_staged = false;  // queued whether it changed or not ("2C")
  // A number outside the row's range is not written: the screen says so
  // and puts the limit in the box.
  bool range_checked = false;
  // kMappedOptions: the list position of a register value, and the value
  // written for a position (negative: that position writes nothing).
  int (*to_position)(long value) = nullptr;
  long (*to_value)(int position) = nullptr;
  // kNumber: decimals shown (value x scale, "%.2f" for 2) and its spin
  // moves in shown units (the row's range x scale, step = scale); 0: the
  // whole number of shown units.
  int decimals = 0;
  // A number outside the row's range is written as the nearest limit, which
  // the box then shows.
  bool clamped = false;
  // Every change of the box's text is checked against the row's range:
  // beyond it a message and the limit in the box; an empty box counts as
  // below.
  bool limited_while_typing = false;
  // kNumber: the register gets the typed number in the field's unit with
  // the digits past its decimals cut ("1.5" s at two decimals is 150
  // hundredths), limited to the row's maximum, instead of the quotient by
  // the scale rounded.
  bool cut_to_decimals = false;
};

// A number as the field shows it: whole, or with the field's decimals.
std::string FormatFixed(double shown, int decimals);
// The typed text in units of the field's last decimal ("1.5" at two
// decimals is 150; digits past the decimals are cut). Nothing for a text
// that is not a plain unsigned number.
std::optional<long> DecimalUnits(std::string_view text, int decimals);

// What the user may type into an editable list.
enum class ListTyping {
  kFree,         // nothing checked
  kRestore,      // the text it had when it got the focus comes back at once
  kWarnDefault,  // a message, then the row's default text
};

// The differences between screens, as data.
struct DataScreenRules {
  Pacing write_all = Pacing::kActuator;  // the write button
  Pacing write_one = Pacing::kActuator;  // Enter in one field
  // With "Arquivo", the write button shows the file store again (else it
  // does nothing).
  bool write_all_in_file_shows_file_store = false;
  // The source selector shows on every visit, not only after a file load.
  bool selector_always_shown = false;
  // The store of the source is shown again when the monitor returns.
  bool refresh_after_monitor = true;
  // After Enter, the written parameter is read once more into the file store.
  bool enter_rereads_into_file_store = false;
  // A save switches the source to "Arquivo".
  bool save_selects_file_source = true;
  // Next goes on (the actuator screen, the last one, has it disabled).
  bool has_next = true;
  // Buttons disabled while the screen writes.
  std::vector<int> locked_while_writing = {};
  // Keywords in the order the write button stages them; a word's two
  // registers may be named one by one.
  std::vector<std::string> stage_order = {};
  // Keywords a full read from the parameter file takes; empty: every
  // field's registers.
  std::vector<std::string> file_keywords = {};
  ListTyping list_typing = ListTyping::kFree;
  // Keys that reach the fields; empty: every key. Ctrl, Enter and Esc
  // always pass.
  bool digits_only = false;
};

// What a screen reaches beyond itself.
struct ScreenLinks {
  // Whether a screen follows with Next.
  std::function<bool()> can_go_next;
  // Runs the monitor panel and returns its result; empty while the program
  // has no monitor.
  std::function<int()> run_monitor;
};

// The frame every data screen's design shares: the template and its
// background, the seven buttons (Return, Next, Load File, Save File,
// Monitor, Exit, write), the title, the source list's font and, with
// tooltips, the frame's tooltips. The screen adds its own labels and fields.
ScreenDesign DataScreenDesign(int template_id, std::function<int()> background,
                              bool tooltips = true);

// Texts of the number checks.
inline constexpr char kAboveLimitText[] = "Valor acima do limite superior.";
inline constexpr char kBelowLimitText[] = "Valor abaixo do limite inferior.";
inline constexpr char kListTypingText[] =
    "Por favor, não altere diretamente este valor.\n"
    "Use um dos valores predefinidos na lista apresentada.\n"
    "Foi assumido um dos valores validos.\n";
inline constexpr char kAttentionCaption[] = "Atenção";
inline constexpr char kMaxAssumedCaption[] = "Atenção - Valor máximo assumido";
inline constexpr char kMinAssumedCaption[] = "Atenção - Valor mínimo assumido";

class DataScreen : public ScreenLogic, public ExchangeScreen {
 public:
  DataScreen(AppContext& app, ScreenLinks links, std::vector<DataField> fields,
             DataScreenRules rules);

  // ScreenLogic
  void OnInit(View& view) override;
  void OnNext(View& view) override;
  void OnReturn(View& view) override;
  void OnExit(View& view) override;
  void OnEnter(View& view) override;
  void OnCommand(View& view, int id) override;
  void OnFocus(View& view, int id) override;
  void OnTextChange(View& view, int id) override;
  void OnSelectionChange(View& view, int id) override;
  bool OnKey(View& view, int key) override;
  void OnDestroy(View& view) override;

  // ExchangeScreen: through the field table, in the table's order.
  bool ShowStore(CKX4DATA& store) override;
  void StageFields(std::string_view selector) override;
  void EnableWriteButtons(bool enabled) override;
  std::vector<std::string> FileKeywords() const override;

  const std::vector<DataField>& fields() const { return fields_; }
  const DataScreenRules& rules() const { return rules_; }

 protected:
  // Hooks for a screen's own rules.
  // After the lists and spin ranges, before the store is shown.
  virtual void SetUpFields() {}
  // After the store is shown on opening.
  virtual void AfterOpen() {}
  // A kCustom field: show from the store (false: a keyword is missing)...
  virtual bool ShowCustom(const DataField& field, CKX4DATA& store) {
    (void)field, (void)store;
    return true;
  }
  // ... and stage it.
  virtual void StageCustom(const DataField& field) { (void)field; }
  // Before Next, Return, Monitor, a write or a save: take what is typed in
  // the focused box (a box does not report losing the focus when the
  // screen is left with the keyboard).
  virtual void CommitEdits() {}
  // After a file was loaded into the file store and shown.
  virtual void AfterFileLoad() {}
  // Around the monitor panel (the screens with a live display stop theirs).
  virtual void BeforeMonitor() {}
  virtual void AfterMonitor(int result) { (void)result; }
  // Before a write through Enter or the write button.
  virtual void BeforeWrite() {}
  virtual void AfterWrite() {}
  // Whether Enter writes the current key here; the screen may add its own
  // keys (default: the fields whose enter_writes is set).
  virtual bool EnterWrites(std::string_view key) const;
  // What Enter writes for the current key (default: the key itself; a
  // field that is part of a group may write the whole group).
  virtual std::string EnterSelector(std::string_view key) const { return std::string(key); }

  // Shared steps a screen's rules use.
  // Every handler a screen adds starts by binding the view it was given.
  void Bind(View& view) { view_ = &view; }
  View& view() { return *view_; }
  AppContext& app() { return app_; }
  CKX4DATA& SourceStore() { return app_.source == kSourceFile ? app_.file_store : app_.equipment; }
  // The parameter-table row of a keyword (null when the model has none).
  const ParameterDescriptor* Row(std::string_view keyword) const;
  const DataField* FieldOf(int control) const;
  const DataField* FieldBySelector(std::string_view selector) const;
  // Writes the selector ("FULL": the whole screen) through the exchange with
  // the pacing, and handles a failed read-back. False when the screen ended.
  bool Write(std::string_view selector, Pacing pacing);
  // Shows the read error and ends the screen with 3.
  void LinkFailed();
  // The range of a field in the units it shows, rounded to its decimals
  // (the scales are single-precision values: 250 x 0.02 is 4.9999999).
  struct ShownRange {
    double min, max;
  };
  std::optional<ShownRange> RangeOf(const DataField& field) const;
  // Stages a typed decimal number as the field's cut-to-decimals rule says.
  void StageDecimalText(std::string_view keyword, const std::string& text, int decimals,
                        bool always = false);
  // True while the store is being shown: text changes then come from the
  // screen, not from the user.
  bool showing() const { return showing_; }
  // Shows the source selector set after the source flag.
  void ShowSelector();
  // Selects the list entry whose text is `text`; false when none has it.
  bool SelectText(int control, const std::string& text);
  // The number a field shows (its text read as a number).
  std::optional<double> FieldNumber(int control);
  // Stages one register with the text mode of the screens: the decimal
  // number divided by the scale, rounded, as hexadecimal; compared with the
  // equipment store unless always.
  void StageNumber(std::string_view keyword, double number, bool always = false);
  // Stages a register's device value as hexadecimal; compared with the
  // equipment store unless always.
  void StageValue(std::string_view keyword, long value, bool always = false);
  Exchange MakeExchange(Pacing pacing);

  bool initialised() const { return initialised_; }

 private:
  void FillLists();
  bool ShowField(const DataField& field, CKX4DATA& store);
  void StageField(const DataField& field, std::string_view part);
  void StageKeyword(std::string_view keyword);
  bool WithinRange(const DataField& field, const ParameterDescriptor& d, double number);
  void CheckTypedLimits(const DataField& field);
  double Clamp(const DataField& field, double number);
  bool RangesAllow(std::string_view selector);
  void WriteAll();
  void LoadFile();
  void SaveFile();
  void RunMonitor();
  void CheckListTyping(const DataField& field);

  AppContext& app_;
  ScreenLinks links_;
  std::vector<DataField> fields_;
  DataScreenRules rules_;
  View* view_ = nullptr;
  bool initialised_ = false;
  bool in_text_change_ = false;
  bool showing_ = false;
  std::string focus_text_;  // a list's text when it got the focus
};

}  // namespace kova
