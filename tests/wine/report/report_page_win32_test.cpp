// A report page drawn into a bitmap through the printing path (the drawing
// a printer's page gets), with the fonts Windows has: ink where the header,
// the rows and the page's foot stand, none in the margins.
#include "report/win32/page_painter.h"

#include <gtest/gtest.h>

#include "report/report_content.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

// An A4 sheet at 100 dots per inch, white.
class Sheet {
 public:
  static constexpr int kWidth = 827, kHeight = 1169;
  Sheet() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                               nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Sheet() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  // Dark pixels within a rectangle given in millimetres.
  int Ink(double left, double top, double right, double bottom) const {
    GdiFlush();
    auto px = [](double mm, int limit) {
      return std::clamp(static_cast<int>(mm * kWidth / 210.0), 0, limit);
    };
    int n = 0;
    for (int y = px(top, kHeight); y < px(bottom, kHeight); ++y)
      for (int x = px(left, kWidth); x < px(right, kWidth); ++x) {
        const uint32_t c = bits_[y * kWidth + x];
        n += ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) < 3 * 160;
      }
    return n;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

TEST(ReportPage, DrawnIntoABitmapThroughThePrintingPath) {
  ScreenBench bench(kModelBrio);
  bench.app.customer.Set(CustomerRecord::kClientes, "Maria da Silva");
  const ReportFacts facts{{"Oficina Exemplo Ltda", "Rua A, 1", "(11) 5555-0101"}, 1700000000, "1.0.0"};
  GdiTextMeasure measure;
  EXPECT_GT(measure.Width(TextStyle::kBody, "Relatório"), 1000);  // Arial 10 pt: about 1.5 cm
  const auto pages = LayOutReport(BuildReport(bench.app, facts), measure);
  ASSERT_EQ(pages.size(), 2u);

  Sheet sheet;
  PrintReportPage(sheet.dc(), pages[0]);
  // Nothing in the margins.
  EXPECT_EQ(sheet.Ink(0, 0, 210, 14), 0);
  EXPECT_EQ(sheet.Ink(0, 0, 19, 297), 0);
  EXPECT_EQ(sheet.Ink(191, 0, 210, 297), 0);
  EXPECT_EQ(sheet.Ink(0, 286, 210, 297), 0);
  // The workshop at the upper left, when and which controller at the right.
  EXPECT_GT(sheet.Ink(20, 15, 80, 21), 50);
  EXPECT_GT(sheet.Ink(150, 15, 190, 27), 50);
  // Labels and values of the rows, down the page.
  EXPECT_GT(sheet.Ink(20, 60, 70, 250), 500);
  EXPECT_GT(sheet.Ink(92, 60, 190, 250), 500);
  // "Página 1 de 2" at the foot, in the middle.
  EXPECT_GT(sheet.Ink(90, 279, 120, 285), 20);
  EXPECT_EQ(sheet.Ink(20, 279, 80, 285), 0);
}

}  // namespace
}  // namespace kova
