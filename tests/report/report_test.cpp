// The installation report: what it says for each model, a loaded file set
// against the controller, the customer screen's button, lines and pages on
// a measure of fixed-width characters, and the print sequence on a device
// that fails where a test tells it.
#include <gtest/gtest.h>

#include <fstream>

#include "common/texts.h"
#include "controller/field_value.h"
#include "report/print_job.h"
#include "report/report_content.h"
#include "report/report_layout.h"
#include "resources/control_ids.h"
#include "screens/customer_screen.h"
#include "screens/work_cycle.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

// Every character as wide as half its font's height.
class FixedMeasure final : public TextMeasure {
 public:
  int Width(TextStyle style, std::string_view text) const override {
    int chars = 0;
    for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
    return chars * FontHeight(style) / 2;
  }
};

const ReportFacts kFacts{{"Oficina Exemplo", "Rua A, 1", "(11) 5555-0101"}, 1700000000, "1.0.0"};

// The blocks of one part: after its heading, up to the next heading.
std::vector<ReportBlock> Part(const ReportContent& r, const std::string& heading) {
  std::vector<ReportBlock> out;
  bool in = false;
  for (const ReportBlock& b : r.blocks) {
    if (b.kind == BlockKind::kHeading) in = b.cells[0] == heading;
    else if (in) out.push_back(b);
  }
  return out;
}

std::vector<std::string> TextsOf(const std::vector<ReportBlock>& blocks, BlockKind kind) {
  std::vector<std::string> out;
  for (const ReportBlock& b : blocks)
    if (b.kind == kind) out.push_back(b.cells[0]);
  return out;
}

// Writes a parameter file of the controller's values with some changed and
// loads it from the customer screen.
std::string LoadFileWith(ScreenBench& bench, CustomerScreen& screen,
                         std::initializer_list<std::pair<const char*, const char*>> changed) {
  CKX4DATA file;
  file = bench.app.equipment;
  for (auto [k, v] : changed) file.Add(k, v);
  const std::string path = bench.Path(bench.app.IsVela() ? "kit.VELA" : "kit.BRIO");
  file.WriteConfigINI(path, bench.app.ModelName());
  bench.view.dialog_answers.push_back(path);
  screen.OnCommand(bench.view, IDC_LOAD);
  return path;
}

TEST(ReportContent, EveryValueTheScreensShowOnceWithItsUnitForEachModel) {
  for (int model : {kModelBrio, kModelVela, kModelVelaPlus}) {
    SCOPED_TRACE(kModelNames[model]);
    ScreenBench bench(model);
    bench.app.customer.Set(CustomerRecord::kPlaca, "ABC1D23");
    const ReportContent r = BuildReport(bench.app, kFacts);

    EXPECT_EQ(r.header.workshop, (std::vector<std::string>{"Oficina Exemplo", "Rua A, 1",
                                                           "(11) 5555-0101"}));
    EXPECT_EQ(r.header.facts[1], "KOVA versão 1.0.0");
    EXPECT_EQ(r.header.facts[2], std::string("Equipamento ") + kModelNames[model] + " na COM1");

    const auto customer = Part(r, "Cliente e veículo");
    ASSERT_EQ(customer.size(), 9u);
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(customer[i].cells[0],
                CustomerScreen::LabelOf(static_cast<CustomerRecord::Field>(i)));
    EXPECT_EQ(customer[CustomerRecord::kPlaca].cells[1], "ABC1D23");

    const auto config = Part(r, "Configuração");
    ASSERT_FALSE(config.empty());
    EXPECT_EQ(config[0].cells[0],
              "Valores lidos do equipamento em " + FormatDateTime(*bench.app.equipment_read_at) + ".");
    std::vector<std::string> titles;
    for (const ScreenFields& screen : WorkCycleScreens(model)) titles.push_back(screen.title);
    EXPECT_EQ(TextsOf(config, BlockKind::kSubheading), titles);
    // One row per field its screen shows, each with a value and its unit,
    // under its screen and group.
    std::size_t rows = 0, shown = 0;
    for (const ReportBlock& b : config) rows += b.kind == BlockKind::kRow;
    auto row = config.begin();
    for (const ScreenFields& screen : WorkCycleScreens(model))
      for (const DataField& field : screen.fields) {
        if (!FieldShown(field.def, model, bench.app.equipment)) continue;
        ++shown;
        row = std::find_if(row, config.end(), [&](const ReportBlock& b) {
          return b.kind == BlockKind::kRow && b.cells[0] == field.def.label;
        });
        ASSERT_NE(row, config.end()) << field.def.label;
        const std::string& value = row->cells[1];
        EXPECT_NE(value, "—") << field.def.label;
        const std::string unit = field.def.unit;
        if (!unit.empty()) {
          EXPECT_EQ(value.substr(value.size() - std::min(value.size(), unit.size() + 1)), " " + unit)
              << field.def.label << ": " << value;
        }
        EXPECT_EQ(row->indented, field.def.group[0] != 0);
        ++row;
      }
    EXPECT_EQ(rows, shown);
    EXPECT_TRUE(Part(r, "Diferenças").empty());  // no file loaded
  }
}

