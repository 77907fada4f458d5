// The frame every configuration screen stands on: a table of its fields and
// a few rules as data, and one base that does what the screens share —
// title, labels, lists and spin ranges from the field table and the
// parameter table at open time, the current parameter key on focus, Enter
// writes the focused field, the write button the whole screen, the
// "Arquivo"/"Equipamento" source selector, Load File and Save File, the
// Monitor button, a live feed paused around writes, the monitor and
// leaving, and a failed read-back that shows the read error and ends the
// screen with 3. A screen adds only its own layout rules.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/model.h"
#include "controller/exchange.h"
#include "controller/field_value.h"
#include "controller/pacing.h"
#include "shell/app_context.h"
#include "shell/screen_design.h"
#include "shell/screen_logic.h"

namespace kova {

class LiveFeed;

// A field on its screen: the controls, and what it shows and writes.
struct DataField {
  int control = 0;   // edit box or list
  int spin = 0;      // up-down of a number box, 0 when none
  int label_id = 0;  // the label that shows def.label, 0 when another field's does
  int unit_id = 0;   // the label that shows def.unit, 0 when none
  int group_id = 0;  // the heading that shows def.group, 0 when none
  FieldDef def;
};

// A screen's title and fields, in the order it shows them.
struct ScreenFields {
  const char* title = "";
  int title_id = 0;
  std::vector<DataField> fields;
};

// What the user may type into an editable list.
enum class ListTyping {
  kFree,         // nothing checked
  kRestore,      // the text it had when it got the focus comes back at once
  kWarnDefault,  // a message, then the row's default text
};

// The buttons a write disables until it is done.
enum class WriteLock {
  kFileButtons,   // Load File, Save File and the write button
  kLeaveButtons,  // Return, Exit and the write button
};
std::vector<int> LockedControls(WriteLock lock);

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
  WriteLock lock = WriteLock::kFileButtons;
  // Selectors in the order the write button stages them; a word's two
  // registers may be named one by one. Empty: the fields' order.
  std::vector<std::string> stage_order = {};
  // Keywords a full read from the parameter file takes; empty: every
  // field's registers.
  std::vector<std::string> file_keywords = {};
  // Fields written together: staging the first selector stages the others
  // after it (the signal type and the times it runs on).
  std::vector<std::vector<std::string>> staged_together = {};
  // Enter in a field whose key is first writes the selector second (the
  // operating mode is part of the signal type).
  std::vector<std::pair<std::string, std::string>> enter_writes = {};
  ListTyping list_typing = ListTyping::kFree;
  // Only digits, the decimal keys, arrows and editing keys reach the
  // fields; Ctrl, Enter and Esc always pass.
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
// background, the frame's buttons (Return, Next, Load File, Save File,
// Monitor, Exit, and the write button or the one given instead), the
// title, the source list's font and, with tooltips, the frame's tooltips.
// The screen adds its own labels and fields.
ScreenDesign DataScreenDesign(int template_id, std::function<int()> background,
                              bool tooltips = true, FrameButton action = {0, 0, nullptr});

// Texts of the list checks.
inline constexpr char kListTypingText[] =
    "Por favor, não altere diretamente este valor.\n"
    "Use um dos valores predefinidos na lista apresentada.\n"
    "Foi assumido um dos valores validos.\n";
inline constexpr char kAttentionCaption[] = "Atenção";

class DataScreen : public ScreenLogic, public ExchangeScreen {
 public:
  DataScreen(AppContext& app, ScreenLinks links, ScreenFields fields, DataScreenRules rules,
             LiveFeed* feed = nullptr);

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
  void OnTimer(View& view, int id) override;
  void OnPortReopened(View& view) override;
  void OnDestroy(View& view) override;

  // ExchangeScreen: through the field table, in the table's order.
  bool ShowStore(CKX4DATA& store) override;
  void StageFields(std::string_view selector) override;
  void EnableWriteButtons(bool enabled) override;
  std::vector<std::string> FileKeywords() const override;

  const std::vector<DataField>& fields() const { return fields_.fields; }
  const DataScreenRules& rules() const { return rules_; }

 protected:
  // A screen's own steps.
  // After the lists and spin ranges, before the store is shown.
  virtual void SetUpFields() {}
  // After the store is shown on opening.
  virtual void AfterOpen() {}
  // Before Next, Return, Monitor, a write or a save: take what is typed in
  // the focused box (a box does not report losing the focus when the
  // screen is left with the keyboard).
  virtual void CommitEdits() {}
  // After a file was loaded into the file store and shown.
  virtual void AfterFileLoad() {}

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
  // Stops a live display for a write, the screen busy from then on.
  void PauseForWrite();
  // Writes the selector ("FULL": the whole screen) through the exchange with
  // the pacing, and handles a failed read-back. False when the screen ended.
  bool Write(std::string_view selector, Pacing pacing);
  // Shows the read error and ends the screen with 3.
  void LinkFailed();
  // True while the store is being shown: text changes then come from the
  // screen, not from the user.
  bool showing() const { return showing_; }
  // Selects the list entry whose text is `text`; false when none has it.
  bool SelectText(int control, const std::string& text);
  Exchange MakeExchange(Pacing pacing);

  bool initialised() const { return initialised_; }

 private:
  void SetTexts();
  void FillLists();
  void ShowSelector();
  bool ShowField(const DataField& field, CKX4DATA& store);
  void StageField(const DataField& field, std::string_view part);
  void StageSelector(std::string_view selector);
  void StageKeyword(std::string_view keyword);
  bool RangesAllow(std::string_view selector);
  void WriteAll();
  void LoadFile();
  void SaveFile();
  void RunMonitor();
  void CheckListTyping(const DataField& field);
  void CheckTyping(const DataField& field);
  void Leave(int result);

  AppContext& app_;
  ScreenLinks links_;
  ScreenFields fields_;
  DataScreenRules rules_;
  LiveFeed* feed_;
  View* view_ = nullptr;
  bool initialised_ = false;
  bool in_text_change_ = false;
  bool showing_ = false;
  std::string focus_text_;  // a list's text when it got the focus
};

}  // namespace kova
