// The user's text size. Windows' "make text bigger" enlarges the message font; the program's
// windows keep their own Chinese typeface and take the same factor for it and for the room their
// texts need, on top of the monitor's DPI.
#pragma once

namespace app {

// How large the user's message font is against Windows' default of 9 points (12 pixels at 96
// DPI), in percent: messageFontHeight is a LOGFONT's lfHeight at fontDpi (either sign). Never
// below 100 (a smaller font, as Wine's 8-point one, keeps the sizes as designed) nor above 400.
int TextScalePercent(int messageFontHeight, unsigned fontDpi);

// The DPI at which sizes that hold text are scaled: the monitor's dpi enlarged by the text size.
unsigned TextDpi(unsigned dpi, int textScalePercent);

}  // namespace app
