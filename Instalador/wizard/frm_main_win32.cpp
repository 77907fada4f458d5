// Instalador: the six-page install wizard (frmMain), or with /S an
// unattended install with the package's defaults.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/install_platform_win32.h"
#include "Instalador/setup/package_source.h"
#include "Instalador/wizard/wizard_window_win32.h"
#include "common/cp1252.h"

namespace kova {
namespace {

// Control ids of the pages.
enum : int {
  txtPg1Desc = 201,
  txtPg2Termos = 211,
  lblPg2Termos,
  optPg2Aceito,
  optPg2Nao,
  lblPg3Desc = 221,
  lblPg3Dir,
  txtPg3Dir,
  cmbPg3Dir,
  lblPg3Size,
  lblPg4Desc = 231,
  lblPg4Users,
  optPg4All,
  optPg4User,
  chkPg4Desk,
  chkPg4Iniciar,
  lblPg5Desc = 241,
  lblPg5Status,
  pb,
  lblPg7Desc = 261,
};

std::wstring W(const std::string& s) { return Utf8ToWide(s); }

class FrmMain {
 public:
  FrmMain(InstallPlatform& sys, OpenedPackage& package) : sys_(sys), pkg_(package) {}

  int Run(HINSTANCE instance) {
    if (!w_.Create(instance, L"Instalador", 6)) return 1;
    SetMessageOwner(w_.Hwnd());
    BuildPages();
    w_.Follow(flow_, [this](WizardButton b) { Click(b); });
    w_.on_command = [this](int id, int code) { Command(id, code); };
    w_.on_close = [this] { Close(); };
    w_.ShowPage(1);
    Load();
    return w_.Run();
  }

 private:
  void BuildPages() {
    w_.AddTextBox(1, txtPg1Desc, 12, 12, 381, 293, true);
    w_.AddTextBox(2, txtPg2Termos, 12, 12, 381, 215, true);
    w_.AddLabel(2, lblPg2Termos, 12, 240, 381, 18, L"Voce aceita os termos?");
    w_.AddOption(2, optPg2Aceito, 12, 264, 180, 22, L"Eu Aceito", true);
    w_.AddOption(2, optPg2Nao, 200, 264, 180, 22, L"Não aceito", false);
    w_.AddLabel(3, lblPg3Desc, 12, 12, 381, 40,
                L"Por favor, selecione o diretório onde será instalado o conteúdo deste arquivo.");
    w_.AddLabel(3, lblPg3Dir, 12, 70, 381, 18, L"Diretório de instalação:");
    w_.AddTextBox(3, txtPg3Dir, 12, 92, 333, 23, false);
    w_.AddPush(3, cmbPg3Dir, 351, 91, 42, 25, L"...");
    w_.AddLabel(3, lblPg3Size, 12, 126, 381, 18, L"");
    w_.AddLabel(4, lblPg4Desc, 12, 12, 381, 36,
                L"Selecione as opções para criar ou não atalhos no Menu Iniciar e no Desktop");
    w_.AddLabel(4, lblPg4Users, 12, 56, 381, 48,
                L"Deseja que seja criados ícones somente para este usuário ou para todos os "
                L"usuários deste computador?");
    w_.AddOption(4, optPg4All, 24, 110, 360, 22, L"Todos os usuários", true);
    w_.AddOption(4, optPg4User, 24, 134, 360, 22, L"Somente este usuário", false);
    w_.AddCheck(4, chkPg4Desk, 24, 180, 360, 22, L"Criar atalho para o Desktop");
    w_.AddCheck(4, chkPg4Iniciar, 24, 204, 360, 22, L"Criar atalho no Menu Iniciar");
    w_.AddLabel(5, lblPg5Desc, 12, 12, 381, 40,
                L"A instalação está pronta para ser inciada. Clique em 'Avançar' para iniciar a "
                L"cópia dos arquivos");
    w_.AddLabel(5, lblPg5Status, 12, 120, 381, 40, L"Copiando: arquivo");
    w_.AddProgress(5, pb, 12, 168, 381, 20);
    w_.AddLabel(6, lblPg7Desc, 12, 12, 381, 60,
                L"A instalação foi concluída com sucesso. Para finalizar a instalação, clique no "
                L"botão 'Avançar'");
    Check(optPg4All, true);
    Check(chkPg4Desk, true);
    Check(chkPg4Iniciar, true);
  }

  void Load() {
    if (pkg_.state == OpenedPackage::kBroken) {
      sys_.ShowMessage(pkg_.error, kFatalCaption, kBoxOk | kBoxIconError);
      w_.Quit(3);
      return;
    }
    if (pkg_.state != OpenedPackage::kReady) return;  // the built-in design stays
    const PackageLook& look = pkg_.look;
    if (look.has_picture) w_.SetBackgroundPicture(look.picture);
    auto rgb = [](const Rgb& c) { return RGB(c.red, c.green, c.blue); };
    w_.SetColors(rgb(look.title), rgb(look.text), rgb(look.back));
    w_.SetProductName(W(pkg_.install.product_name));
    SetWindowTextW(w_.Hwnd(), W(pkg_.install.product_name).c_str());
    SetText(txtPg1Desc, look.description);
    SetText(txtPg2Termos, look.terms);
    // Over an installed copy, the upgrade goes to its folder.
    SetText(txtPg3Dir, ProposedInstallDirectory(sys_, pkg_.install.product_name, look.directory,
                                                look.folder_name));
    OfferShortcuts(chkPg4Desk, !pkg_.install.desktop.empty());
    OfferShortcuts(chkPg4Iniciar, !pkg_.install.start_menu.empty());
  }

