// <windows.h> for the shell's Win32 files. Its MessageBox macro would
// rename View::MessageBox in these files only; the Win32 code calls
// MessageBoxW by name instead.
#pragma once
#include <windows.h>
#undef MessageBox
