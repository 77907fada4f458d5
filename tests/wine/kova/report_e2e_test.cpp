// The installation report end to end under Wine, against kova-sim: the
// preview opened from the customer screen, the workshop's data kept in
// KOVA.INI, the print dialog cancelled, and the report printed on a
// PostScript printer this test installs whose port is a file (Wine has no
// printer of its own).
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/control_ids.h"
#include "resources/report_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;

constexpr wchar_t kPrinter[] = L"KOVA Teste";

// Wine's PostScript driver printing into a file, the default printer while
// it lives. Its printer description is the generic one Wine's spooler
// carries.
class FilePrinter {
 public:
  explicit FilePrinter(const std::wstring& file) {
    Remove();
    HMODULE spool = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC res = spool ? FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    if (!res) return;
    const char* text = static_cast<const char*>(LoadResource(spool, res));
    std::string ppd(text, SizeofResource(spool, res));
    ppd.resize(ppd.find('\0') == std::string::npos ? ppd.size() : ppd.find('\0'));
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring ppd_path = std::wstring(temp) + L"kova_teste.ppd";
    HANDLE h = CreateFileW(ppd_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, ppd.data(), static_cast<DWORD>(ppd.size()), &written, nullptr);
    CloseHandle(h);

    std::wstring name = kPrinter, driver = L"wineps.drv", raw = L"RAW", processor = L"winprint",
                 port = file, empty;
    DRIVER_INFO_3W di{};
    di.cVersion = 3;
    di.pName = name.data();
    di.pDriverPath = driver.data();
    di.pDataFile = ppd_path.data();
    di.pConfigFile = driver.data();
    di.pDefaultDataType = raw.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&di),
                             APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
      return;
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = name.data();
    pi.pPortName = port.data();
    pi.pDriverName = name.data();
    pi.pPrintProcessor = processor.data();
    pi.pDatatype = raw.data();
    pi.pParameters = pi.pShareName = pi.pSepFile = empty.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!printer) return;
    ClosePrinter(printer);
    ready_ = SetDefaultPrinterW(kPrinter);
  }
  ~FilePrinter() { Remove(); }
  bool ready() const { return ready_; }

 private:
  static void Remove() {
    HANDLE printer = nullptr;
    std::wstring name = kPrinter;
    if (OpenPrinterW(name.data(), &printer, nullptr)) {
      DeletePrinter(printer);
      ClosePrinter(printer);
    }
    DeletePrinterDriverExW(nullptr, nullptr, name.data(), 0, 0);
  }
  bool ready_ = false;
};

// The print dialog: a dialog with the printer list.
HWND WaitForPrintDialog(DWORD pid) {
  return WaitForWindow(pid, [](HWND w) {
    return HasClass(w, L"#32770") && GetDlgItem(w, 0x0473) != nullptr;  // cmb4
  });
}
// Whether a window is gone within five seconds.
bool Gone(HWND w) {
  for (int t = 0; t < 5000 && IsWindow(w); t += 100) Sleep(100);
  return !IsWindow(w);
}

// Presses a button of a system dialog as a click does, once it has
// settled; whether the dialog went.
bool Press(HWND dialog, int button) {
  Sleep(300);
  PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
  return Gone(dialog);
}

// The file once the printer has finished it.
std::string PrintedFile(const std::wstring& path) {
  std::string text;
  for (int t = 0; t < 15000 && text.find("%%EOF") == std::string::npos; t += 200) {
    Sleep(200);
    text = ReadAll(path);
  }
  return text;
}

// What the program's other dialogs (a message box) say, if any shows.
std::string OtherDialogs(DWORD pid) {
  std::string all;
  WaitForWindow(pid, [&all](HWND w) {
    if (!HasClass(w, L"#32770") || GetDlgItem(w, IDC_REPORT_PRINT) || GetDlgItem(w, IDC_CLIENT))
      return false;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t text[1024] = {};
      GetWindowTextW(c, text, 1024);
      all += kova::WideToUtf8(text) + "|";
    }
    return false;
  }, 0);
  return all;
}

HWND OpenPreview(Kova& kova, HWND screen) {
  Click(screen, IDC_REPORT);
  HWND preview = WaitForScreen(kova.pid(), IDC_REPORT_PRINT);
  if (!preview) ADD_FAILURE() << "no preview";
  return preview;
}

