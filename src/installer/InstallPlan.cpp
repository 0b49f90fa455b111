#include "installer/InstallPlan.h"

#include <cstdio>
#include <stdexcept>

#include "InstallTexts.h"
#include "app/AppPaths.h"

namespace installer {

namespace {

std::string Quoted(const char* before, std::string_view name, const char* after) {
    std::string text = before;
    text.append(name);
    text += after;
    return text;
}

std::string AsciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The installed data files that each variant replaces, in the order of their deletion.
struct Variant {
    std::string_view baseName;
    std::vector<std::string_view> installedNames;
};

const std::vector<Variant>& Variants() {
    static const std::vector<Variant> variants = {
        {"srf_pylm", {"srf_pub.py", "srf_pub.pys", "srf_pub.lm"}},
        {"srf_kvlm", {"srf_pub.lm", "srf_pub.kv", "srf_pub.pym"}},
        {"srf_py", {"srf_pub.py", "srf_pub.pys"}},
        {"srf_lm", {"srf_pub.lm", "srf_pub.pym"}},
        {"srf_kv", {"srf_pub.kv", "srf_pub.pym"}},
    };
    return variants;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr std::string_view kNotInFileNames = "<>:\"/\\|?*";

// The device names Windows keeps for itself in every directory, also with an extension: the part
// before the first dot, blanks at its end dropped, is what counts ("con.ime", "CON .x").
bool IsReservedDeviceName(std::string_view baseName) {
    std::string_view stem = baseName.substr(0, baseName.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    const std::string name = AsciiLowerCase(stem);
    if (name == "con" || name == "prn" || name == "aux" || name == "nul")
        return true;
    return name.size() == 4 && (name.starts_with("com") || name.starts_with("lpt")) &&
           name[3] >= '1' && name[3] <= '9';
}

}  // namespace

std::string LayoutText(std::string_view displayName) {
    std::string text = texts::kLayoutTextPrefix;
    text.append(displayName);
    return text;
}

std::string InUseWarning(std::string_view displayName) {
    return Quoted(texts::kInUseBefore, displayName, texts::kInUseAfter);
}

std::string OverwriteQuestion(std::string_view displayName) {
    return Quoted(texts::kOverwriteBefore, displayName, texts::kOverwriteAfter);
}

std::string RefusedNameNotice(std::string_view baseName) {
    return Quoted(texts::kRefusedNameBefore, baseName, texts::kRefusedNameAfter);
}

std::string OtherBitnessNotice(std::string_view fileName, int fileBits, int programBits) {
    const std::string file = std::to_string(fileBits);
    return Quoted(texts::kBitnessBefore, fileName, texts::kBitnessFileIs) + file +
           texts::kBitnessProgramIs + std::to_string(programBits) + texts::kBitnessUse + file +
           texts::kBitnessAfter;
}

bool IsAcceptableBaseName(std::string_view baseName) {
    if (baseName.empty() || baseName.back() == '.' || baseName.back() == ' ')
        return false;
    if (IsReservedDeviceName(baseName))
        return false;
    for (std::size_t i = 0; i < baseName.size(); ++i) {
        const auto c = static_cast<unsigned char>(baseName[i]);
        if (app::IsLeadByte(c) && i + 1 < baseName.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F ||
            kNotInFileNames.find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return true;
}

std::vector<DataFile> DataFiles(std::string_view baseName) {
    const std::string base(baseName);
    return {
        {"srf_ime", base + ".ime"}, {"srf_set", base + ".set"}, {"srf_zc", "srf_pub.zc"},
        {"srf_py", "srf_pub.py"},   {"srf_pys", "srf_pub.pys"}, {"srf_lm", "srf_pub.lm"},
        {"srf_pym", "srf_pub.pym"}, {"srf_kv", "srf_pub.kv"},   {"srf_usr", "srf_pub.usr"},
        {"srf_dat", "srf_pub.dat"}, {"srf_zy", "srf_pub.zy"},
    };
}

std::vector<DataFile> Replacements(std::string_view baseName, std::string_view argument4) {
    const std::vector<DataFile> files = DataFiles(baseName);
    auto fileInstalledAs = [&](std::string_view installed) {
        for (const DataFile& file : files)
            if (file.installed == installed)
                return file;
        throw std::logic_error("no packaged file is installed as " + std::string(installed));
    };
    std::vector<DataFile> replaced = {files[0], files[1], fileInstalledAs("srf_pub.zc")};
    for (const Variant& variant : Variants()) {
        if (variant.baseName == baseName) {
            for (std::string_view installed : variant.installedNames)
                replaced.push_back(fileInstalledAs(installed));
            break;
        }
    }
    if (AsciiLowerCase(argument4) == "zy")
        replaced.push_back(fileInstalledAs("srf_pub.zy"));
    return replaced;
}

std::vector<std::string> FilesToDelete(
    std::string_view baseName, std::string_view argument4,
    const std::function<bool(const std::string&)>& packagedPresent) {
    std::vector<std::string> names;
    for (const DataFile& file : Replacements(baseName, argument4))
        if (packagedPresent(file.packaged))
            names.push_back(file.installed);
    return names;
}

std::optional<std::int64_t> ReadLayoutIdentifier(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    int significantDigits = 0;
    for (char c : name) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        if (value != 0 || digit != 0)
            ++significantDigits;
        if (significantDigits > 16)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return static_cast<std::int64_t>(value);
}

std::string NewLayoutIdentifier(std::int64_t largest) {
    constexpr std::uint32_t kChinesePrc = 0x0804;
    const auto low = static_cast<std::uint32_t>(largest);
    const std::uint32_t identifier = ((low + 0x10000u) & 0xFFFF0000u) | kChinesePrc;
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(identifier));
    return text;
}

std::int64_t LargestLayoutIdentifier(const std::vector<std::string>& names) {
    if (names.empty())
        throw InstallFailure("no keyboard layout to count from");
    std::optional<std::int64_t> largest;
    for (const std::string& name : names) {
        const std::optional<std::int64_t> value = ReadLayoutIdentifier(name);
        if (!value)
            throw InstallFailure("keyboard layout name is no number: " + name);
        if (!largest || *value > *largest)
            largest = value;
    }
    return *largest;
}

bool IsSameLayoutText(std::uint32_t type, std::size_t dataSize, std::string_view storedText,
                      std::string_view layoutText) {
    if (dataSize > 0 && type != kStringType && type != kExpandableStringType)
        throw InstallFailure("layout text is no string");
    const std::size_t end = storedText.find('\0');
    if (end != std::string_view::npos)
        storedText = storedText.substr(0, end);
    return storedText == layoutText;
}

}  // namespace installer