  void OfferShortcuts(int id, bool offered) {
    if (!offered) Check(id, false);
    EnableWindow(w_.Control(id), offered);
  }

  void Click(WizardButton b) {
    switch (HandleButton(w_, flow_, sys_, b)) {
      case WizardAction::kRunWork:
        Install();
        break;
      case WizardAction::kExit:
        w_.Quit(0);
        break;
      default:
        break;
    }
  }

  void Install() {
    UpdateWindow(w_.Hwnd());
    if (pkg_.state != OpenedPackage::kReady) {
      // Nothing to install: the wizard stays here with its buttons disabled.
      flow_.WorkFinished(false);
      return;
    }
    InstallChoices choices;
    choices.directory = GetText(txtPg3Dir);
    choices.all_users = IsChecked(optPg4All);
    choices.desktop = IsChecked(chkPg4Desk);
    choices.start_menu = IsChecked(chkPg4Iniciar);
    WindowProgress progress(w_, lblPg5Status, pb);
    He3ChunkDecoder decoder;
    InstallOutcome out = Instalar(sys_, *pkg_.source, decoder, pkg_.install, choices, progress);
    if (out.refused != SetupRefusal::kNone) {
      // Nothing was done: the user may close the program, choose another
      // folder or try again later.
      if (out.refused == SetupRefusal::kCleanupRunning)
        sys_.ShowMessage(out.error, pkg_.install.product_name, kBoxOk | kBoxIconWarning);
      flow_.WorkNotStarted();
      w_.SyncButtons(flow_.Buttons());
      return;
    }
    SetText(txtPg3Dir, out.directory.empty() ? choices.directory : out.directory);
    if (!out.ok) {
      flow_.WorkFinished(false);
      std::string text = out.error == kFatalText ? out.error : out.error + "\r\n\r\n" + kFatalText;
      sys_.ShowMessage(text, kFatalCaption, kBoxOk | kBoxIconError);
      w_.Quit(1);
      return;
    }
    flow_.WorkFinished(true);
    w_.SyncButtons(flow_.Buttons());
    w_.ShowPage(flow_.Page());
  }

  void Command(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == optPg2Aceito || id == optPg2Nao) {
      flow_.Accept(id == optPg2Aceito);
      w_.SyncButtons(flow_.Buttons());
    } else if (id == cmbPg3Dir) {
      SetText(txtPg3Dir, BrowseForFolder(sys_, "Selecione o diretório de destino"));
    }
  }

  void Close() {
    if (flow_.Running()) return;
    if (flow_.Buttons().State(WizardButton::kCancel) != ButtonPicture::kDisabled) {
      Click(WizardButton::kCancel);
    } else {
      w_.Quit(flow_.Page() == 6 ? 0 : 1);
    }
  }

  void SetText(int id, const std::string& text) { SetWindowTextW(w_.Control(id), W(text).c_str()); }
  std::string GetText(int id) {
    wchar_t buf[4096];
    int n = GetWindowTextW(w_.Control(id), buf, 4096);
    return WideToUtf8(std::wstring(buf, n));
  }
  void Check(int id, bool on) {
    SendMessageW(w_.Control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool IsChecked(int id) { return SendMessageW(w_.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  InstallPlatform& sys_;
  OpenedPackage& pkg_;
  WizardWindow w_;
  WizardFlow flow_{6, 2, 5};
};

// Instalador.exe /S [/D=directory]: the package's defaults (all users,
// every shortcut it offers), no window. 0 on success, 1 failure, 2 no
// package, 3 damaged package; nothing done: 4 the program is running, 5 the
// folder exists and users who are not administrators may change it, 6
// another setup or an earlier uninstall's cleanup runs.
int InstallQuietly(InstallPlatform& sys, OpenedPackage& pkg, const std::string& directory) {
  if (pkg.state == OpenedPackage::kNoAppendix) return 2;
  if (pkg.state == OpenedPackage::kBroken) return 3;
  InstallChoices choices;
  choices.directory = !directory.empty()
                          ? directory
                          : ProposedInstallDirectory(sys, pkg.install.product_name,
                                                     pkg.look.directory, pkg.look.folder_name);
  choices.quiet = true;
  SilentProgress progress;
  He3ChunkDecoder decoder;
  InstallOutcome out = Instalar(sys, *pkg.source, decoder, pkg.install, choices, progress);
  if (out.refused != SetupRefusal::kNone) return RefusalExitCode(out.refused);
  return out.ok ? 0 : 1;
}

}  // namespace
}  // namespace kova

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace kova;
  HardenDllSearch();
  std::string directory;
  // /D= takes the rest of the command line, so a path may hold spaces.
  std::wstring line = GetCommandLineW();
  size_t d = line.find(L" /D=");
  if (d != std::wstring::npos) {
    directory = WideToUtf8(line.substr(d + 4));
    while (!directory.empty() && (directory.back() == ' ' || directory.back() == '"'))
      directory.pop_back();
    line.resize(d);
  }
  const bool quiet = QuietSwitch(line.c_str());

  InstallPlatform& sys = Win32Platform();
  if (!TakeSetupLock(sys, "Instalador", quiet)) return kExitSetupBusy;
  OpenedPackage pkg = OpenPackage(sys, sys.OwnPath());
  if (quiet) return InstallQuietly(sys, pkg, directory);
  FrmMain form(sys, pkg);
  return form.Run(instance);
}
