// The main window of a mode (the editor, the help window) over BaseWindow: made at a size given at
// 96 DPI and scaled to the screen's DPI and the user's text size, its creation and first showing
// handed to FormCreate and FormShow, the keyboard kept on the control that had it when the window
// is activated again (and its focus always drawn), and its fonts, pictures and layout made again
// when it moves to a monitor of another DPI or the user changes the text size or the colours.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/BaseWindow_win.h"
#include "platform/UniqueHandles_win.h"

namespace app {

class Form : public BaseWindow {
public:
    // The controls go before the fonts and pictures they use.
    ~Form() override;

protected:
    // Creates the window, owned by the program's owner window, of outer size96 scaled to the
    // screen's DPI and the text size (within the screen's work area): at topLeft, or without one
    // in the middle of the screen.
    void CreateForm(const wchar_t* className, const std::wstring& caption, DWORD style, SIZE size96,
                    std::optional<POINT> topLeft = std::nullopt);
    UINT Dpi() const { return m_dpi; }
    int Scaled(int pixels) const { return Scale(pixels, m_dpi); }
    // The DPI, enlarged by the user's text size, for the fonts and the sizes that hold text.
    UINT TextDpi() const { return m_textDpi; }
    int TextScaled(int pixels) const { return Scale(pixels, m_textDpi); }
    // The window itself or one of its controls.
    bool Owns(HWND hwnd) const;
    // Takes the fonts and pictures that the controls now use, made for Dpi(), and keeps them until
    // the controls are destroyed; the ones they replace are deleted now.
    template <typename... Fonts>
    void KeepForControls(platform::UniqueHimagelist images, Fonts... fonts) {
        m_images = std::move(images);
        m_fonts.clear();
        (m_fonts.push_back(std::move(fonts)), ...);
    }
    HFONT KeptFont(std::size_t index) const { return m_fonts.at(index).Get(); }
    HIMAGELIST KeptImages() const { return m_images.Get(); }

    // Handles creation, showing, activation, sizing, DPI changes, commands and notifications by
    // the hooks below; anything else goes to BaseWindow.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // WM_CREATE: makes the controls. ApplyDpi and LayOut follow it.
    virtual void FormCreate() = 0;
    // Once the window is first shown (see Application::Run).
    virtual void FormShow() {}
    // Fonts, pictures and sizes for Dpi() and TextDpi(), on creation and whenever the DPI, the
    // text size or the colours change. The new ones go to the controls first; the old ones are
    // deleted only then.
    virtual void ApplyDpi() = 0;
    // Places the controls in the client area: on creation, on every change of size or DPI.
    virtual void LayOut() = 0;
    // The control that takes the keyboard on activation when the one that had it is gone or
    // hidden (and the first time).
    virtual HWND DefaultFocus() const = 0;
    // The window is active again; called before the keyboard goes back to its control.
    virtual void Activated() {}
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(NMHDR& /*header*/) { return 0; }

private:
    void OnActivate(WPARAM wParam);
    // The DPI changed: everything made for it again; the window then takes the suggested bounds.
    void ChangeDpi(UINT dpi, LPARAM suggestedBounds);
    // The text size or the colours changed: everything made for them again.
    void ChangeLook();

    UINT m_dpi = 96;
    UINT m_textDpi = 96;
    HWND m_focus = nullptr;  // the control that had the keyboard when the window was left
    std::vector<platform::UniqueHfont> m_fonts;
    platform::UniqueHimagelist m_images;
};

}  // namespace app
