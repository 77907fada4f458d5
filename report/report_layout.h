// The installation report on paper: its text styles, A4 pages with
// margins, lines wrapped to their columns and blocks placed on pages so
// that nothing is cut at a page break. Portable: the text widths come from
// a TextMeasure, which on Windows measures with the fonts the page is
// drawn with (report/win32/page_painter.h).
//
// Lengths are hundredths of a millimetre from the paper's top left corner.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "report/report_content.h"
#include "shell/control_layout.h"

namespace kova {

// A4.
inline constexpr int kPaperWidth = 21000;
inline constexpr int kPaperHeight = 29700;
inline constexpr int kMarginLeft = 2000;
inline constexpr int kMarginRight = 2000;
inline constexpr int kMarginTop = 1500;
inline constexpr int kMarginBottom = 1500;

enum class TextStyle { kBody, kLabel, kSmall, kGroup, kSubheading, kHeading, kTitle, kWorkshop };

// A style's font: Arial, which every Windows has.
struct FontOf {
  double points;
  bool bold;
  bool italic;
};
FontOf FontOfStyle(TextStyle style);
// The font's height on paper (its em), and the distance between lines.
int FontHeight(TextStyle style);
int LineHeight(TextStyle style);

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // The width of a UTF-8 text on paper in the style's font.
  virtual int Width(TextStyle style, std::string_view text) const = 0;
};

// A text to draw: y its top; x where it starts, ends or has its centre, as
// its alignment says. Drawing aligns, so a device whose fonts run a little
// wider or narrower than the measure keeps right edges and centres in place.
struct PageText {
  int x = 0, y = 0;
  TextStyle style = TextStyle::kBody;
  std::string text;
  Align align = Align::Left;
};
// A thin line across the text width.
struct PageRule {
  int x1 = 0, x2 = 0, y = 0;
};
struct ReportPage {
  std::vector<PageText> texts;
  std::vector<PageRule> rules;
};

// The lines of a text within a width: broken at blanks and at its own line
// breaks, a word wider than the width broken between characters.
std::vector<std::string> WrapText(std::string_view text, int width, TextStyle style,
                                  const TextMeasure& measure);

// Every page of the report, each with the header and "Página n de N" at its
// foot. A block is never split across pages unless it is taller than a
// whole page; a heading stays with what follows it.
std::vector<ReportPage> LayOutReport(const ReportContent& report, const TextMeasure& measure);

// Where the body of every page starts and must end (the header above, the
// foot below), for a report's header.
struct BodyArea {
  int top, bottom;
};
BodyArea BodyAreaOf(const ReportContent& report, const TextMeasure& measure);

}  // namespace kova
