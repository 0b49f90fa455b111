// Install mode's run from its arguments to its end: the name check, the installed-copy check with
// its warning and question, the placement of the data files, the keyboard layout entry, the hand-
// over to the Input Method Manager and the maker's page. The system calls and the message boxes
// come through InstallSystem, so the whole sequence runs against a stand-in as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BoxAnswers.h"

namespace installer {

using app::Answer;
using MessageKind = app::BoxKind;

enum class InstalledCopy {
    Absent,       // no file of that name (a directory of that name does not count)
    InUse,        // the file exists but cannot be opened for reading and writing without sharing
    Replaceable,  // the file exists and opened that way; it was closed again at once
};

// What AddKeyboardLayout did; install mode goes on the same way whatever it was.
enum class LayoutOutcome {
    Added,           // a new subkey with the three values
    AlreadyPresent,  // some subkey has this layout text already; nothing written
    NoLayoutsKey,    // the Keyboard Layouts key cannot be opened with full access
    NotCreated,      // the new subkey could not be created
    Failed,          // no subkey, a name that is no number, a layout text that is no string, or a
                     // value that could not be set (the subkey made for it is deleted again)
};

// The outcome with the registry's code of the failure that ended it (0: none, or a failure of the
// keys' contents rather than of a registry call).
struct LayoutResult {
    LayoutOutcome outcome = LayoutOutcome::Added;
    long systemCode = 0;
};

// A subkey's "layout text" value as stored: its registry type, its size in bytes and its text in
// GB2312. A missing value has type 0 and size 0.
struct StoredLayoutText {
    std::uint32_t type = 0;
    std::size_t size = 0;
    std::string text;
    bool operator==(const StoredLayoutText&) const = default;
};

class RegistryKey;
// A registry key has one owner, who closes it by letting it go (wil's unique_hkey).
using OwnedKey = std::unique_ptr<RegistryKey>;

// An open registry key with full access: the calls install mode makes on it. Names are GB2312.
// Each call whose registry function fails throws InstallFailure with the function's code.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;  // closes the key

    // The subkey names in the system's order.
    virtual std::vector<std::string> SubkeyNames() = 0;
    // Opens a subkey, never creating it.
    virtual OwnedKey OpenSubkey(const std::string& name) = 0;
    // Opens a subkey, creating it if missing; createdNew says whether it was created now.
    struct Created;
    virtual Created CreateSubkey(const std::string& name) = 0;
    virtual void DeleteSubkey(const std::string& name) = 0;
    // A value as stored (a string's text up to its first zero); type 0 and size 0 when missing.
    virtual StoredLayoutText ReadText(const std::string& valueName) = 0;
    // Sets a string value (REG_SZ).
    virtual void SetText(const std::string& valueName, const std::string& text) = 0;
};

struct RegistryKey::Created {
    OwnedKey key;
    bool createdNew = false;
};

// The calls install mode makes. File names are GB2312 and relative to the current directory.
class InstallSystem {
public:
    virtual ~InstallSystem() = default;

    virtual Answer Ask(const std::string& text, const std::string& caption, MessageKind kind) = 0;

    virtual InstalledCopy CheckInstalledCopy(const std::string& fileName) = 0;
    // Whether a file (not a directory) of that name exists.
    virtual bool FileExists(const std::string& fileName) = 0;
    // The file's first bytes, at most size of them; empty when it cannot be read.
    virtual std::string ReadFileStart(const std::string& fileName, std::size_t size) = 0;
    // Each returns whether it succeeded; a move never replaces an existing file.
    virtual bool RemoveFile(const std::string& fileName) = 0;
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;

    // HKEY_LOCAL_MACHINE's Keyboard Layouts key with full access, never created; throws
    // InstallFailure with the registry's code when it cannot be opened.
    virtual OwnedKey OpenLayoutsKey() = 0;
    // The keyboard driver file of the US layout on this system.
    virtual std::string LayoutFile() = 0;

    // Hands the system directory's base name + ".ime" to the Input Method Manager; false when
    // that failed (install mode goes on all the same).
    virtual bool InstallInputMethod(const std::string& baseName, const std::string& layoutText) = 0;
    // Opens the maker's greeting page without waiting for it.
    virtual void OpenMakerPage() = 0;
};

// The arguments 2 to 4 of install mode's command line, as typed (GB2312).
struct InstallArguments {
    std::string baseName;
    std::string displayName;
    std::string argument4;
};

// The whole run. Refuses an unsafe base name and a packaged input method file built for the other
// bitness (x86 or x64) than this program, and warns of an input method file in use, each with a
// notice and nothing changed; asks before it replaces an installed copy. The installation
// itself reports nothing: a failure raised in it ends it silently.
void RunInstall(const InstallArguments& arguments, InstallSystem& system);

// Deletes the installed files that the package replaces (only where the packaged replacement is
// present) and moves each packaged file to its installed name. Each deletion and move stands
// alone; a refusal leaves those names as they were and the rest goes on.
void PlaceDataFiles(InstallSystem& system, const std::string& baseName,
                    const std::string& argument4);

// Enters a keyboard layout for the input method with the next free identifier, unless a layout
// with this layout text is there already. Every key it opens is closed again before it returns.
LayoutResult AddKeyboardLayout(InstallSystem& system, const std::string& baseName,
                               const std::string& layoutText);

}  // namespace installer
