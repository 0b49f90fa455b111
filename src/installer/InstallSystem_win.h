// Install mode's system work: the installed-copy check, the placement of the data files, the
// keyboard layout entry and the call of the Input Method Manager. Names are GB2312 bytes; file
// names are relative to the current directory.
#pragma once

#include <string>

namespace installer {

enum class InstalledCopy {
    Absent,       // no file of that name (a directory of that name does not count)
    InUse,        // the file exists but cannot be opened for reading and writing without sharing
    Replaceable,  // the file exists and opened that way; it was closed again at once
};

InstalledCopy CheckInstalledCopy(const std::string& fileName);

// Deletes the installed files that the package replaces (only where the packaged replacement is
// present) and moves each packaged file to its installed name, never over an existing file.
// Each deletion and move stands alone; a refusal leaves those names as they were.
void PlaceDataFiles(const std::string& baseName, const std::string& argument4);

// What AddKeyboardLayout did; install mode goes on the same way whatever it was.
enum class LayoutOutcome {
    Added,           // a new subkey with the three values
    AlreadyPresent,  // some subkey has this layout text already; nothing written
    NoLayoutsKey,    // the Keyboard Layouts key cannot be opened with full access
    NotCreated,      // the new subkey could not be created
    Failed,          // no subkey, a name that is no number, a layout text that is no string, or a
                     // value that could not be set (the subkey made for it is deleted again)
};

// Enters a keyboard layout for the input method under HKEY_LOCAL_MACHINE's Keyboard Layouts key,
// with the next free identifier, unless a layout with this layout text is there already.
LayoutOutcome AddKeyboardLayout(const std::string& baseName, const std::string& layoutText);

// Hands the system directory's base name + ".ime" to the Input Method Manager.
void InstallInputMethod(const std::string& baseName, const std::string& layoutText);

// Test seam: makes the k-th registry value write from now on fail (1 = the next); 0 turns it off.
void FailValueWriteForTesting(int k);

}  // namespace installer
