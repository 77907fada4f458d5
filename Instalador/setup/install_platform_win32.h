// The installer's and uninstaller's view of the real system.
#pragma once
#include "Instalador/setup/install_platform.h"

namespace kova {

// The process-wide Win32 platform. Message boxes are owned by the window
// set with SetMessageOwner (none by default).
InstallPlatform& Win32Platform();
void SetMessageOwner(void* hwnd);
// Called first by both programs: later DLL loads search the system folder
// only.
void HardenDllSearch();
// Whether "/S" (any case) stands among the arguments of `command_line`:
// both programs then run without a window.
bool QuietSwitch(const wchar_t* command_line);

}  // namespace kova
