// What the user chose for the look of every program, as the windows read it when they make their
// fonts, pictures and colours: the text size and high contrast.
#pragma once

#include <windows.h>

namespace app {

// The user's text size in percent (TextScalePercent of the message font; 100 by default).
int UserTextScale();
// The DPI at which the sizes that hold text are scaled on a monitor of dpi: see TextDpi.
UINT TextDpiOf(UINT dpi);

// High contrast is on: every colour the program draws then comes from the system's colours
// (GetSysColor) and every picture from lines in the text colour. The environment variable
// SRF_HIGH_CONTRAST=1 forces it on (the tests set it: Wine always answers that it is off).
bool HighContrast();

// A window's message on a change of these (the text size, the colours, high contrast), after
// which it makes its fonts, pictures and layout again.
bool IsLookChange(UINT message, WPARAM wParam);

}  // namespace app
