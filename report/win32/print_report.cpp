#include "report/win32/print_report.h"

#include <cderr.h>
#include <commdlg.h>

#include "common/cp1252.h"
#include "common/texts.h"
#include "report/win32/page_painter.h"

namespace kova {
namespace {

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n && text ? std::wstring(text, n) : std::wstring();
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
    wide.pop_back();
  std::string out = WideToUtf8(wide);
  return out.empty() ? TrFormat("erro {0} do sistema", {std::to_string(error)}) : out;
}

void Tell(HWND owner, const std::string& text) {
  MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(Tr(kPrintCaption)).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

// The printer's settings with A4 chosen, where the printer has it.
void ProposeA4(HGLOBAL dev_mode) {
  if (!dev_mode) return;
  auto* dm = static_cast<DEVMODEW*>(GlobalLock(dev_mode));
  if (!dm) return;
  dm->dmFields |= DM_PAPERSIZE;
  dm->dmPaperSize = DMPAPER_A4;
  GlobalUnlock(dev_mode);
}

}  // namespace

bool GdiPrintDevice::Step(int result) {
  error_ = result > 0 ? 0 : GetLastError();
  if (result <= 0 && error_ == 0) error_ = ERROR_GEN_FAILURE;
  return result > 0;
}

bool GdiPrintDevice::StartDocument(const std::string& name) {
  const std::wstring title = Utf8ToWide(name);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = title.c_str();
  SetLastError(0);
  return Step(StartDocW(dc_, &info));
}

bool GdiPrintDevice::StartPage() {
  SetLastError(0);
  return Step(::StartPage(dc_));
}

void GdiPrintDevice::DrawPage(int index) {
  PrintReportPage(dc_, pages_[static_cast<std::size_t>(index)]);
}

bool GdiPrintDevice::EndPage() {
  SetLastError(0);
  return Step(::EndPage(dc_));
}

bool GdiPrintDevice::EndDocument() {
  SetLastError(0);
  return Step(EndDoc(dc_));
}

void GdiPrintDevice::AbortDocument() { AbortDoc(dc_); }

bool GdiPrintDevice::UserCancelled() const {
  return error_ == ERROR_CANCELLED || error_ == ERROR_PRINT_CANCELLED;
}

std::string GdiPrintDevice::ErrorText() const { return SystemText(error_); }

void PrintReport(HWND owner, const std::vector<ReportPage>& pages, const std::string& name) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  // The default printer's settings first, so that A4 can be proposed.
  pd.Flags = PD_RETURNDEFAULT;
  if (PrintDlgW(&pd)) ProposeA4(pd.hDevMode);
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nCopies = 1;
  const BOOL chosen = PrintDlgW(&pd);
  const DWORD dialog_error = chosen ? 0 : CommDlgExtendedError();
  if (chosen && pd.hDC) {
    GdiPrintDevice device(pd.hDC, pages);
    const PrintResult result = PrintPages(device, name, static_cast<int>(pages.size()));
    DeleteDC(pd.hDC);
    if (result.outcome == PrintOutcome::kFailed) Tell(owner, result.message);
  } else if (chosen) {
    Tell(owner, Tr("A impressora escolhida não pôde ser aberta. Nada foi impresso."));
  } else if (dialog_error == PDERR_NODEFAULTPRN || dialog_error == PDERR_NODEVICES) {
    Tell(owner, Tr("Não há impressora instalada no Windows. Instale uma (ou use \"Microsoft Print "
                   "to PDF\") e tente de novo."));
  } else if (dialog_error != 0) {
    Tell(owner, TrFormat("A janela de impressão não pôde ser aberta (erro {0}). Nada foi impresso.",
                         {std::to_string(dialog_error)}));
  }
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
}

}  // namespace kova
