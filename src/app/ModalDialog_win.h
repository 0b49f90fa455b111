// The base of the program's modal dialogs (the input box, the batch-edit box, the list box), in
// the shape of Explorer++'s BaseDialog: the dialog procedure, the relay of errors, the modal scope
// and the check of the result live here once; a dialog adds only its controls and its rules. Its
// focus and mnemonics are drawn from the start.
#pragma once

#include <windows.h>

#include <exception>
#include <utility>
#include <vector>

#include "app/ChildControl_win.h"
#include "platform/UniqueHandles_win.h"

namespace app {

class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    ModalDialog() = default;

    // Shows the dialog of the template (see EmptyDialogTemplate), owned by the window that was
    // active or else by the program's owner window, modal for the whole program (ModalScope), and
    // returns the result it ended with. An error thrown by a handler ends the dialog and is thrown
    // again here once every window is enabled again. A dialog the system cannot create throws
    // platform::Error "Cannot create window #32770 (error CODE)" with the code as its SystemCode.
    INT_PTR ShowModal(const std::vector<WORD>& dialogTemplate);

    HWND Handle() const { return m_hwnd; }
    void End(INT_PTR result) { EndDialog(m_hwnd, result); }
    // The font of the controls AddControl makes; the dialog owns it.
    void SetFont(platform::UniqueHfont font) { m_font = std::move(font); }
    HFONT Font() const { return m_font.Get(); }
    // A control of the dialog, shown, in the dialog's font.
    HWND AddControl(ChildControl control);
    // Puts the dialog, of that outer size, in the middle of area (screen coordinates), within the
    // work area of area's monitor.
    void CentreIn(const RECT& area, int width, int height);

    // WM_INITDIALOG: builds the controls and sets the focus.
    virtual void OnInit() = 0;
    // WM_COMMAND; true when handled. OK and Cancel end the dialog with their ids, as the close box
    // does with Cancel.
    virtual bool OnCommand(int id, int code);
    // Any other message; true when handled.
    virtual bool OnMessage(UINT, WPARAM, LPARAM) { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    platform::UniqueHfont m_font;
    std::exception_ptr m_failure;
};

}  // namespace app
