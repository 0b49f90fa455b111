// Driver helpers for the system's save and open dialogs shown by the program under test: waiting
// for one by its title, typing a file name, choosing a file type and pressing OK.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace driver {

// Waits for a visible dialog ("#32770") of the process with that title; nullptr on time-out.
HWND WaitForDialog(DWORD processId, const std::wstring& title,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));

// The file name box of a save or open dialog (an Edit, possibly inside a combo box).
HWND FileNameEdit(HWND dialog);
// Chooses the type at index (0-based) in the dialog's type list, as a user's pick would.
bool ChooseFileType(HWND dialog, int index);
// Opens the dialog's type list, saves a screenshot of it under that name and closes it again.
void ScreenshotFileTypes(HWND dialog, const std::string& name);
// Types the full path into the file name box and presses OK.
void ChooseFile(HWND dialog, const std::wstring& path);

// The ids, classes and texts of a dialog's controls, one a line, for messages of failed tests.
std::string DescribeControls(HWND dialog);

}  // namespace driver
