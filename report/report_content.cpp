#include "report/report_content.h"

#include <cstdio>

#include "common/cp1252.h"
#include "common/texts.h"
#include "controller/field_value.h"
#include "controller/store_access.h"
#include "screens/apply_file.h"
#include "screens/customer_screen.h"
#include "screens/work_cycle.h"
#include "shell/app_context.h"

namespace kova {
namespace {

// What a field with nothing to show shows on paper.
constexpr char kNoValue[] = "—";

// A parameter file goes by its name, without its folder.
std::string FileName(const std::string& path) {
  return path.substr(path.find_last_of("\\/") + 1);
}

ReportBlock Block(BlockKind kind, std::string text) { return {kind, {std::move(text)}}; }

ReportHeader Header(AppContext& app, const ReportFacts& facts) {
  ReportHeader h;
  for (const std::string* text : {&facts.workshop.name, &facts.workshop.address,
                                  &facts.workshop.phone})
    if (!text->empty()) h.workshop.push_back(*text);
  h.facts.push_back(TrFormat("Emitido em {0}", {FormatDateTime(facts.now)}));
  h.facts.push_back(TrFormat("KOVA versão {0}", {facts.version}));
  const int model = app.model >= 0 && app.model < 3 ? app.model : kModelVela;
  h.facts.push_back(TrFormat("Equipamento {0} na COM{1}",
                             {kModelNames[model], std::to_string(app.port.GetPortNumber())}));
  return h;
}

void Customer(AppContext& app, std::vector<ReportBlock>& out) {
  out.push_back(Block(BlockKind::kHeading, Tr("Cliente e veículo")));
  for (int i = 0; i < CustomerRecord::kFieldCount; ++i) {
    const auto field = static_cast<CustomerRecord::Field>(i);
    out.push_back({BlockKind::kRow,
                   {Tr(CustomerScreen::LabelOf(field)), Cp1252ToUtf8(app.customer.Get(field))}});
  }
}

// Every field the model's screens show for the store, with its value as the
// screen shows it.
void Configuration(AppContext& app, CKX4DATA& store, std::vector<ReportBlock>& out) {
  for (const ScreenFields& screen : WorkCycleScreens(app.model)) {
    out.push_back(Block(BlockKind::kSubheading, Tr(screen.title)));
    std::string group;
    for (const DataField& field : screen.fields) {
      const FieldDef& f = field.def;
      if (!FieldShown(f, app.model, store)) continue;
      const FieldDisplay shown = DisplayField(f, app.table, app.model, store);
      if (!shown.complete && f.optional) continue;
      if (f.group != group) {
        group = f.group;
        if (!group.empty()) out.push_back(Block(BlockKind::kGroup, Tr(group)));
      }
      std::string value = ShownWithUnit(f, shown);
      out.push_back({BlockKind::kRow, {Tr(f.label), value.empty() ? kNoValue : value},
                     !group.empty()});
    }
  }
}

void Differences(AppContext& app, CKX4DATA& file, std::vector<ReportBlock>& out) {
  const ApplyComparison c = CompareForApply(app.table, app.model, app.equipment, file);
  out.push_back(Block(BlockKind::kHeading, Tr("Diferenças")));
  if (c.differences.empty() && c.unreadable.empty()) {
    out.push_back(Block(BlockKind::kText, Tr("O equipamento tem os valores do arquivo.")));
    return;
  }
  if (!c.differences.empty()) {
    out.push_back(Block(BlockKind::kText,
                        TrFormat("Parâmetros do arquivo {0} diferentes dos do equipamento:",
                                 {FileName(app.loaded_file)})));
    out.push_back({BlockKind::kTableHead, {Tr("Parâmetro"), Tr("Equipamento"), Tr("Arquivo")}});
  }
  for (const ParameterDifference& d : c.differences) {
    std::string in_file = d.file;
    if (!d.refused.empty()) in_file += " (" + d.refused + ")";
    out.push_back({BlockKind::kRow, {d.name, d.controller, in_file}});
  }
  for (const std::string& u : c.unreadable)
    out.push_back(Block(BlockKind::kText, TrFormat("Valor ilegível no arquivo: {0}", {u})));
}

}  // namespace

std::string FormatDateTime(std::time_t t) {
  const std::tm* tm = std::localtime(&t);
  if (!tm) return {};
  char text[64];  // room for any year the compiler can imagine
  std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", tm->tm_mday, tm->tm_mon + 1,
                tm->tm_year + 1900, tm->tm_hour, tm->tm_min);
  return text;
}

ReportContent BuildReport(AppContext& app, const ReportFacts& facts) {
  ReportContent r;
  r.header = Header(app, facts);
  r.blocks.push_back(Block(BlockKind::kTitle, Tr("Relatório da instalação")));
  Customer(app, r.blocks);

  // The values of the source the screens show; the file as it is now (a
  // later work cycle has emptied the file store).
  const bool controller_read = StoreHas(app.equipment, "1E") && StoreHas(app.equipment, "1F");
  CKX4DATA file;
  const bool file_read = ReadLoadedFile(app, file);
  if (!file_read) file = app.file_store;
  const bool from_file = app.source == kSourceFile;

  r.blocks.push_back(Block(BlockKind::kHeading, Tr("Configuração")));
  std::string origin;
  if (from_file)
    origin = TrFormat("Valores do arquivo {0}.", {FileName(app.loaded_file)});
  else if (app.equipment_read_at)
    origin = TrFormat("Valores lidos do equipamento em {0}.", {FormatDateTime(*app.equipment_read_at)});
  else
    origin = Tr("Valores do equipamento.");
  r.blocks.push_back(Block(BlockKind::kText, origin));
  Configuration(app, from_file ? file : app.equipment, r.blocks);

  if (file_read && controller_read) Differences(app, file, r.blocks);
  return r;
}

std::string ReportDocumentName(const AppContext& app) {
  std::string name = Tr("Relatório da instalação");
  std::string client = Cp1252ToUtf8(app.customer.Get(CustomerRecord::kClientes));
  if (!client.empty()) name += " - " + client;
  return name;
}

}  // namespace kova
