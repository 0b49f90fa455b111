#include "installer/InstallRun.h"

#include "InstallTexts.h"
#include "installer/InstallPlan.h"

namespace installer {

namespace {

// The checks before anything changes: false when the run ends here.
bool MayInstall(const InstallArguments& arguments, InstallSystem& system) {
    if (!IsAcceptableBaseName(arguments.baseName)) {
        system.Ask(RefusedNameNotice(arguments.baseName), texts::kNoticeCaption,
                   MessageKind::Notice);
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

void SetLayoutValue(InstallSystem& system, const char* valueName, const std::string& text) {
    if (!system.SetLayoutValue(valueName, text))
        throw InstallFailure("cannot set a keyboard layout value");
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

LayoutOutcome AddKeyboardLayout(InstallSystem& system, const std::string& baseName,
                                const std::string& layoutText) {
    try {
        if (!system.OpenLayoutsKey())
            return LayoutOutcome::NoLayoutsKey;
        bool alreadyPresent = false;
        std::string identifier;
        try {
            const std::vector<std::string> names = system.LayoutNames();
            for (const std::string& name : names) {
                const std::optional<StoredLayoutText> stored = system.ReadLayoutText(name);
                if (stored &&
                    IsSameLayoutText(stored->type, stored->size, stored->text, layoutText))
                    alreadyPresent = true;
            }
            identifier = NewLayoutIdentifier(LargestLayoutIdentifier(names));
        } catch (...) {
            system.CloseLayoutsKey();
            throw;
        }
        system.CloseLayoutsKey();
        if (alreadyPresent)
            return LayoutOutcome::AlreadyPresent;

        const std::optional<bool> createdNew = system.CreateLayoutKey(identifier);
        if (!createdNew)
            return LayoutOutcome::NotCreated;
        try {
            SetLayoutValue(system, "IME file", baseName + ".ime");
            SetLayoutValue(system, "layout file", system.LayoutFile());
            SetLayoutValue(system, "layout text", layoutText);
        } catch (const InstallFailure&) {
            // A layout without all three values would be offered by the system but not work.
            system.CloseLayoutKey();
            if (*createdNew)
                system.DeleteLayoutKey(identifier);
            throw;
        }
        system.CloseLayoutKey();
        return LayoutOutcome::Added;
    } catch (const InstallFailure&) {
        return LayoutOutcome::Failed;
    }
}

}  // namespace installer