TEST(ReportContent, WhatTheLambdaScreenHidesForTheRealProbeIsNotReported) {
  ScreenBench bench(kModelBrio);
  auto rows = [&] {
    std::string out;
    for (const ReportBlock& b : Part(BuildReport(bench.app, kFacts), "Configuração"))
      if (b.kind == BlockKind::kRow) out += b.cells[0] + ";";
    return out;
  };
  EXPECT_NE(rows().find("Tempo ON;"), std::string::npos);
  EXPECT_EQ(rows().find("Modo de Funcionamento;"), std::string::npos);
  bench.app.equipment.Add("60", "3");
  bench.app.equipment.Add("78", "1");  // the real probe, automatic
  EXPECT_EQ(rows().find("Tempo ON;"), std::string::npos);
  EXPECT_NE(rows().find("Modo de Funcionamento;"), std::string::npos);
}

TEST(ReportContent, ALoadedFileShowsItsValuesAndWhatDiffersFromTheController) {
  ScreenBench bench(kModelBrio);
  CustomerScreen screen(bench.app, {[] { return true; }, nullptr});
  screen.OnInit(bench.view);
  LoadFileWith(bench, screen, {{"2B", "9"}, {"1E", "32"}, {"21", "1G"}});
  ASSERT_EQ(bench.app.source, kSourceFile);

  ReportContent r = BuildReport(bench.app, kFacts);
  const auto config = Part(r, "Configuração");
  EXPECT_EQ(config[0].cells[0], "Valores do arquivo kit.BRIO.");
  auto value_of = [&config](const char* label) {
    for (const ReportBlock& b : config)
      if (b.kind == BlockKind::kRow && b.cells[0] == label) return b.cells[1];
    return std::string("<none>");
  };
  EXPECT_EQ(value_of("Número de Bobinas"), "Tacômetro");
  EXPECT_EQ(value_of("Tempo ON"), "0.50 s");

  const auto diff = Part(r, "Diferenças");
  ASSERT_GE(diff.size(), 4u);
  EXPECT_EQ(diff[0].cells[0], "Parâmetros do arquivo kit.BRIO diferentes dos do equipamento:");
  EXPECT_EQ(diff[1].kind, BlockKind::kTableHead);
  EXPECT_EQ(diff[1].cells, (std::vector<std::string>{"Parâmetro", "Equipamento", "Arquivo"}));
  std::vector<std::vector<std::string>> rows;
  for (const ReportBlock& b : diff)
    if (b.kind == BlockKind::kRow) rows.push_back(b.cells);
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"Número de Bobinas", "1", "Tacômetro"},
                                                         {"Tempo ON", "0.36 s", "0.50 s"}}));
  EXPECT_EQ(TextsOf(diff, BlockKind::kText).back(), "Valor ilegível no arquivo: Abertura de Cut Off: 1G");

  // With the controller's source chosen the values are the controller's;
  // the differences stay.
  bench.app.source = kSourceEquipment;
  r = BuildReport(bench.app, kFacts);
  EXPECT_EQ(Part(r, "Configuração")[0].cells[0].rfind("Valores lidos do equipamento em ", 0), 0u);
  EXPECT_FALSE(Part(r, "Diferenças").empty());

  // The same values on both sides.
  LoadFileWith(bench, screen, {});
  EXPECT_EQ(TextsOf(Part(BuildReport(bench.app, kFacts), "Diferenças"), BlockKind::kText),
            std::vector<std::string>{"O equipamento tem os valores do arquivo."});
}

