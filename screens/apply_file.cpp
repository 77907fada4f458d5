#include "screens/apply_file.h"

#include <algorithm>

#include "common/texts.h"
#include "controller/change_list.h"
#include "controller/store_access.h"
#include "resources/control_ids.h"
#include "screens/file_actions.h"
#include "screens/work_cycle.h"

namespace kova {
namespace {

// A field's name in a list of parameters: its label, after its heading
// where another field of the screen has the same label; in the chosen
// language.
std::string NameOf(const ScreenFields& screen, const DataField& field) {
  const FieldDef& f = field.def;
  int same = 0;
  for (const DataField& other : screen.fields)
    if (std::string_view(other.def.label) == f.label) ++same;
  return same > 1 && f.group[0] ? Tr(f.group) + " - " + Tr(f.label) : Tr(f.label);
}

bool SameValues(const RegisterValues& a, const RegisterValues& b) {
  if (a.size() != b.size()) return false;
  for (const RegisterValue& v : a)
    if (std::find(b.begin(), b.end(), v) == b.end()) return false;
  return true;
}

// A value as its field shows it; "—" where the field is not on its screen
// for these values (the operating mode of a simulated signal), the
// register text itself where the field has no way to show it.
std::string Shown(const FieldDef& f, const ParameterTable& table, int model, CKX4DATA& store) {
  std::string text = ShownWithUnit(f, DisplayField(f, table, model, store));
  if (!text.empty()) return text;
  if (!FieldShown(f, model, store)) return "—";
  for (const std::string& k : FieldRegisters(f, model)) {
    if (!text.empty()) text += " ";
    text += k + "=" + StoreGet(store, k).value_or("?");
  }
  return text;
}

std::string Lines(const std::vector<ParameterDifference>& list, bool with_controller) {
  std::string text;
  for (const auto& d : list) {
    text += with_controller ? TrFormat("{0}: equipamento {1}, arquivo {2}", {d.name, d.controller, d.file})
                            : TrFormat("{0}: arquivo {1}", {d.name, d.file});
    if (!d.refused.empty()) text += " (" + d.refused + ")";
    text += "\n";
  }
  return text;
}

// What is left out, for the question and the last report.
std::string LeftOut(const ApplyComparison& c) {
  std::vector<ParameterDifference> refused;
  for (const auto& d : c.differences)
    if (!d.refused.empty()) refused.push_back(d);
  std::string text;
  if (!refused.empty())
    text += "\n" + Tr("Não serão gravados (fora do que a tela permite):") + "\n\n" +
            Lines(refused, true);
  if (!c.unreadable.empty()) {
    text += "\n" + Tr("Ignorados (valor ilegível no arquivo):") + "\n\n";
    for (const auto& u : c.unreadable) text += u + "\n";
  }
  return text;
}

// The exchange's view of this action: the differences are what it stages;
// every written register must come back.
class ApplyExchange final : public ExchangeScreen {
 public:
  ApplyExchange(ChangeList& changes, View& view, const std::vector<ParameterDifference>& writes)
      : changes_(changes), view_(view), writes_(writes) {}
  bool ShowStore(CKX4DATA& store) override {
    for (const auto& d : writes_)
      for (const auto& v : d.values)
        if (!StoreHas(store, v.keyword)) return false;
    return true;
  }
  void StageFields(std::string_view) override {
    std::vector<std::string> staged;
    for (const auto& d : writes_)
      for (const auto& v : d.values) {
        // A register two fields share (the probe mode) goes out once.
        if (std::find(staged.begin(), staged.end(), v.keyword) != staged.end()) continue;
        staged.push_back(v.keyword);
        changes_.Stage(v.keyword, ToHexText(static_cast<uint64_t>(v.value)));
      }
  }
  void EnableWriteButtons(bool enabled) override {
    for (int id : {IDC_LOAD, IDC_SAVE, IDC_APPLY_FILE, IDC_NEXT, IDC_RETURN, IDC_EXIT, IDC_MONITOR})
      view_.Enable(id, enabled);
  }
  std::vector<std::string> FileKeywords() const override { return {}; }

