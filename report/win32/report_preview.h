// The installation report's preview, opened from the customer screen: the
// pages as they print, with "Imprimir", "Dados da Oficina" and "Fechar",
// and the small dialog that keeps the workshop's data in KOVA.INI.
#pragma once
#include "shell/win32/win32.h"

#include <string>

#include "store/settings.h"

namespace kova {

struct AppContext;

// Runs the preview modally over owner.
void RunReportPreview(HWND owner, AppContext& app);

// Shows the workshop's data over owner and keeps what is confirmed in
// KOVA.INI; true when it was kept.
bool EditWorkshopData(HWND owner, const SettingsFolders& folders);

// KOVA.exe's own version, from its version resource ("1.0.0").
std::string ProgramVersion();

}  // namespace kova
