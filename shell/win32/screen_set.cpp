#include "shell/win32/screen_set.h"

#include <commctrl.h>
#include <shellapi.h>

#include "shell/win32/controls.h"

namespace kova {
namespace {

// The splash is allowed unless the program was started embedded or for
// automation; no other argument has an effect.
bool SplashAllowed() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return true;
  bool allowed = true;
  for (int i = 1; i < argc; ++i) {
    const wchar_t* a = argv[i];
    if (*a == L'/' || *a == L'-') ++a;
    if (lstrcmpiW(a, L"Embedding") == 0 || lstrcmpiW(a, L"Automation") == 0) allowed = false;
  }
  LocalFree(argv);
  return allowed;
}

}  // namespace

void StartShell() {
  splash::Enable(SplashAllowed());
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

HFONT CreateFieldFont() {
  return CreateFontW(18, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

void Screens::Put(ScreenObject which, std::unique_ptr<ScreenLogic> logic, ScreenDesign design) {
  Slot& s = slots_[static_cast<size_t>(which)];
  s.logic = std::move(logic);
  s.window = std::make_unique<ScreenWindow>(std::move(design), *s.logic);
}

bool Screens::Available(ScreenObject which) const {
  return slots_[static_cast<size_t>(which)].window != nullptr;
}

int Screens::Run(ScreenObject which) {
  Slot& s = slots_[static_cast<size_t>(which)];
  return s.window ? s.window->Run() : kScreenExit;
}

void Screens::DestroyAll() {
  for (size_t i = slots_.size(); i-- > 0;) {
    slots_[i].window.reset();
    slots_[i].logic.reset();
  }
}

}  // namespace kova