 private:
  ChangeList& changes_;
  View& view_;
  const std::vector<ParameterDifference>& writes_;
};

ExchangeEnv EnvWithProgress(AppContext& app, View& view) {
  ExchangeEnv env = app.Exchange();
  env.progress = [&view](const std::string& status) { view.SetBusy(status); };
  return env;
}

}  // namespace

bool ApplyComparison::Writes() const {
  return std::any_of(differences.begin(), differences.end(),
                     [](const ParameterDifference& d) { return d.refused.empty(); });
}

ApplyComparison CompareForApply(const ParameterTable& table, int model, CKX4DATA& equipment,
                                CKX4DATA& file) {
  ApplyComparison out;
  for (const ScreenFields& screen : WorkCycleScreens(model)) {
    for (const DataField& field : screen.fields) {
      const FieldDef& f = field.def;
      auto controller = ValuesFromStore(f, model, equipment);
      auto from_file = ValuesFromStore(f, model, file);
      // A register never read from the controller, or one the file lacks,
      // is not compared.
      if (!controller || !controller->unreadable.empty() || !from_file) continue;
      if (!from_file->unreadable.empty()) {
        std::string values;
        for (const auto& k : from_file->unreadable) values += " " + StoreGet(file, k).value_or("");
        out.unreadable.push_back(NameOf(screen, field) + ":" + values);
        continue;
      }
      if (SameValues(controller->values, from_file->values)) continue;
      ParameterDifference d{NameOf(screen, field), from_file->values,
                            Shown(f, table, model, equipment), Shown(f, table, model, file),
                            RefusalOf(f, table, model, from_file->values, file)};
      // Registers that differ and show the same (the probe mode within the
      // signal type) are told by the field that shows the difference.
      if (d.controller == d.file && d.refused.empty()) continue;
      out.differences.push_back(std::move(d));
    }
  }
  // Fields that share a register go out together or not at all (the probe
  // mode with the signal type).
  for (const ParameterDifference& refused : out.differences) {
    if (refused.refused.empty()) continue;
    for (ParameterDifference& d : out.differences) {
      if (&d == &refused || !d.refused.empty()) continue;
      for (const RegisterValue& v : d.values)
        for (const RegisterValue& r : refused.values)
          if (v.keyword == r.keyword) d.refused = TrFormat("vai com {0}", {refused.name});
    }
  }
  return out;
}

std::string ApplyQuestion(const ApplyComparison& comparison) {
  std::vector<ParameterDifference> writes;
  for (const auto& d : comparison.differences)
    if (d.refused.empty()) writes.push_back(d);
  std::string text = Tr("Parâmetros do arquivo diferentes dos do equipamento:") + "\n\n";
  text += Lines(writes, true);
  text += LeftOut(comparison);
  text += "\n" + Tr("Gravar os valores do arquivo no equipamento?");
  return text;
}

bool EnsureControllerRead(AppContext& app, View& view) {
  // A work cycle that began with a loaded file has not read the
  // controller: nothing is compared against values it does not hold.
  if (StoreHas(app.equipment, "1E") && StoreHas(app.equipment, "1F")) return true;
  const bool read = ReadInitialConfiguration(EnvWithProgress(app, view));
  view.SetBusy("");
  if (!read) view.MessageBox(kReadErrorText, "", kMbOk);
  return read;
}

bool ReadLoadedFile(AppContext& app, CKX4DATA& into) {
  // The file as it is now (a new work cycle has emptied the file store).
  into = app.equipment;
  return !app.loaded_file.empty() && into.ReadConfigINI(app.loaded_file, app.ModelName()) >= 0;
}

bool ApplyFileToController(AppContext& app, View& view) {
  if (app.loaded_file.empty()) return true;
  if (!EnsureControllerRead(app, view)) return false;
  // The values compared are the values written.
  CKX4DATA file;
  if (!ReadLoadedFile(app, file)) {
    view.MessageBox(kLoadErrorText, kLoadErrorCaption, kMbIconInformation);
    return true;
  }

  const ApplyComparison comparison = CompareForApply(app.table, app.model, app.equipment, file);
  if (comparison.differences.empty() && comparison.unreadable.empty()) {
    view.MessageBox("O equipamento já tem os valores do arquivo.", kApplyCaption,
                    kMbOk | kMbIconInformation);
    return true;
  }
  if (!comparison.Writes()) {
    view.MessageBox(Tr("Nada foi gravado: nenhum valor do arquivo pode ir para o equipamento.") +
                        "\n" + LeftOut(comparison),
                    kApplyCaption, kMbOk | kMbIconExclamation);
    return true;
  }
  if (view.MessageBox(ApplyQuestion(comparison), kApplyCaption, kMbYesNo | kMbIconQuestion) != kIdYes)
    return true;

  std::vector<ParameterDifference> writes;
  for (const auto& d : comparison.differences)
    if (d.refused.empty()) writes.push_back(d);

  // The controller is written and read back whatever the screens show; the
  // source they show is put back afterwards.
  const unsigned char source = app.source;
  app.source = kSourceEquipment;
  ApplyExchange screen(app.changes, view, writes);
  Exchange exchange(EnvWithProgress(app, view), Pacing::kActuator, screen);
  WriteOutcome outcome = exchange.SendPendingWrites(kFull);
  view.SetBusy("");
  app.source = source;
  if (outcome == WriteOutcome::kReadFailed) {
    view.MessageBox(kReadErrorText, "", kMbOk);
    return false;
  }

  // Every written value must have arrived.
  std::vector<ParameterDifference> not_taken;
  for (const auto& d : writes) {
    bool arrived = true;
    for (const auto& v : d.values) arrived = arrived && StoreValue(app.equipment, v.keyword) == v.value;
    if (!arrived) {
      ParameterDifference now = d;
      for (const ScreenFields& s : WorkCycleScreens(app.model))
        for (const DataField& field : s.fields)
          if (NameOf(s, field) == d.name) now.controller = Shown(field.def, app.table, app.model, app.equipment);
      not_taken.push_back(now);
    }
  }
  const std::size_t written = writes.size() - not_taken.size();
  std::string text;
  if (not_taken.empty()) {
    const std::string n = std::to_string(written);
    text = written == 1 ? TrFormat("{0} parâmetro gravado no equipamento.", {n})
                        : TrFormat("{0} parâmetros gravados no equipamento.", {n});
  } else {
    text = TrFormat("Gravados: {0}.", {std::to_string(written)}) + "\n" +
           Tr("O equipamento não aceitou:") + "\n\n" + Lines(not_taken, true);
  }
  const std::string left_out = LeftOut(comparison);
  const bool complete = not_taken.empty() && left_out.empty();
  view.MessageBox(text + left_out, kApplyCaption,
                  kMbOk | (complete ? kMbIconInformation : kMbIconExclamation));
  return true;
}

}  // namespace kova
