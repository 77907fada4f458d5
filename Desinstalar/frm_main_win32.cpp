// Desinstalar: the three-page uninstall wizard (frmMain), or with /S an
// unattended uninstall. Either way its last act starts the batch file that
// removes the directories and itself.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "Desinstalar/uninstall_procedure.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/install_platform_win32.h"
#include "Instalador/setup/install_procedure.h"
#include "Instalador/wizard/wizard_window_win32.h"
#include "common/cp1252.h"

namespace kova {
namespace {

enum : int { txtPg1Desc = 201, lblPg2Desc = 211, lblPg5Status, pb, lblPg3Desc = 221, txtPg3Kept };

std::wstring W(const std::string& s) { return Utf8ToWide(s); }

std::string PageOneText(const std::string& product) {
  return "Este utilitário irá desinstalar o " + product +
         " do seu computador. Clique no botão 'Avançar' para continuar a desinstalação.";
}

class FrmMain {
 public:
  FrmMain(InstallPlatform& sys, std::string folder) : sys_(sys), folder_(std::move(folder)) {}

  int Run(HINSTANCE instance) {
    if (!w_.Create(instance, L"Desinstalar", 3)) return 1;
    SetMessageOwner(w_.Hwnd());
    w_.AddTextBox(1, txtPg1Desc, 12, 12, 381, 293, true);
    w_.AddLabel(2, lblPg2Desc, 12, 12, 381, 40,
                L"A desinstalação está pronta para ser inciada. Clique em 'Avançar' para começar "
                L"a desinstalar");
    w_.AddLabel(2, lblPg5Status, 12, 120, 381, 40, L"Excluindo: arquivo");
    w_.AddProgress(2, pb, 12, 168, 381, 20);
    w_.AddLabel(3, lblPg3Desc, 12, 12, 381, 60,
                L"A desinstalação foi concluída com sucesso. Para sair, clique no botão 'Avançar'");
    // What stayed, when anything did.
    ShowWindow(w_.AddTextBox(3, txtPg3Kept, 12, 80, 381, 225, true), SW_HIDE);
    w_.Follow(flow_, [this](WizardButton b) { Click(b); });
    w_.on_close = [this] {
      if (flow_.Running()) return;
      if (flow_.Buttons().State(WizardButton::kCancel) != ButtonPicture::kDisabled)
        Click(WizardButton::kCancel);
      else if (flow_.Page() == 3)
        Click(WizardButton::kNext);
      else
        w_.Quit(1);  // stopped by an error: closing is the way out
    };
    w_.ShowPage(1);
    Load();
    return w_.Run();
  }

 private:
  void Load() {
    ProductName name = ReadProductName(sys_, folder_);
    SetWindowTextW(w_.Control(txtPg1Desc), W(PageOneText("")).c_str());
    if (name.kind == ProductName::kFound) {
      product_ = name.name;
      w_.SetProductName(W(name.name));
      SetWindowTextW(w_.Hwnd(), W("Desinstalar " + name.name).c_str());
      SetWindowTextW(w_.Control(txtPg1Desc), W(PageOneText(name.name)).c_str());
    } else if (name.kind == ProductName::kNotFound) {
      sys_.ShowMessage(kNotFoundText, kNotFoundCaption, kBoxOk | kBoxIconError);
    }
  }

  void Click(WizardButton b) {
    switch (HandleButton(w_, flow_, sys_, b)) {
      case WizardAction::kRunWork: {
        UpdateWindow(w_.Hwnd());
        WindowProgress progress(w_, lblPg5Status, pb);
        UninstallReport report;
        bool ok = Desinstalar(sys_, progress, folder_, product_, &report);
        if (report.refused != SetupRefusal::kNone) {
          if (report.refused == SetupRefusal::kCleanupRunning)
            sys_.ShowMessage(kSetupBusyText, "Desinstalar", kBoxOk | kBoxIconWarning);
          flow_.WorkNotStarted();
          w_.SyncButtons(flow_.Buttons());
          break;
        }
        flow_.WorkFinished(ok);
        if (ok) ShowReport(report);
        w_.SyncButtons(flow_.Buttons());
        if (ok)
          w_.ShowPage(flow_.Page());
        else
          sys_.ShowMessage(kFailedText, kFailedCaption, kBoxOk | kBoxIconError);
        break;
      }
      case WizardAction::kExit:
        StartBatch(sys_);
        w_.Quit(0);
        break;
      default:
        break;
    }
  }

  void ShowReport(const UninstallReport& report) {
    std::string text;
    if (!report.kept.empty()) {
      text += "Estas pastas foram mantidas, pois contêm arquivos que a instalação não criou:";
      for (const std::string& d : report.kept) text += "\r\n" + d;
    }
    if (!report.kept_files.empty()) {
      if (!text.empty()) text += "\r\n\r\n";
      text += "Estes arquivos foram mantidos, pois estavam em uso ou não puderam ser excluídos:";
      for (const std::string& f : report.kept_files) text += "\r\n" + f;
    }
    if (!report.skipped.empty()) {
      if (!text.empty()) text += "\r\n\r\n";
      text += "Linhas do registro de desinstalação ignoradas (fora do que a instalação criou):";
      for (const std::string& l : report.skipped) text += "\r\n" + l;
    }
    if (text.empty()) return;
    HWND box = w_.Control(txtPg3Kept);
    SetWindowTextW(box, W(text).c_str());
    ShowWindow(box, SW_SHOW);
  }

  InstallPlatform& sys_;
  std::string folder_;
  std::optional<std::string> product_;
  WizardWindow w_;
  WizardFlow flow_{3, 0, 2};
};

}  // namespace
}  // namespace kova

// Desinstalar.exe /S: 0 on success, 1 failure, 4 the program is running,
// 6 another setup or an earlier uninstall's cleanup runs (nothing done).
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace kova;
  HardenDllSearch();
  const bool quiet = QuietSwitch(GetCommandLineW());

  InstallPlatform& sys = Win32Platform();
  if (!TakeSetupLock(sys, "Desinstalar", quiet)) return kExitSetupBusy;
  // The log and the trailer are found beside the program, wherever it was
  // started from.
  std::string folder = ParentFolder(sys.OwnPath());
  if (quiet) {
    ProductName name = ReadProductName(sys, folder);
    std::optional<std::string> product;
    if (name.kind == ProductName::kFound) product = name.name;
    SilentProgress progress;
    UninstallReport report;
    if (!Desinstalar(sys, progress, folder, product, &report, true))
      return report.refused != SetupRefusal::kNone ? RefusalExitCode(report.refused) : 1;
    return StartBatch(sys) ? 0 : 1;
  }
  FrmMain form(sys, folder);
  return form.Run(instance);
}
