// Printing the report through the system's print dialog, on whatever
// printer the user picks there ("Microsoft Print to PDF" makes a PDF).
#pragma once
#include "shell/win32/win32.h"

#include <string>
#include <vector>

#include "report/print_job.h"
#include "report/report_layout.h"

namespace kova {

// A printer's device context as a PrintDevice: each page drawn by
// PrintReportPage.
class GdiPrintDevice final : public PrintDevice {
 public:
  GdiPrintDevice(HDC dc, const std::vector<ReportPage>& pages) : dc_(dc), pages_(pages) {}
  bool StartDocument(const std::string& name) override;
  bool StartPage() override;
  void DrawPage(int index) override;
  bool EndPage() override;
  bool EndDocument() override;
  void AbortDocument() override;
  bool UserCancelled() const override;
  std::string ErrorText() const override;

 private:
  bool Step(int result);

  HDC dc_;
  const std::vector<ReportPage>& pages_;
  DWORD error_ = 0;
};

// Shows the print dialog (the default printer, A4 proposed) and prints the
// pages on the printer chosen. Cancel prints nothing; a missing printer or
// a failed print is told in a message box over owner.
void PrintReport(HWND owner, const std::vector<ReportPage>& pages, const std::string& name);

}  // namespace kova
