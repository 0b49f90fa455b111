#include "DriverTreeView.h"

#include <stdexcept>

namespace driver {

namespace {

// A TVITEMW and a text buffer allocated inside the process that owns the tree.
class RemoteItem {
public:
    explicit RemoteItem(HWND tree) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                processId);
        if (!m_process)
            throw std::runtime_error("cannot open the tree's process");
        m_memory = static_cast<char*>(
            VirtualAllocEx(m_process, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteItem() {
        VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        CloseHandle(m_process);
    }

    TVITEMW Get(HWND tree, HTREEITEM item, UINT mask) {
        TVITEMW local{};
        local.mask = mask;
        local.hItem = item;
        local.pszText = reinterpret_cast<wchar_t*>(m_memory + sizeof(TVITEMW));
        local.cchTextMax = kTextChars;
        WriteProcessMemory(m_process, m_memory, &local, sizeof local, nullptr);
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_memory));
        ReadProcessMemory(m_process, m_memory, &local, sizeof local, nullptr);
        return local;
    }

    std::wstring Text() {
        std::wstring text(kTextChars, L'\0');
        ReadProcessMemory(m_process, m_memory + sizeof(TVITEMW), text.data(),
                          kTextChars * sizeof(wchar_t), nullptr);
        text.resize(wcsnlen(text.c_str(), kTextChars));
        return text;
    }

private:
    static constexpr int kTextChars = 1024;
    static constexpr SIZE_T kSize = sizeof(TVITEMW) + kTextChars * sizeof(wchar_t);
    HANDLE m_process = nullptr;
    char* m_memory = nullptr;
};

HTREEITEM Next(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void Collect(HWND tree, HTREEITEM item, std::vector<HTREEITEM>& items) {
    for (; item; item = Next(tree, item, TVGN_NEXT)) {
        items.push_back(item);
        Collect(tree, Next(tree, item, TVGN_CHILD), items);
    }
}

}  // namespace

std::vector<HTREEITEM> TreeItems(HWND tree) {
    std::vector<HTREEITEM> items;
    Collect(tree, Next(tree, nullptr, TVGN_ROOT), items);
    return items;
}

std::vector<HTREEITEM> TreeRootItems(HWND tree) {
    std::vector<HTREEITEM> items;
    for (HTREEITEM item = Next(tree, nullptr, TVGN_ROOT); item; item = Next(tree, item, TVGN_NEXT))
        items.push_back(item);
    return items;
}

std::vector<HTREEITEM> TreeChildItems(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> items;
    for (HTREEITEM item = Next(tree, parent, TVGN_CHILD); item; item = Next(tree, item, TVGN_NEXT))
        items.push_back(item);
    return items;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    RemoteItem remote(tree);
    remote.Get(tree, item, TVIF_TEXT);
    return remote.Text();
}

HTREEITEM SelectedTreeItem(HWND tree) { return Next(tree, nullptr, TVGN_CARET); }

void SelectTreeItem(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

std::pair<int, int> TreeItemImages(HWND tree, HTREEITEM item) {
    RemoteItem remote(tree);
    const TVITEMW got = remote.Get(tree, item, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    return {got.iImage, got.iSelectedImage};
}

}  // namespace driver
