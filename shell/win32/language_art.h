// The pictures in the chosen language. A picture that shows words is
// drawn in Portuguese; the artwork generator also renders it in English
// and Spanish, whole for the small buttons (a bitmap of its own) and, for
// the backgrounds and the splash, as the few strips that hold words,
// which are laid over the Portuguese picture when it is loaded.
#pragma once
#include "shell/win32/win32.h"

namespace kova {

// The bitmap resource to show for `id` in the current language.
int LanguageBitmap(HINSTANCE instance, int id);
// Loads bitmap `id` as LoadImage does (a device-dependent bitmap, or a DIB
// section with LR_CREATEDIBSECTION), with its words in the current language.
// A run-length-coded picture comes back as a DIB section.
HBITMAP LoadLanguagePicture(HINSTANCE instance, int id, UINT flags = 0);

}  // namespace kova
