// One editor per data directory; see SingleInstance_win.h.
#include "editor/windows/SingleInstance_win.h"

#include <chrono>
#include <thread>

#include "editor/rules/InstanceKey.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

constexpr wchar_t kWindowClass[] = L"TForm_User_Main";
// A second editor started while the first is still coming up waits this long for its window.
constexpr auto kWaitForWindow = std::chrono::seconds(5);

struct Search {
    const wchar_t* mark;
    HWND found = nullptr;
};

BOOL CALLBACK FindMarked(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (std::wstring_view(className) == kWindowClass && GetPropW(hwnd, search->mark)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

SingleInstance::SingleInstance(const platform::Path& dataDirectory) {
    const std::wstring key = platform::ToWide(InstanceKey(dataDirectory.Native()));
    m_mark = L"srf_user.editor." + key;
    SetLastError(ERROR_SUCCESS);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\srf_user.editor." + key).c_str());
    const DWORD created = GetLastError();
    m_mutex.Reset(mutex);
    // Without a mutex at all (no rights), run rather than refuse to.
    m_claimed = !m_mutex || created != ERROR_ALREADY_EXISTS;
}

void SingleInstance::Publish(HWND window) const {
    SetPropW(window, m_mark.c_str(), reinterpret_cast<HANDLE>(1));
}

void SingleInstance::BringRunningEditorForward() const {
    Search search{m_mark.c_str()};
    const auto end = std::chrono::steady_clock::now() + kWaitForWindow;
    for (;;) {
        EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
        if (search.found || std::chrono::steady_clock::now() > end)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!search.found)
        return;
    if (IsIconic(search.found))
        ShowWindow(search.found, SW_RESTORE);
    // A minimized editor is minimized as a program: its task bar entry, the window's owner.
    const HWND owner = GetWindow(search.found, GW_OWNER);
    if (owner && IsIconic(owner))
        ShowWindow(owner, SW_RESTORE);
    // A box the editor shows stays in front of it.
    SetForegroundWindow(GetLastActivePopup(search.found));
}

}  // namespace editor
