// What screen readers hear beyond the controls' own; see Accessibility_win.h.
#include "app/Accessibility_win.h"

#include <oleacc.h>

#include <atomic>
#include <utility>

namespace app {

namespace {

// oleacc's identifiers, spelled out here: the import library's copies clash with the ones the
// headers would define.
// clang-format off
constexpr GUID kAccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kAccPropServerInterface = {0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
constexpr MSAAPROPID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kDescriptionProperty = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr MSAAPROPID kStateProperty = {0xa8d4d5b0, 0x0a21, 0x42d0, {0xa5, 0xc0, 0x51, 0x4e, 0x98, 0x4f, 0x45, 0x7b}};
// UI Automation's LiveSetting (Windows 8 and later; ignored before).
constexpr MSAAPROPID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
// clang-format on
constexpr LONG kPoliteLiveSetting = 1;
constexpr MSAAPROPID kItemProperties[] = {kDescriptionProperty, kStateProperty};

// Dynamic Annotation, or null where the thread has no COM or the system no annotation.
IAccPropServices* CreateServices() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface, reinterpret_cast<void**>(&services))))
        return nullptr;
    return services;
}

// Runs use with the services and lets them go.
template <class Use>
void WithServices(Use use) {
    if (IAccPropServices* services = CreateServices()) {
        use(*services);
        services->Release();
    }
}

}  // namespace

ComScope::ComScope()
    : m_initialized(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComScope::~ComScope() {
    if (m_initialized)
        CoUninitialize();
}

void ShowKeyboardCues(HWND window) {
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
}

bool SelectFirstItemOnKey(HWND tree, const MSG& message) {
    if (message.hwnd != tree || message.message != WM_KEYDOWN || TreeView_GetSelection(tree))
        return false;
    switch (message.wParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
        break;
    default:
        return false;
    }
    const HTREEITEM first = TreeView_GetFirstVisible(tree);
    if (!first)
        return false;
    TreeView_SelectItem(tree, first);
    return true;
}

void SetAccessibleName(HWND control, const std::wstring& name) {
    WithServices([&](IAccPropServices& services) {
        services.SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                kNameProperty, name.c_str());
    });
}

void MarkLiveRegion(HWND control) {
    WithServices([&](IAccPropServices& services) {
        VARIANT polite;
        VariantInit(&polite);
        polite.vt = VT_I4;
        polite.lVal = kPoliteLiveSetting;
        services.SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             kLiveSettingProperty, polite);
    });
}

void AnnounceTextChange(HWND control, LONG child) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, child);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

// The annotation's server: asked by oleacc (in this thread, through COM) for an item's description
// and state. Detached when its owner goes, so that a late question finds nothing.
struct TreeItemAnnotation::Server final : IAccPropServer {
    Server(IAccPropServices* services, TreeItemQuery query)
        : services(services), query(std::move(query)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == kAccPropServerInterface) {
            *object = static_cast<IAccPropServer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0) {
            services->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identityLength,
                                           MSAAPROPID property, VARIANT* value,
                                           BOOL* has) override {
        *has = FALSE;
        VariantInit(value);
        HWND tree = nullptr;
        DWORD object = 0, child = 0;
        if (!query ||
            FAILED(services->DecomposeHwndIdentityString(identity, identityLength, &tree, &object,
                                                         &child)) ||
            child == CHILDID_SELF)
            return S_OK;
        const HTREEITEM item = TreeView_MapAccIDToHTREEITEM(tree, child);
        if (!item)
            return S_OK;
        const TreeItemAccessibility said = query(item);
        if (property == kDescriptionProperty && !said.description.empty()) {
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(said.description.c_str());
            *has = value->bstrVal != nullptr;
        } else if (property == kStateProperty && said.chosen &&
                   item != TreeView_GetSelection(tree)) {
            // The tree's own selection says it is selected already.
            value->vt = VT_I4;
            value->lVal = ChosenState(tree, item);
            *has = TRUE;
        }
        return S_OK;
    }

    IAccPropServices* services;
    TreeItemQuery query;
    std::atomic<ULONG> references{1};
};

void TreeItemAnnotation::Attach(HWND tree, TreeItemQuery query) {
    IAccPropServices* services = CreateServices();
    if (!services)
        return;
    auto* server = new Server(services, std::move(query));
    if (FAILED(services->SetHwndPropServer(tree, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           kItemProperties, 2, server, ANNO_CONTAINER))) {
        server->Release();
        return;
    }
    m_tree = tree;
    m_server = server;
}

TreeItemAnnotation::~TreeItemAnnotation() {
    if (!m_server)
        return;
    m_server->services->ClearHwndProps(m_tree, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       kItemProperties, 2);
    m_server->query = nullptr;
    m_server->Release();
}

LONG TreeItemAnnotation::ChosenState(HWND tree, HTREEITEM item) {
    LONG state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTED;
    TVITEMW data{};
    data.mask = TVIF_STATE | TVIF_CHILDREN;
    data.hItem = item;
    data.stateMask = TVIS_EXPANDED;
    if (TreeView_GetItem(tree, &data) && data.cChildren)
        state |= (data.state & TVIS_EXPANDED) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    RECT bounds{};
    if (!TreeView_GetItemRect(tree, item, &bounds, TRUE))
        state |= STATE_SYSTEM_INVISIBLE;
    else {
        RECT client{};
        GetClientRect(tree, &client);
        if (bounds.bottom <= client.top || bounds.top >= client.bottom)
            state |= STATE_SYSTEM_OFFSCREEN;
    }
    return state;
}

}  // namespace app
