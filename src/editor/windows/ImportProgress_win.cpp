// The progress window of a large import; see ImportProgress_win.h.
#include "editor/windows/ImportProgress_win.h"

#include <commctrl.h>

#include "DictionaryImportTexts.h"
#include "app/Accessibility_win.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/SystemLook_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

constexpr int kCancelId = 2;  // IDCANCEL: Esc presses it too
constexpr int kBarRange = 1000;
constexpr int kWidth = 360, kHeight = 96;  // the client area at 96 dpi

}  // namespace

class ProgressWindow : public app::BaseWindow {
public:
    explicit ProgressWindow(HWND owner) {
        // Everything in it holds text: its sizes follow the user's text size too.
        const UINT dpi = app::DpiOf(owner);
        const UINT textDpi = app::TextDpiOf(dpi);
        const auto scaled = [textDpi](int pixels) { return app::Scale(pixels, textDpi); };
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        RECT bounds{0, 0, scaled(kWidth), scaled(kHeight)};
        app::AdjustWindowRectForDpi(bounds, style, WS_EX_DLGMODALFRAME, dpi);
        // Centred over the editor.
        RECT ownerRect{};
        GetWindowRect(owner, &ownerRect);
        const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
        const int left = (ownerRect.left + ownerRect.right - width) / 2;
        const int top = (ownerRect.top + ownerRect.bottom - height) / 2;
        CreateWindowOfClass(L"SrfImportProgress", platform::ToWide(texts::kProgressTitle), style,
                            WS_EX_DLGMODALFRAME, {left, top, left + width, top + height}, owner);

        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = -scaled(12);
        m_font.Reset(CreateFontIndirectW(&metrics.lfMessageFont));

        const auto at = [&](int x, int y, int width, int height) {
            return app::PixelRect{scaled(x), scaled(y), scaled(width), scaled(height)};
        };
        app::ChildControl(L"Static", WS_VISIBLE)
            .Text(platform::ToWide(texts::kProgressText))
            .At(at(16, 12, 328, 18))
            .Font(m_font.Get())
            .Create(Handle());
        // Named by the text above it, and by its window text where that is read instead.
        m_bar = app::ChildControl(PROGRESS_CLASSW, WS_VISIBLE)
                    .Text(platform::ToWide(texts::kProgressText))
                    .At(at(16, 34, 328, 18))
                    .Font(m_font.Get())
                    .Create(Handle());
        SendMessageW(m_bar, PBM_SETRANGE32, 0, kBarRange);
        app::ChildControl(L"Button", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON)
            .Id(kCancelId)
            .Text(platform::ToWide(texts::kProgressCancel))
            .At(at(264, 62, 80, 26))
            .Font(m_font.Get())
            .Create(Handle());
        ShowWindow(Handle(), SW_SHOW);
        app::ShowKeyboardCues(Handle());
        UpdateWindow(Handle());
    }

    void SetPosition(std::size_t done, std::size_t total) {
        const auto position = total ? static_cast<int>(done * kBarRange / total) : 0;
        SendMessageW(m_bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    bool Cancelled() const { return m_cancelled; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if ((message == WM_COMMAND && LOWORD(wParam) == kCancelId) || message == WM_CLOSE) {
            m_cancelled = true;
            return 0;
        }
        return BaseWindow::HandleMessage(message, wParam, lParam);
    }

private:
    HWND m_bar = nullptr;
    platform::UniqueHfont m_font;
    bool m_cancelled = false;
};

ImportProgressWindow::ImportProgressWindow() = default;
ImportProgressWindow::~ImportProgressWindow() { End(); }

void ImportProgressWindow::Begin() {
    End();
    m_window = std::make_unique<ProgressWindow>(m_owner);
    // The editor takes no input meanwhile: the plan points into its tree.
    if (m_owner)
        EnableWindow(m_owner, FALSE);
}

bool ImportProgressWindow::Step(std::size_t done, std::size_t total) {
    if (!m_window)
        return true;
    m_window->SetPosition(done, total);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (!IsDialogMessageW(m_window->Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !m_window->Cancelled();
}

void ImportProgressWindow::End() {
    if (!m_window)
        return;
    if (m_owner)
        EnableWindow(m_owner, TRUE);
    m_window.reset();
    if (m_owner)
        SetActiveWindow(m_owner);
}

}  // namespace editor
