// What the installation report says, before it is put on paper: the page
// header (workshop, when, KOVA's version, controller model and port), the
// customer record, every value the model's screens show, grouped by screen
// in work-cycle order, where those values come from, and the differences
// between a loaded file and the controller. The fields come from the
// screens' own tables (screens/work_cycle.h) and show as the screens show
// them; the report keeps no list of its own. Texts are UTF-8, in the
// language chosen.
#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "store/settings.h"

namespace kova {

struct AppContext;

struct ReportHeader {
  std::vector<std::string> workshop;  // name, address, phone: those given
  std::vector<std::string> facts;     // when, KOVA's version, model and port
};

enum class BlockKind {
  kTitle,       // the report's name, on the first page
  kHeading,     // a part: the customer, the configuration, the differences
  kSubheading,  // a screen's title
  kGroup,       // a heading within a screen ("Baixa Rotação")
  kText,        // a paragraph
  kTableHead,   // the column names of the rows that follow
  kRow,         // label and value, or parameter, controller and file
};

struct ReportBlock {
  BlockKind kind = BlockKind::kText;
  // One text; rows and table heads one per column (two or three).
  std::vector<std::string> cells;
  bool indented = false;  // a row under a group heading
};

struct ReportContent {
  ReportHeader header;
  std::vector<ReportBlock> blocks;
};

// What the report tells besides the application's state.
struct ReportFacts {
  WorkshopData workshop;
  std::time_t now = 0;
  std::string version;  // "1.0.0"
};

// The report of the application's state now. The values are those of the
// source the screens show: the controller's (with the time they were
// read) or the loaded file's (with its name); the differences part
// appears when a file is loaded and the controller was read.
ReportContent BuildReport(AppContext& app, const ReportFacts& facts);

// The name a printed report goes by in the printer's queue (and the PDF's
// proposed name): the report's and the customer's.
std::string ReportDocumentName(const AppContext& app);

// "dd/mm/aaaa hh:mm" in local time.
std::string FormatDateTime(std::time_t t);

}  // namespace kova