TEST(ReportButton, ReadsAControllerTheWorkCycleHasNotReadThenOpensTheReport) {
  ScreenBench bench(kModelVela);
  int opened = 0;
  CustomerScreen screen(bench.app, {[] { return true; }, nullptr}, [&opened] { ++opened; });
  screen.OnInit(bench.view);
  bench.app.customer.Set(CustomerRecord::kClientes, "antes");
  bench.view.SetText(IDC_CLIENT, "Maria");
  bench.Forget();
  screen.OnCommand(bench.view, IDC_REPORT);
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(bench.Frames().empty());  // read at the start of the cycle
  EXPECT_EQ(bench.app.customer.Get(CustomerRecord::kClientes), "Maria");  // what is typed counts
  EXPECT_EQ(ReportDocumentName(bench.app), "Relatório da instalação - Maria");

  // A later work cycle begun with a loaded file reads the controller first.
  LoadFileWith(bench, screen, {{"2C", "6"}});
  bench.app.ClearStores();
  EXPECT_FALSE(bench.app.equipment_read_at);
  bench.Forget();
  screen.OnCommand(bench.view, IDC_REPORT);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(bench.Frames(), (std::vector<ScreenBench::Bytes>{{0x09, 0x00}}));
  EXPECT_TRUE(bench.app.equipment_read_at);
  EXPECT_FALSE(Part(BuildReport(bench.app, kFacts), "Diferenças").empty());

  // Silent, it is the link failure of every screen.
  bench.app.ClearStores();
  bench.sim.faults().silent = true;
  screen.OnCommand(bench.view, IDC_REPORT);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(bench.view.messages.back().text, kReadErrorText);
  EXPECT_EQ(bench.view.ended, std::vector<int>{kScreenLinkFailure});
}

// ---- lines and pages ----------------------------------------------------

TEST(ReportLayout, WrapsAtBlanksAndLineBreaksAndBreaksWordsWiderThanTheColumn) {
  FixedMeasure m;
  auto ch = [](int n) { return n * FontHeight(TextStyle::kBody) / 2; };
  EXPECT_EQ(WrapText("um dois três quatro", ch(9), TextStyle::kBody, m),
            (std::vector<std::string>{"um dois", "três", "quatro"}));
  EXPECT_EQ(WrapText("linha 1\r\nlinha 2\n\nfim", ch(40), TextStyle::kBody, m),
            (std::vector<std::string>{"linha 1", "linha 2", "", "fim"}));
  // Whole characters: "ç" and "ã" are two bytes each.
  EXPECT_EQ(WrapText("ççççççã ok", ch(4), TextStyle::kBody, m),
            (std::vector<std::string>{"çççç", "ççã", "ok"}));
  EXPECT_EQ(WrapText("", ch(10), TextStyle::kBody, m), std::vector<std::string>{""});
}