TEST(Report, PreviewWorkshopDataAndPrintingFromTheCustomerScreen) {
  const std::wstring out = WorkFile("relatorio.ps");
  DeleteFileW(out.c_str());
  FilePrinter printer(out);
  Kova kova;
  HWND screen = StartAtCustomer(kova, 1, "");
  ASSERT_TRUE(screen);
  Type(screen, IDC_CLIENT, "Maria da Silva");
  Type(screen, IDC_PLATE, "ABC1D23");
  Type(screen, IDC_NOTES,
       "Kit de 4ª geração instalado; redutor e misturador revisados, mangueiras trocadas. "
       "Retorno em 1000 km para conferir a regulagem e a calibração do atuador.");

  // The controller's values on one page.
  HWND preview = OpenPreview(kova, screen);
  ASSERT_TRUE(preview);
  wchar_t caption[128] = {};
  GetWindowTextW(preview, caption, 128);
  EXPECT_EQ(kova::WideToUtf8(caption), "Relatório da instalação");
  EXPECT_EQ(Text(preview, IDC_REPORT_PRINT), "Imprimir");
  EXPECT_EQ(Text(preview, IDC_REPORT_WORKSHOP), "Dados da Oficina");
  EXPECT_EQ(Text(preview, IDC_REPORT_CLOSE), "Fechar");
  EXPECT_EQ(Text(preview, IDC_REPORT_PAGE_NUMBER), "Página 1 de 1");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, IDC_REPORT_NEXT)));
  EXPECT_EQ(LoggedFrames().size(), 1u);  // the report is made from what was read

  // The workshop's data, kept in KOVA.INI in Windows-1252.
  Click(preview, IDC_REPORT_WORKSHOP);
  HWND workshop = WaitForScreen(kova.pid(), IDC_WORKSHOP_NAME);
  ASSERT_TRUE(workshop);
  EXPECT_EQ(Text(workshop, IDOK), "Gravar");
  Type(workshop, IDC_WORKSHOP_NAME, "Auto Gás São Jorge");
  Type(workshop, IDC_WORKSHOP_ADDRESS, "Av. das Nações, 1500 - Campinas/SP");
  Type(workshop, IDC_WORKSHOP_PHONE, "(19) 3232-0000");
  Click(workshop, IDOK);
  EXPECT_TRUE(Gone(workshop));
  const std::string ini = ReadAll(WorkFile("KOVA.INI"));
  EXPECT_NE(ini.find("[OFICINA]\r\nNome=Auto G\xe1s S\xe3o Jorge\r\n"
                     "Endereco=Av. das Na\xe7\xf5\x65s, 1500 - Campinas/SP\r\n"
                     "Telefone=(19) 3232-0000\r\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("[CONFIG_VELA]\r\nCOM=1\r\n"), std::string::npos) << ini;
  Shot("report");
  Click(preview, IDC_REPORT_CLOSE);
  EXPECT_TRUE(Gone(preview));

  // A loaded file with two values of its own adds what differs: two pages.
  ASSERT_FALSE(
      LoadChangedParameters(kova, screen, "carro.VELA", {{"2B=1", "2B=3"}, {"3D=3C", "3D=46"}})
          .empty());
  preview = OpenPreview(kova, screen);
  ASSERT_TRUE(preview);
  EXPECT_EQ(Text(preview, IDC_REPORT_PAGE_NUMBER), "Página 1 de 2");
  Click(preview, IDC_REPORT_NEXT);
  EXPECT_EQ(WaitText(preview, IDC_REPORT_PAGE_NUMBER, "Página 2 de 2"), "Página 2 de 2");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, IDC_REPORT_NEXT)));
  Click(preview, IDC_REPORT_PREVIOUS);
  EXPECT_EQ(WaitText(preview, IDC_REPORT_PAGE_NUMBER, "Página 1 de 2"), "Página 1 de 2");

  ASSERT_TRUE(printer.ready()) << "Wine's PostScript printer could not be installed";
  // Cancel in the print dialog: nothing printed, nothing to say.
  Click(preview, IDC_REPORT_PRINT);
  HWND dialog = WaitForPrintDialog(kova.pid());
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Press(dialog, IDCANCEL));
  EXPECT_EQ(OtherDialogs(kova.pid()), "");
  EXPECT_EQ(GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);

  // Printed: two pages.
  Click(preview, IDC_REPORT_PRINT);
  dialog = WaitForPrintDialog(kova.pid());
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Press(dialog, IDOK));
  const std::string printed = PrintedFile(out);
  EXPECT_EQ(OtherDialogs(kova.pid()), "");
  EXPECT_EQ(printed.rfind("%!PS-Adobe", 0), 0u);
  EXPECT_NE(printed.find("%%Pages: 2\n"), std::string::npos) << printed.substr(0, 2000);
  EXPECT_NE(printed.find("Relat"), std::string::npos);  // the document's title

  Click(preview, IDC_REPORT_CLOSE);
  EXPECT_TRUE(Gone(preview));
  EXPECT_TRUE(Responds(screen));
  EXPECT_EQ(LoggedFrames().size(), 1u);
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

}  // namespace
