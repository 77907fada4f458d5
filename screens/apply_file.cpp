#include "screens/apply_file.h"

#include <cstdio>
#include <functional>

#include "controller/answer_parser.h"
#include "controller/change_list.h"
#include "controller/store_access.h"
#include "resources/control_ids.h"
#include "screens/vehicle_screens.h"

namespace kova {
namespace {

using Values = std::vector<long>;  // the registers' values, in the group's order
using Shown = std::function<std::string(const Values&, CKX4DATA& store)>;

struct Group {
  const char* name;
  std::vector<const char*> keywords;  // staging order: a value's low byte first
  Shown shown;
  bool vela_only = false;
};

std::string Format(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

Shown Scaled(double scale, const char* format) {
  return [scale, format](const Values& v, CKX4DATA&) { return Format(format, v[0] * scale); };
}
Shown Whole(const char* unit) {
  return [unit](const Values& v, CKX4DATA&) { return std::to_string(v[0]) + unit; };
}
// Two registers, low then high.
Shown Word(const char* unit) {
  return [unit](const Values& v, CKX4DATA&) { return std::to_string(v[1] * 256 + v[0]) + unit; };
}
Shown Options(std::vector<const char*> texts, long first = 0) {
  return [texts, first](const Values& v, CKX4DATA&) {
    long k = v[0] - first;
    return k >= 0 && k < static_cast<long>(texts.size()) ? std::string(texts[k])
                                                         : std::to_string(v[0]);
  };
}

// What the screens write, named and shown as they show it. The live values
// (81) and the speed bands no screen shows (7A to 7C) are never sent.
std::vector<Group> Groups(int model) {
  const bool vela = model == kModelVela;
  std::vector<Group> g = {
      {"Número de Cilindros", {"2C"}, Whole("")},
      {"Número de Bobinas", {"2B"},
       [](const Values& v, CKX4DATA&) {
         return v[0] == 0 || v[0] == 9 ? std::string("Tacômetro") : std::to_string(v[0]);
       }},
      {"Tipo de Sonda Lâmbda", {"13"}, Options({"0-1 V", "0-5 V"}, 1)},
      {"Tipo de TPS", {"10"}, Options({"0-5 V", "5-0 V"}, 1)},
      {"Histerese do TPS", {"12"}, Scaled(0.02, "%.2f V")},
      {"RPM de Comutação", {"75", "76"}, Word(" rpm")},
      {"Tipo de Comutação", {"74"}, Options({"Descendente", "Ascendente"})},
      {"Retorno Automático (Combustível Líquido)", {"7F"}, Options({"Desativado", "Ativado"})},
      {"Tempo de Retorno", {"80"}, Whole(" min")},
      {"Tempo de Sinal ON", {"1E"}, Scaled(0.01, "%.2f s")},
      {"Tempo de Sinal Off", {"1F"}, Scaled(0.01, "%.2f s")},
      {"Sinal da Sonda", {"60"}, Options({"Simulado", "Aberto"})},
      {"Tempo Injeção Padrão", {"79"}, Scaled(0.1, "%.1f ms")},
      {"Tempo de Aquecimento da Sonda Lâmbda", {"15", "16"}, Word(" s")},
      {"Cut Off", {"20"}, Options({"Desativado", "Ativado"})},
      {"Abertura de Cut Off", {"21"}, Whole(" passos")},
      {"Delay de Cut Off", {"70"}, Scaled(0.02, "%.2f s")},
      {"Relé Auxiliar", {"82"}, Options({"Reset de Memória", "Emulador"})},
      {"Tempo de sobreposição", {"77"}, Scaled(0.01, "%.2f s")},
      {"Baixa Rotação - Default", {"3D"}, Whole(" passos")},
      {"Baixa Rotação - Passos Mín", {"45"}, Whole(" passos")},
      {"Baixa Rotação - Passos Máx", {"41"}, Whole(" passos")},
      {"Alta Rotação - Default", {"3E"}, Whole(" passos")},
      {"Alta Rotação - Passos Mín", {"46"}, Whole(" passos")},
      {"Alta Rotação - Passos Máx", {"42"}, Whole(" passos")},
  };
  if (vela) {
    // The period's three registers are one value: the speed they make with
    // the same store's coils and cylinders.
    g.push_back({"RPM de Cut Off", {"27", "26", "25"},
                 [](const Values& v, CKX4DATA& store) {
                   auto coils = StoreValue(store, "2B"), cylinders = StoreValue(store, "2C");
                   uint64_t period = static_cast<uint64_t>(v[2]) * 65536 + v[1] * 256 + v[0];
                   auto speed = coils && cylinders
                                    ? VelaSpeedForPeriod(*coils, *cylinders, period)
                                    : std::nullopt;
                   return speed ? std::to_string(*speed) + " rpm" : std::string("?");
                 },
                 true});
  } else {
    g.push_back({"RPM de Cut Off", {"27", "26"}, Word(" rpm")});
  }
  return g;
}

// The exchange's view of this action: the differences are what it stages;
// every written register must come back.
class ApplyExchange final : public ExchangeScreen {
 public:
  ApplyExchange(ChangeList& changes, View& view, const std::vector<ParameterDifference>& diffs,
                CKX4DATA& file)
      : changes_(changes), view_(view), diffs_(diffs), file_(file) {}
  bool ShowStore(CKX4DATA& store) override {
    for (const auto& d : diffs_)
      for (const auto& k : d.keywords)
        if (!StoreHas(store, k)) return false;
    return true;
  }
  void StageFields(std::string_view) override {
    for (const auto& d : diffs_)
      for (const auto& k : d.keywords)
        if (auto v = StoreValue(file_, k); v && *v <= 0xFF) changes_.Stage(k, ToHexText(*v));
  }
  void EnableWriteButtons(bool enabled) override {
    for (int id : {IDC_LOAD, IDC_SAVE, IDC_APPLY_FILE, IDC_NEXT, IDC_RETURN, IDC_EXIT, IDC_MONITOR})
      view_.Enable(id, enabled);
  }
  std::vector<std::string> FileKeywords() const override { return {}; }

 private:
  ChangeList& changes_;
  View& view_;
  const std::vector<ParameterDifference>& diffs_;
  CKX4DATA& file_;
};

}  // namespace

std::vector<ParameterDifference> CompareForApply(const ParameterTable& table, int model,
                                                 CKX4DATA& equipment, CKX4DATA& file) {
  std::vector<ParameterDifference> out;
  for (const Group& g : Groups(model)) {
    Values controller, from_file;
    bool complete = true, differs = false;
    for (const char* k : g.keywords) {
      // A register this model's table does not name is never sent (the
      // VELA period's high byte belongs to a named value).
      if (!table.Find(k) && std::string_view(k) != "25") complete = false;
      auto c = StoreValue(equipment, k), f = StoreValue(file, k);
      if (!c || !f || *f > 0xFF) {
        complete = false;
        break;
      }
      controller.push_back(*c);
      from_file.push_back(*f);
      differs = differs || *c != *f;
    }
    if (!complete || !differs) continue;
    out.push_back({g.name, {g.keywords.begin(), g.keywords.end()}, g.shown(controller, equipment),
                   g.shown(from_file, file)});
  }
  return out;
}

std::string ApplyQuestion(const std::vector<ParameterDifference>& differences) {
  std::string text = "Parâmetros do arquivo diferentes dos do equipamento:\n\n";
  for (const auto& d : differences)
    text += d.name + ": equipamento " + d.controller + ", arquivo " + d.file + "\n";
  text += "\nGravar os valores do arquivo no equipamento?";
  return text;
}

bool ApplyFileToController(AppContext& app, View& view) {
  std::vector<ParameterDifference> diffs =
      CompareForApply(app.table, app.model, app.equipment, app.file_store);
  if (diffs.empty()) {
    view.MessageBox("O equipamento já tem os valores do arquivo.", kApplyCaption,
                    kMbOk | kMbIconInformation);
    return true;
  }
  if (view.MessageBox(ApplyQuestion(diffs), kApplyCaption, kMbYesNo | kMbIconQuestion) != kIdYes)
    return true;

  // The controller is written and read back whatever the screens show; the
  // source they show is put back afterwards.
  const unsigned char source = app.source;
  app.source = kSourceEquipment;
  ExchangeEnv env = app.Exchange();
  env.progress = [&view](const std::string& status) { view.SetBusy(status); };
  ApplyExchange screen(app.changes, view, diffs, app.file_store);
  Exchange exchange(env, Pacing::kActuator, screen);
  WriteOutcome outcome = exchange.SendPendingWrites("FULL");
  view.SetBusy("");
  app.source = source;
  if (outcome == WriteOutcome::kReadFailed) {
    view.MessageBox(kReadErrorText, "", kMbOk);
    return false;
  }

  // Every written value must have arrived.
  std::vector<ParameterDifference> refused;
  for (auto& d : CompareForApply(app.table, app.model, app.equipment, app.file_store))
    for (const auto& w : diffs)
      if (w.name == d.name) refused.push_back(d);
  const std::size_t written = diffs.size() - refused.size();
  if (refused.empty()) {
    view.MessageBox(std::to_string(written) +
                        (written == 1 ? " parâmetro gravado no equipamento."
                                      : " parâmetros gravados no equipamento."),
                    kApplyCaption, kMbOk | kMbIconInformation);
    return true;
  }
  std::string text = "Gravados: " + std::to_string(written) +
                     ".\nO equipamento não aceitou:\n\n";
  for (const auto& d : refused)
    text += d.name + ": equipamento " + d.controller + ", arquivo " + d.file + "\n";
  view.MessageBox(text, kApplyCaption, kMbOk | kMbIconExclamation);
  return true;
}

}  // namespace kova