// Where each text of the pages lies, against the page's areas.
void ExpectWithinAreas(const std::vector<ReportPage>& pages, const BodyArea& body) {
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const ReportPage& p = pages[n];
    ASSERT_FALSE(p.texts.empty());
    EXPECT_EQ(p.texts.back().text,
              "Página " + std::to_string(n + 1) + " de " + std::to_string(pages.size()));
    EXPECT_GT(p.texts.back().y + LineHeight(TextStyle::kSmall), body.bottom);
    EXPECT_LE(p.texts.back().y + LineHeight(TextStyle::kSmall), kPaperHeight - kMarginBottom);
    const PageText* last = nullptr;
    for (const PageText& t : p.texts) {
      const int w = FixedMeasure().Width(t.style, t.text);
      const int left = t.x - (t.align == Align::Right ? w : t.align == Align::Centre ? w / 2 : 0);
      EXPECT_GE(left, kMarginLeft) << t.text;
      EXPECT_LE(left + w, kPaperWidth - kMarginRight) << t.text;
      if (&t == &p.texts.back() || t.y < body.top) continue;
      EXPECT_LE(t.y + LineHeight(t.style), body.bottom) << "page " << n + 1 << ": " << t.text;
      last = &t;
    }
    // No page ends with a heading.
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->style == TextStyle::kBody || last->style == TextStyle::kLabel)
        << "page " << n + 1 << " ends with " << last->text;
  }
}

TEST(ReportLayout, ABrioReportWithLongNotesTakesTwoPagesAndCutsNothing) {
  ScreenBench bench(kModelBrio);
  std::string notes;
  while (notes.size() < 290) notes += "Kit revisado, redutor trocado. ";
  bench.app.customer.Set(CustomerRecord::kObservacoesGerais, notes);
  FixedMeasure m;
  const ReportContent r = BuildReport(bench.app, kFacts);
  const auto pages = LayOutReport(r, m);
  ASSERT_EQ(pages.size(), 2u);
  ExpectWithinAreas(pages, BodyAreaOf(r, m));
  // The header on both pages, the title on the first only.
  for (const ReportPage& p : pages) EXPECT_EQ(p.texts.front().text, "Oficina Exemplo");
  auto count = [&pages](std::size_t page, const std::string& text) {
    int n = 0;
    for (const PageText& t : pages[page].texts) n += t.text == text;
    return n;
  };
  EXPECT_EQ(count(0, "Relatório da instalação"), 1);
  EXPECT_EQ(count(1, "Relatório da instalação"), 0);
  // The notes wrapped in the value column, all of them on one page.
  std::vector<std::size_t> note_pages;
  for (std::size_t n = 0; n < pages.size(); ++n)
    for (const PageText& t : pages[n].texts)
      if (t.text.find("revisado") != std::string::npos || t.text.find("trocado") != std::string::npos) {
        note_pages.push_back(n);
        EXPECT_GT(t.x, kMarginLeft + kPaperWidth / 4) << t.text;
      }
  EXPECT_GE(note_pages.size(), 3u);
  EXPECT_EQ(std::count(note_pages.begin(), note_pages.end(), note_pages[0]),
            static_cast<long>(note_pages.size()));
}

TEST(ReportLayout, TheReportSpeaksTheLanguageChosen) {
  ScreenBench bench(kModelVela);
  SetLanguage(Language::kEnglish);
  const ReportContent r = BuildReport(bench.app, kFacts);
  const auto pages = LayOutReport(r, FixedMeasure());
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(r.blocks[0].cells[0], "Installation report");
  EXPECT_EQ(r.header.facts[2], "Controller VELA on COM1");
  EXPECT_FALSE(Part(r, "Customer and vehicle").empty());
  EXPECT_EQ(pages.back().texts.back().text,
            "Page " + std::to_string(pages.size()) + " of " + std::to_string(pages.size()));
}

