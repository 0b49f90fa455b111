// The user's text size and high contrast; see SystemLook_win.h.
#include "app/SystemLook_win.h"

#include <cstdlib>
#include <cstring>

#include "app/BaseWindow_win.h"
#include "app/TextSize.h"

namespace app {

int UserTextScale() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return 100;
    // The metrics are given at the system's DPI, whatever the monitor of a window.
    return TextScalePercent(metrics.lfMessageFont.lfHeight, DpiOf(nullptr));
}

UINT TextDpiOf(UINT dpi) { return TextDpi(dpi, UserTextScale()); }

bool HighContrast() {
    const char* forced = std::getenv("SRF_HIGH_CONTRAST");
    if (forced && std::strcmp(forced, "1") == 0)
        return true;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool IsLookChange(UINT message, WPARAM wParam) {
    return message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED ||
           (message == WM_SETTINGCHANGE &&
            (wParam == SPI_SETNONCLIENTMETRICS || wParam == SPI_SETHIGHCONTRAST));
}

}  // namespace app
