// Printing the report's pages on a device that may fail at any step: a
// document is started, each page started, drawn and ended, and the
// document ended; a step that fails aborts the document, so the spooler
// drops what it holds instead of printing half a report, and says so.
// The Win32 printer is one device (report/win32/print_report.h); tests use
// a fake.
#pragma once
#include <string>

namespace kova {

class PrintDevice {
 public:
  virtual ~PrintDevice() = default;
  virtual bool StartDocument(const std::string& name) = 0;
  virtual bool StartPage() = 0;
  virtual void DrawPage(int index) = 0;  // 0 is the first page
  virtual bool EndPage() = 0;
  virtual bool EndDocument() = 0;
  virtual void AbortDocument() = 0;
  // Whether the step that failed was stopped by the user (the file name
  // asked for by a printer that writes a PDF, cancelled).
  virtual bool UserCancelled() const = 0;
  // What the system says about the step that failed.
  virtual std::string ErrorText() const = 0;
};

enum class PrintOutcome { kPrinted, kCancelled, kFailed };

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::kPrinted;
  std::string message;  // kFailed: what to tell the user
};

PrintResult PrintPages(PrintDevice& device, const std::string& name, int pages);

inline constexpr char kPrintCaption[] = "Imprimir";

}  // namespace kova
