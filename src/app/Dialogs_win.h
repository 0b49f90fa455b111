// The program's modal dialogs: the message box, the one-line input box and the error box.
#pragma once

#include <windows.h>

#include <exception>

#include <string>

#include "app/BoxAnswers.h"

namespace app {

// Shows text under caption (GB2312) modal for the whole program and returns the button chosen.
// The box appears on the monitor of the active window.
Answer Ask(const std::string& text, const std::string& caption, BoxKind kind);

// The one-line input box. On OK stores the typed text in value, the first typed character that
// code page 936 cannot hold in unheld (0: none; value then has "?" or a look-alike in its place),
// and returns true; otherwise returns false and leaves both untouched. At most 255 bytes of
// GB2312 can be typed. With typed given and not empty, the box opens on that text rather than on
// value (so that characters GB2312 cannot hold are shown again as typed); on OK it receives the
// text as typed.
bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                   char32_t& unheld, std::wstring* typed = nullptr);

// The error box for an error that reached a window handler: its message with a full stop,
// under the application title, with a stop icon.
void ReportError(const std::exception& error);

// The box for an error that escaped every handler; the program then ends with exit code 1.
void ShowLastResortBox(const std::exception& error);
// The same box for a thrown value that is not a std::exception.
void ShowLastResortBox();

}  // namespace app
