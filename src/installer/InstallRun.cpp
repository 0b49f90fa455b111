#include "installer/InstallRun.h"

#include "InstallTexts.h"
#include "installer/ImageMachine.h"
#include "installer/InstallPlan.h"

namespace installer {

namespace {

// The packaged input method file, srf_ime, or where the package brings none BASE.ime: the
// notice when it is an image of the other bitness. A 32-bit process that names the system
// directory reaches SysWOW64, a 64-bit one System32, so a program of the wrong bitness would
// hand the Input Method Manager a file where no program can load it.
std::optional<std::string> OtherBitness(const std::string& baseName, InstallSystem& system) {
    std::string file = "srf_ime";
    if (!system.FileExists(file))
        file = baseName + ".ime";
    // A file that is no image (or none at all) is not judged here.
    const std::optional<std::uint16_t> machine =
        ImageMachine(system.ReadFileStart(file, kImageHeaderBytes));
    const int bits = machine ? MachineBits(*machine) : 0;
    if (bits == 0 || bits == kOwnBits)
        return std::nullopt;
    return OtherBitnessNotice(file, bits, kOwnBits);
}

// The checks before anything changes: false when the run ends here.
bool MayInstall(const InstallArguments& arguments, InstallSystem& system) {
    if (!IsAcceptableBaseName(arguments.baseName)) {
        system.Ask(RefusedNameNotice(arguments.baseName), texts::kNoticeCaption,
                   MessageKind::Notice);
        return false;
    }
    if (const std::optional<std::string> notice = OtherBitness(arguments.baseName, system)) {
        system.Ask(*notice, texts::kNoticeCaption, MessageKind::Notice);
        return false;
    }
    switch (system.CheckInstalledCopy(arguments.baseName + ".ime")) {
    case InstalledCopy::InUse:
        system.Ask(InUseWarning(arguments.displayName), texts::kNoticeCaption, MessageKind::Notice);
        return false;
    case InstalledCopy::Replaceable:
        return system.Ask(OverwriteQuestion(arguments.displayName), texts::kQuestionCaption,
                          MessageKind::Question) == Answer::Ok;
    case InstalledCopy::Absent:
        break;
    }
    return true;
}

// Whether the subkey's layout text is this one; a subkey that cannot be opened has none.
bool HasLayoutText(RegistryKey& layouts, const std::string& name, const std::string& layoutText) {
    OwnedKey subkey;
    try {
        subkey = layouts.OpenSubkey(name);
    } catch (const InstallFailure&) {
        return false;
    }
    const StoredLayoutText stored = subkey->ReadText("layout text");
    return IsSameLayoutText(stored.type, stored.size, stored.text, layoutText);
}

}  // namespace

void RunInstall(const InstallArguments& arguments, InstallSystem& system) {
    if (!MayInstall(arguments, system))
        return;
    const std::string layoutText = LayoutText(arguments.displayName);
    // Install mode reports neither success nor failure of the installation itself.
    try {
        PlaceDataFiles(system, arguments.baseName, arguments.argument4);
        AddKeyboardLayout(system, arguments.baseName, layoutText);
        system.InstallInputMethod(arguments.baseName, layoutText);
        system.OpenMakerPage();
    } catch (...) {
    }
}

void PlaceDataFiles(InstallSystem& system, const std::string& baseName,
                    const std::string& argument4) {
    const auto packagedPresent = [&](const std::string& name) { return system.FileExists(name); };
    for (const std::string& installed : FilesToDelete(baseName, argument4, packagedPresent))
        system.RemoveFile(installed);
    for (const DataFile& file : DataFiles(baseName))
        system.RenameFile(file.packaged, file.installed);
}

LayoutResult AddKeyboardLayout(InstallSystem& system, const std::string& baseName,
                               const std::string& layoutText) {
    OwnedKey layouts;
    try {
        layouts = system.OpenLayoutsKey();
    } catch (const InstallFailure& failure) {
        return {LayoutOutcome::NoLayoutsKey, failure.SystemCode()};
    }
    try {
        // Every layout text is read, and the identifier found, before a match counts: a list
        // that cannot be read all through ends the registration as a failure.
        const std::vector<std::string> names = layouts->SubkeyNames();
        bool alreadyPresent = false;
        for (const std::string& name : names)
            alreadyPresent = HasLayoutText(*layouts, name, layoutText) || alreadyPresent;
        const std::string identifier = NewLayoutIdentifier(LargestLayoutIdentifier(names));
        if (alreadyPresent)
            return {LayoutOutcome::AlreadyPresent};

        RegistryKey::Created layout;
        try {
            layout = layouts->CreateSubkey(identifier);
        } catch (const InstallFailure& failure) {
            return {LayoutOutcome::NotCreated, failure.SystemCode()};
        }
        try {
            layout.key->SetText("IME file", baseName + ".ime");
            layout.key->SetText("layout file", system.LayoutFile());
            layout.key->SetText("layout text", layoutText);
        } catch (const InstallFailure&) {
            // A layout without all three values would be offered by the system but not work.
            layout.key.reset();
            if (layout.createdNew) {
                try {
                    layouts->DeleteSubkey(identifier);
                } catch (const InstallFailure&) {
                    // the failure to report is the value's
                }
            }
            throw;
        }
        return {LayoutOutcome::Added};
    } catch (const InstallFailure& failure) {
        return {LayoutOutcome::Failed, failure.SystemCode()};
    }
}

}  // namespace installer
