// The computer's name on Windows: its NetBIOS name, as Explorer shows it.
#include <windows.h>

#include "platform/ComputerName.h"
#include "platform/Path.h"

namespace platform {

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size))
        return "?";
    return Path::FromNative(std::wstring(name, size)).Utf8();
}

}  // namespace platform
