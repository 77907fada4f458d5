#include "report/win32/report_preview.h"

#include <algorithm>
#include <ctime>
#include <initializer_list>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/texts.h"
#include "report/report_content.h"
#include "report/win32/page_painter.h"
#include "report/win32/print_report.h"
#include "resources/report_ids.h"
#include "shell/app_context.h"

namespace kova {
namespace {

// The dialog's caption and its controls' texts, in the language chosen.
void SetTexts(HWND dialog, const char* caption,
              std::initializer_list<std::pair<int, const char*>> texts) {
  SetWindowTextW(dialog, Utf8ToWide(Tr(caption)).c_str());
  for (auto [id, portuguese] : texts) SetDlgItemTextW(dialog, id, Utf8ToWide(Tr(portuguese)).c_str());
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return WideToUtf8(text);
}

// ---- the workshop's data ----------------------------------------------------

struct WorkshopDialog {
  const SettingsFolders& folders;
};

INT_PTR CALLBACK WorkshopProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<WorkshopDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lp);
      self = reinterpret_cast<WorkshopDialog*>(lp);
      SetTexts(dialog, "Dados da Oficina",
               {{IDC_WORKSHOP_NAME_LABEL, "Nome"}, {IDC_WORKSHOP_ADDRESS_LABEL, "Endereço"},
                {IDC_WORKSHOP_PHONE_LABEL, "Telefone"}, {IDOK, "Gravar"}, {IDCANCEL, "Cancelar"}});
      const WorkshopData data = ReadWorkshopData(self->folders);
      const struct {
        int id;
        const std::string& text;
        std::size_t capacity;
      } boxes[] = {{IDC_WORKSHOP_NAME, data.name, kWorkshopNameCapacity},
                   {IDC_WORKSHOP_ADDRESS, data.address, kWorkshopAddressCapacity},
                   {IDC_WORKSHOP_PHONE, data.phone, kWorkshopPhoneCapacity}};
      for (const auto& b : boxes) {
        SendDlgItemMessageW(dialog, b.id, EM_LIMITTEXT, b.capacity, 0);
        SetDlgItemTextW(dialog, b.id, Utf8ToWide(b.text).c_str());
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        const WorkshopData data{ItemText(dialog, IDC_WORKSHOP_NAME),
                                ItemText(dialog, IDC_WORKSHOP_ADDRESS),
                                ItemText(dialog, IDC_WORKSHOP_PHONE)};
        if (!WriteWorkshopData(self->folders, data)) {
          // Nothing typed is lost: the dialog stays open.
          MessageBoxW(dialog,
                      Utf8ToWide(Tr("Não foi possível gravar os dados da oficina no KOVA.INI.")).c_str(),
                      Utf8ToWide(Tr("Dados da Oficina")).c_str(), MB_OK | MB_ICONEXCLAMATION);
          return TRUE;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// ---- the preview ----------------------------------------------------------

class Preview {
 public:
  explicit Preview(AppContext& app) : app_(app) { Build(); }

  INT_PTR Handle(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void Build() {
    const ReportFacts facts{ReadWorkshopData(app_.settings), std::time(nullptr), ProgramVersion()};
    pages_ = LayOutReport(BuildReport(app_, facts), measure_);
    page_ = std::min(page_, static_cast<int>(pages_.size()) - 1);
  }
  void Init(HWND dialog);
  void ShowPage(HWND dialog, int page);
  void Draw(const DRAWITEMSTRUCT& item);

  AppContext& app_;
  GdiTextMeasure measure_;
  std::vector<ReportPage> pages_;
  int page_ = 0;
};

void Preview::Init(HWND dialog) {
  SetTexts(dialog, "Relatório da instalação",
           {{IDC_REPORT_PRINT, "Imprimir"}, {IDC_REPORT_WORKSHOP, "Dados da Oficina"},
            {IDC_REPORT_CLOSE, "Fechar"}, {IDC_REPORT_PREVIOUS, "< Anterior"},
            {IDC_REPORT_NEXT, "Próxima >"}});

  // The page as tall as the screen allows, the buttons in a column beside it.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{0, 0, 100, 100};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int extra_h = (frame.bottom - frame.top) - 100, extra_w = (frame.right - frame.left) - 100;
  const int pad = 10, column = 160, button = 28;
  const int page_h = std::max(300, static_cast<int>(work.bottom - work.top) - extra_h - 2 * pad - 20);
  const int page_w = page_h * kPaperWidth / kPaperHeight;
  const int client_w = pad + page_w + pad + column + pad, client_h = pad + page_h + pad;
  const int w = client_w + extra_w, h = client_h + extra_h;
  MoveWindow(dialog, work.left + std::max(0, static_cast<int>(work.right - work.left) - w) / 2,
             work.top + std::max(0, static_cast<int>(work.bottom - work.top) - h) / 2, w, h, FALSE);
  MoveWindow(GetDlgItem(dialog, IDC_REPORT_PAGE), pad, pad, page_w, page_h, FALSE);
  const int x = pad + page_w + pad;
  int y = pad;
  for (int id : {IDC_REPORT_PRINT, IDC_REPORT_WORKSHOP, IDC_REPORT_CLOSE}) {
    MoveWindow(GetDlgItem(dialog, id), x, y, column, button, FALSE);
    y += button + 8;
  }
  y += 24;
  const int half = (column - 8) / 2;
  MoveWindow(GetDlgItem(dialog, IDC_REPORT_PREVIOUS), x, y, half, button, FALSE);
  MoveWindow(GetDlgItem(dialog, IDC_REPORT_NEXT), x + half + 8, y, half, button, FALSE);
  MoveWindow(GetDlgItem(dialog, IDC_REPORT_PAGE_NUMBER), x, y + button + 8, column, 20, FALSE);
  ShowPage(dialog, 0);
  SetFocus(GetDlgItem(dialog, IDC_REPORT_PRINT));
}

void Preview::ShowPage(HWND dialog, int page) {
  const int count = static_cast<int>(pages_.size());
  page_ = std::clamp(page, 0, count - 1);
  SetDlgItemTextW(dialog, IDC_REPORT_PAGE_NUMBER,
                  Utf8ToWide(TrFormat("Página {0} de {1}", {std::to_string(page_ + 1),
                                                           std::to_string(count)}))
                      .c_str());
  EnableWindow(GetDlgItem(dialog, IDC_REPORT_PREVIOUS), page_ > 0);
  EnableWindow(GetDlgItem(dialog, IDC_REPORT_NEXT), page_ + 1 < count);
  InvalidateRect(GetDlgItem(dialog, IDC_REPORT_PAGE), nullptr, FALSE);
}

void Preview::Draw(const DRAWITEMSTRUCT& item) {
  const RECT area = item.rcItem;
  const int w = area.right - area.left, h = area.bottom - area.top;
  // Drawn off screen first, so the page does not flicker.
  HDC dc = CreateCompatibleDC(item.hDC);
  HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, w, h};
  HBRUSH desk = CreateSolidBrush(RGB(128, 128, 128));
  FillRect(dc, &all, desk);
  DeleteObject(desk);
  const int inset = 6;
  int paper_h = h - 2 * inset, paper_w = paper_h * kPaperWidth / kPaperHeight;
  if (paper_w > w - 2 * inset) {
    paper_w = w - 2 * inset;
    paper_h = paper_w * kPaperHeight / kPaperWidth;
  }
  const RECT paper{(w - paper_w) / 2, inset, (w - paper_w) / 2 + paper_w, inset + paper_h};
  RECT shadow{paper.left + 4, paper.top + 4, paper.right + 4, paper.bottom + 4};
  HBRUSH dark = CreateSolidBrush(RGB(64, 64, 64));
  FillRect(dc, &shadow, dark);
  DeleteObject(dark);
  if (!pages_.empty()) DrawReportPage(dc, pages_[static_cast<std::size_t>(page_)], paper, true);
  BitBlt(item.hDC, area.left, area.top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

INT_PTR Preview::Handle(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      Init(dialog);
      return FALSE;  // the focus is set
    case WM_DRAWITEM:
      if (wp == IDC_REPORT_PAGE) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
      }
      break;
    case WM_MOUSEWHEEL:
      ShowPage(dialog, page_ + (GET_WHEEL_DELTA_WPARAM(wp) < 0 ? 1 : -1));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_REPORT_PRINT:
          PrintReport(dialog, pages_, ReportDocumentName(app_));
          return TRUE;
        case IDC_REPORT_WORKSHOP:
          if (EditWorkshopData(dialog, app_.settings)) {
            Build();
            ShowPage(dialog, page_);
          }
          return TRUE;
        case IDC_REPORT_PREVIOUS:
          ShowPage(dialog, page_ - 1);
          return TRUE;
        case IDC_REPORT_NEXT:
          ShowPage(dialog, page_ + 1);
          return TRUE;
        case IDC_REPORT_CLOSE:
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case IDOK:  // Enter prints nothing by surprise
          return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lp);
  auto* self = reinterpret_cast<Preview*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Handle(dialog, msg, wp, lp) : FALSE;
}

}  // namespace

bool EditWorkshopData(HWND owner, const SettingsFolders& folders) {
  WorkshopDialog state{folders};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_WORKSHOP), owner,
                         WorkshopProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}

void RunReportPreview(HWND owner, AppContext& app) {
  Preview preview(app);
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_REPORT_PREVIEW), owner,
                  PreviewProc, reinterpret_cast<LPARAM>(&preview));
}

std::string ProgramVersion() {
  wchar_t path[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (!size) return {};
  std::vector<unsigned char> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!GetFileVersionInfoW(path, 0, size, block.data()) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
    return {};
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS));
}

}  // namespace kova
