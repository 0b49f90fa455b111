// The user's text size; see TextSize.h.
#include "app/TextSize.h"

#include <algorithm>
#include <cstdlib>

namespace app {

int TextScalePercent(int messageFontHeight, unsigned fontDpi) {
    if (messageFontHeight == 0 || fontDpi == 0)
        return 100;
    // |height| / (12 * fontDpi / 96), in percent, to the nearest.
    const long long height = std::llabs(messageFontHeight);
    const long long percent = (height * 800 + fontDpi / 2) / fontDpi;
    return static_cast<int>(std::clamp(percent, 100LL, 400LL));
}

unsigned TextDpi(unsigned dpi, int textScalePercent) {
    return (dpi * static_cast<unsigned>(textScalePercent) + 50) / 100;
}

}  // namespace app
