// Install mode's decisions, free of system calls: the texts built from its arguments, which files
// it deletes and moves, and how it picks and recognises a keyboard layout entry.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

// "中文（简体）- " followed directly by the display name (GB2312 bytes).
std::string LayoutText(std::string_view displayName);

// The notices and the question of install mode, quoting a name between square brackets.
std::string InUseWarning(std::string_view displayName);
std::string OverwriteQuestion(std::string_view displayName);
std::string RefusedNameNotice(std::string_view baseName);
// The notice that the packaged input method file (fileName) is built for fileBits (32 or 64) while
// this program is built for programBits: it names both and the srf_user.exe to use.
std::string OtherBitnessNotice(std::string_view fileName, int fileBits, int programBits);

// Install mode deletes and registers files named after the base name, usually with administrator
// rights, so a base name that would reach outside the current directory or that Windows cannot
// hold as a file name is refused: an empty name, one holding any of < > : " / \ | ? * or a
// control character (the second byte of a double-byte character does not count as one of
// these), one ending in a dot or a blank ("." and ".." among them), and the reserved device names
// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 in any letter case, with or without an
// extension.
bool IsAcceptableBaseName(std::string_view baseName);

// One data file of a package: its name as packaged and the name it is installed under.
struct DataFile {
    std::string packaged;
    std::string installed;
};

// The eleven moves, in the order in which they run.
std::vector<DataFile> DataFiles(std::string_view baseName);

// The installed files that this package replaces, in the order of their deletion: the input
// method's two files and the character table always; the data files of the variant the base
// name picks (letter case significant); "srf_pub.zy" when argument 4 is "zy" in any letter case.
// The user's "srf_pub.dat" and "srf_pub.usr" are never among them.
std::vector<DataFile> Replacements(std::string_view baseName, std::string_view argument4);

// The installed names to delete: those replacements whose packaged file is present, so that a
// package lacking a file never takes away the installed one.
std::vector<std::string> FilesToDelete(
    std::string_view baseName, std::string_view argument4,
    const std::function<bool(const std::string&)>& packagedPresent);

// A keyboard layout subkey name read as a hexadecimal number: digits and letters A-F in either
// case, at most 16 significant digits. Anything else, the empty name too, is no number.
std::optional<std::int64_t> ReadLayoutIdentifier(std::string_view name);

// The identifier of a new Chinese (PRC) layout one step above the largest existing one: the
// high 16 bits of its low 32 bits plus one (wrapping), the low 16 bits 0804, as eight upper-case
// hexadecimal digits.
std::string NewLayoutIdentifier(std::int64_t largest);

// The largest of the subkey names, the first one winning ties. Throws InstallFailure when the
// list is empty or a name is no number.
std::int64_t LargestLayoutIdentifier(const std::vector<std::string>& names);

// Registry value types as the system numbers them.
constexpr std::uint32_t kStringType = 1;            // REG_SZ
constexpr std::uint32_t kExpandableStringType = 2;  // REG_EXPAND_SZ

// Whether a subkey's "layout text" value names this layout text. storedText is the value's text
// in GB2312 (it ends at its first zero byte); a missing value has size 0. A value that holds
// data of another type than a string throws InstallFailure.
bool IsSameLayoutText(std::uint32_t type, std::size_t dataSize, std::string_view storedText,
                      std::string_view layoutText);

// Ends the keyboard layout registration silently; install mode never shows it. A failed registry
// call adds the system's code (the LONG the registry function returned).
class InstallFailure : public std::runtime_error {
public:
    explicit InstallFailure(const std::string& what, long systemCode = 0)
        : std::runtime_error(what), m_systemCode(systemCode) {}
    // The registry's code of the failure; 0 when no registry call failed.
    long SystemCode() const { return m_systemCode; }

private:
    long m_systemCode;
};

}  // namespace installer