TEST(ReportLayout, RowsMoveWholeToTheNextPageAndAPageTallBlockBreaksBetweenLines) {
  ReportContent r;
  r.header.facts = {"Emitido em 01/01/2025 10:00"};
  r.blocks.push_back({BlockKind::kHeading, {"Parte"}});
  // Rows of three value lines each: a row split by a page would leave a
  // page whose value lines are not three times its labels.
  for (int i = 0; i < 60; ++i)
    r.blocks.push_back({BlockKind::kRow, {"Campo " + std::to_string(i), "a\nb\nc"}});
  std::string tall;
  for (int i = 0; i < 150; ++i) tall += "linha " + std::to_string(i) + "\n";
  r.blocks.push_back({BlockKind::kText, {tall}});
  FixedMeasure m;
  const auto pages = LayOutReport(r, m);
  ASSERT_GE(pages.size(), 4u);
  ExpectWithinAreas(pages, BodyAreaOf(r, m));
  int labels_total = 0, tall_lines = 0;
  for (const ReportPage& p : pages) {
    int labels = 0, values = 0;
    for (const PageText& t : p.texts) {
      if (t.style == TextStyle::kLabel) ++labels;
      if (t.text == "a" || t.text == "b" || t.text == "c") ++values;
      if (t.text.rfind("linha ", 0) == 0) ++tall_lines;
    }
    EXPECT_EQ(values, 3 * labels);
    labels_total += labels;
  }
  EXPECT_EQ(labels_total, 60);
  EXPECT_EQ(tall_lines, 150);
}

// ---- printing -----------------------------------------------------------

class FakeDevice final : public PrintDevice {
 public:
  std::string fail_at;  // "doc", "page 2", "end"
  bool cancel = false;
  std::vector<std::string> steps;

  bool StartDocument(const std::string& name) override { return Step("doc " + name, "doc"); }
  bool StartPage() override { return Step("start", "page " + std::to_string(++page_)); }
  void DrawPage(int index) override { steps.push_back("draw " + std::to_string(index)); }
  bool EndPage() override { return Step("end page", ""); }
  bool EndDocument() override { return Step("end doc", "end"); }
  void AbortDocument() override { steps.push_back("abort"); }
  bool UserCancelled() const override { return cancel; }
  std::string ErrorText() const override { return "A impressora está sem papel."; }

 private:
  bool Step(const std::string& step, const std::string& where) {
    steps.push_back(step);
    return where.empty() || where != fail_at;
  }
  int page_ = 0;
};

TEST(PrintJob, PrintsEveryPageOrAbortsTheDocumentAndSaysWhy) {
  FakeDevice ok;
  EXPECT_EQ(PrintPages(ok, "Relatório", 2).outcome, PrintOutcome::kPrinted);
  EXPECT_EQ(ok.steps, (std::vector<std::string>{"doc Relatório", "start", "draw 0", "end page",
                                                "start", "draw 1", "end page", "end doc"}));

  FakeDevice paper;
  paper.fail_at = "page 2";
  PrintResult r = PrintPages(paper, "R", 3);
  EXPECT_EQ(r.outcome, PrintOutcome::kFailed);
  EXPECT_EQ(r.message,
            "A impressão falhou na página 2 de 3 e foi cancelada: o relatório não foi impresso.\n\n"
            "A impressora está sem papel.");
  EXPECT_EQ(paper.steps.back(), "abort");
  EXPECT_EQ(std::count(paper.steps.begin(), paper.steps.end(), "draw 1"), 0);

  FakeDevice refused;
  refused.fail_at = "doc";
  r = PrintPages(refused, "R", 1);
  EXPECT_EQ(r.outcome, PrintOutcome::kFailed);
  EXPECT_EQ(r.message.rfind("A impressora não aceitou o relatório. Nada foi impresso.", 0), 0u);
  EXPECT_EQ(refused.steps.size(), 1u);

  // The PDF printer's file name cancelled: nothing printed, nothing to say.
  FakeDevice pdf;
  pdf.fail_at = "doc";
  pdf.cancel = true;
  r = PrintPages(pdf, "R", 1);
  EXPECT_EQ(r.outcome, PrintOutcome::kCancelled);
  EXPECT_TRUE(r.message.empty());

  FakeDevice end;
  end.fail_at = "end";
  EXPECT_EQ(PrintPages(end, "R", 1).outcome, PrintOutcome::kFailed);
  EXPECT_EQ(end.steps.back(), "abort");
}

}  // namespace
}  // namespace kova
