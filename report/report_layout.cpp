#include "report/report_layout.h"

#include <algorithm>
#include <cmath>

#include "common/texts.h"

namespace kova {
namespace {

constexpr int kTextWidth = kPaperWidth - kMarginLeft - kMarginRight;
constexpr int kGap = 300;        // between a column's text and the next column
constexpr int kIndent = 500;     // rows under a group heading
constexpr int kRuleGap = 80;     // between a text and the rule under it
constexpr int kHeaderGap = 400;  // between the header's rule and the body

// A line of a block: its texts (y relative to the line's top) and height.
struct Line {
  int height = 0;
  std::vector<PageText> texts;
  bool rule_below = false;
};

// A block as it goes on a page.
struct Piece {
  int before = 0;  // space above, dropped at the top of a page
  int after = 0;
  bool keep_with_next = false;
  std::vector<Line> lines;
  int Height() const {
    int h = after;
    for (const Line& l : lines) h += l.height;
    return h;
  }
};

std::size_t NextChar(std::string_view s, std::size_t i) {
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// The longest start of word (whole characters, at least one) within width.
std::size_t FittingPrefix(std::string_view word, int width, TextStyle style,
                          const TextMeasure& measure) {
  std::size_t fit = NextChar(word, 0);
  while (fit < word.size()) {
    const std::size_t next = NextChar(word, fit);
    if (measure.Width(style, word.substr(0, next)) > width) break;
    fit = next;
  }
  return fit;
}

void WrapParagraph(std::string_view text, int width, TextStyle style, const TextMeasure& measure,
                   std::vector<std::string>& out) {
  std::string line;
  std::size_t i = 0;
  const std::size_t first = out.size();
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::size_t end = text.find(' ', i);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(i, end - i);
    i = end;
    std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (measure.Width(style, joined) <= width) {
      line = std::move(joined);
      continue;
    }
    if (!line.empty()) out.push_back(std::move(line));
    line.clear();
    // A word wider than the column goes on in pieces.
    while (measure.Width(style, word) > width) {
      const std::size_t cut = FittingPrefix(word, width, style, measure);
      out.emplace_back(word.substr(0, cut));
      word.remove_prefix(cut);
    }
    line = std::string(word);
  }
  if (!line.empty() || out.size() == first) out.push_back(std::move(line));
}

Line TextLine(TextStyle style, int x, std::string text) {
  return {LineHeight(style), {{x, 0, style, std::move(text)}}};
}

// Cells side by side, each wrapped in its column; line i of the block holds
// line i of every cell.
std::vector<Line> Columns(const std::vector<std::string>& cells, const std::vector<int>& x,
                          const std::vector<TextStyle>& styles, const TextMeasure& measure) {
  std::vector<std::vector<std::string>> wrapped;
  std::size_t count = 0;
  for (std::size_t c = 0; c < cells.size() && c < x.size(); ++c) {
    const int right = c + 1 < x.size() ? x[c + 1] - kGap : kMarginLeft + kTextWidth;
    wrapped.push_back(WrapText(cells[c], right - x[c], styles[c], measure));
    count = std::max(count, wrapped.back().size());
  }
  int height = 0;
  for (TextStyle s : styles) height = std::max(height, LineHeight(s));
  std::vector<Line> lines(count, Line{height, {}});
  for (std::size_t c = 0; c < wrapped.size(); ++c)
    for (std::size_t i = 0; i < wrapped[c].size(); ++i)
      if (!wrapped[c][i].empty()) lines[i].texts.push_back({x[c], 0, styles[c], wrapped[c][i]});
  return lines;
}

// Where the columns of a row start: label and value, or parameter,
// controller and file.
std::vector<int> ColumnStarts(std::size_t cells, bool indented) {
  const int left = kMarginLeft + (indented ? kIndent : 0);
  if (cells >= 3)
    return {kMarginLeft, kMarginLeft + kTextWidth * 46 / 100, kMarginLeft + kTextWidth * 73 / 100};
  return {left, kMarginLeft + kTextWidth * 42 / 100};
}

Piece PieceOf(const ReportBlock& b, const TextMeasure& measure) {
  Piece p;
  const std::string& first = b.cells.empty() ? std::string() : b.cells.front();
  auto wrapped = [&](TextStyle style) {
    for (std::string& l : WrapText(first, kTextWidth, style, measure))
      p.lines.push_back(TextLine(style, kMarginLeft, std::move(l)));
  };
  switch (b.kind) {
    case BlockKind::kTitle:
      wrapped(TextStyle::kTitle);
      p.after = 300;
      break;
    case BlockKind::kHeading:
      wrapped(TextStyle::kHeading);
      p.lines.back().rule_below = true;
      p.lines.back().height += 2 * kRuleGap;
      p.before = 500;
      p.after = 150;
      p.keep_with_next = true;
      break;
    case BlockKind::kSubheading:
      wrapped(TextStyle::kSubheading);
      p.before = 300;
      p.after = 80;
      p.keep_with_next = true;
      break;
    case BlockKind::kGroup:
      wrapped(TextStyle::kGroup);
      p.before = 150;
      p.keep_with_next = true;
      break;
    case BlockKind::kText:
      wrapped(TextStyle::kBody);
      p.after = 120;
      break;
    case BlockKind::kTableHead: {
      std::vector<TextStyle> styles(b.cells.size(), TextStyle::kLabel);
      p.lines = Columns(b.cells, ColumnStarts(b.cells.size(), false), styles, measure);
      p.lines.back().rule_below = true;
      p.lines.back().height += 2 * kRuleGap;
      p.keep_with_next = true;
      break;
    }
    case BlockKind::kRow: {
      std::vector<TextStyle> styles(b.cells.size(), TextStyle::kBody);
      if (b.cells.size() == 2) styles[0] = TextStyle::kLabel;
      p.lines = Columns(b.cells, ColumnStarts(b.cells.size(), b.indented), styles, measure);
      p.after = 60;
      break;
    }
  }
  return p;
}

// The header every page carries: the workshop at the left, when, which
// KOVA and which controller at the right, a rule under both.
ReportPage HeaderPage(const ReportHeader& h, const TextMeasure& measure, int& bottom) {
  ReportPage page;
  const int right_edge = kMarginLeft + kTextWidth;
  int facts_width = 0;
  for (const std::string& f : h.facts)
    facts_width = std::max(facts_width, measure.Width(TextStyle::kSmall, f));
  facts_width = std::min(facts_width, kTextWidth / 2);
  int y = kMarginTop;
  for (std::size_t i = 0; i < h.workshop.size(); ++i) {
    const TextStyle style = i == 0 ? TextStyle::kWorkshop : TextStyle::kBody;
    for (std::string& l : WrapText(h.workshop[i], kTextWidth - facts_width - kGap, style, measure)) {
      page.texts.push_back({kMarginLeft, y, style, std::move(l)});
      y += LineHeight(style);
    }
  }
  int fy = kMarginTop;
  for (const std::string& f : h.facts)
    for (std::string& l : WrapText(f, facts_width, TextStyle::kSmall, measure)) {
      page.texts.push_back({right_edge, fy, TextStyle::kSmall, std::move(l), Align::Right});
      fy += LineHeight(TextStyle::kSmall);
    }
  y = std::max(y, fy) + kRuleGap;
  page.rules.push_back({kMarginLeft, right_edge, y});
  bottom = y + kHeaderGap;
  return page;
}

int FootTop() { return kPaperHeight - kMarginBottom - LineHeight(TextStyle::kSmall); }

}  // namespace

FontOf FontOfStyle(TextStyle style) {
  switch (style) {
    case TextStyle::kBody: return {10, false, false};
    case TextStyle::kLabel: return {10, true, false};
    case TextStyle::kSmall: return {8.5, false, false};
    case TextStyle::kGroup: return {10, true, true};
    case TextStyle::kSubheading: return {11, true, false};
    case TextStyle::kHeading: return {13, true, false};
    case TextStyle::kTitle: return {16, true, false};
    case TextStyle::kWorkshop: return {14, true, false};
  }
  return {10, false, false};
}

int FontHeight(TextStyle style) {
  // A point is 1/72 inch, an inch 2540 hundredths of a millimetre.
  return static_cast<int>(std::lround(FontOfStyle(style).points * 2540.0 / 72.0));
}

int LineHeight(TextStyle style) { return FontHeight(style) * 6 / 5; }

std::vector<std::string> WrapText(std::string_view text, int width, TextStyle style,
                                  const TextMeasure& measure) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find_first_of("\r\n", start);
    WrapParagraph(text.substr(start, end == std::string_view::npos ? text.npos : end - start),
                  width, style, measure, out);
    if (end == std::string_view::npos) break;
    // CR LF is one break.
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

BodyArea BodyAreaOf(const ReportContent& report, const TextMeasure& measure) {
  int top = 0;
  HeaderPage(report.header, measure, top);
  return {top, FootTop() - kRuleGap - kHeaderGap};
}

std::vector<ReportPage> LayOutReport(const ReportContent& report, const TextMeasure& measure) {
  int top = 0;
  const ReportPage header = HeaderPage(report.header, measure, top);
  const BodyArea body = BodyAreaOf(report, measure);

  std::vector<Piece> pieces;
  for (const ReportBlock& b : report.blocks) pieces.push_back(PieceOf(b, measure));

  std::vector<ReportPage> pages{header};
  int y = body.top;
  auto new_page = [&] {
    pages.push_back(header);
    y = body.top;
  };
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    const bool at_top = y == body.top;
    // What must fit here: this piece, the headings after it that keep with
    // what follows, and the first line of what they head.
    int need = (at_top ? 0 : p.before) + p.Height();
    for (std::size_t j = i; j < pieces.size() && pieces[j].keep_with_next; ++j) {
      if (j + 1 >= pieces.size()) break;
      const Piece& next = pieces[j + 1];
      need += next.before + (next.keep_with_next ? next.Height() : next.lines.front().height);
    }
    if (!at_top && y + need > body.bottom) new_page();
    else if (!at_top) y += p.before;
    for (const Line& line : p.lines) {
      // Only a piece taller than a whole page breaks, between its lines.
      if (y + line.height > body.bottom && y != body.top) new_page();
      for (const PageText& t : line.texts) pages.back().texts.push_back({t.x, y + t.y, t.style, t.text, t.align});
      y += line.height;
      if (line.rule_below)
        pages.back().rules.push_back({kMarginLeft, kMarginLeft + kTextWidth, y - kRuleGap});
    }
    y += p.after;
  }

  const int total = static_cast<int>(pages.size());
  for (int n = 0; n < total; ++n) {
    ReportPage& page = pages[static_cast<std::size_t>(n)];
    const std::string foot =
        TrFormat("Página {0} de {1}", {std::to_string(n + 1), std::to_string(total)});
    page.rules.push_back({kMarginLeft, kMarginLeft + kTextWidth, FootTop() - kRuleGap});
    page.texts.push_back(
        {kMarginLeft + kTextWidth / 2, FootTop(), TextStyle::kSmall, foot, Align::Centre});
  }
  return pages;
}

}  // namespace kova
