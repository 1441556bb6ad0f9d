// The browser control: the platform's web-browser component in an ATL host
// window, with ATL.DLL loaded at run time so that a system without it still
// starts far enough to say so.
#include "runtime/browser.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "runtime/win32/layer.h"

namespace {

using AtlAxWinInitProcedure = BOOL(WINAPI*)();
using AtlAxGetControlProcedure = HRESULT(WINAPI*)(HWND, IUnknown**);

constexpr char BrowserInterfaceProperty[] = "KelpraWebBrowser2";
constexpr int NavigateUnits = 2000;
constexpr int AddressBytes = BrowserAddressLimit + 1;

// IID_IWebBrowser2, spelled out so that no GUID library is needed.
const IID WebBrowser2Id = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};

struct Host {
    bool ready = false;
    HMODULE library = nullptr;
    AtlAxWinInitProcedure initialise = nullptr;
    AtlAxGetControlProcedure getControl = nullptr;
};

Host& TheHost()
{
    static Host host;
    return host;
}

bool HostReady()
{
    Host& host = TheHost();
    if (host.ready) return true;
    HMODULE library = LoadLibraryA("ATL.DLL");
    if (!library) return false;
    auto initialise = LibraryProcedure<AtlAxWinInitProcedure>(library, "AtlAxWinInit");
    auto getControl = LibraryProcedure<AtlAxGetControlProcedure>(library, "AtlAxGetControl");
    if (!initialise || !getControl) {
        FreeLibrary(library);
        return false;
    }
    // The next attempt starts from the beginning if this one fails.
    if (!initialise()) {
        FreeLibrary(library);
        return false;
    }
    host = {true, library, initialise, getControl};
    return true;
}

IWebBrowser2* BrowserOf(HWND control)
{
    return static_cast<IWebBrowser2*>(GetPropA(control, BrowserInterfaceProperty));
}

void Navigate(HWND control, const std::string& address)
{
    IWebBrowser2* browser = BrowserOf(control);
    if (!browser || address.empty()) return;
    std::vector<wchar_t> wide(NavigateUnits, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, wide.data(), NavigateUnits - 1)) return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(wide.data());
    if (!target.bstrVal) return;
    browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

std::string CurrentAddress(HWND control)
{
    IWebBrowser2* browser = BrowserOf(control);
    if (!browser) return "";
    BSTR location = nullptr;
    if (FAILED(browser->get_LocationURL(&location)) || !location) return "";
    std::vector<char> text(AddressBytes, '\0');
    int length = WideCharToMultiByte(CP_ACP, 0, location, -1, text.data(), AddressBytes, nullptr, nullptr);
    SysFreeString(location);
    // A longer address than the buffer gives nothing rather than a cut one.
    if (length <= 0) return "";
    return std::string(text.data());
}

void Step(HWND control, int command)
{
    IWebBrowser2* browser = BrowserOf(control);
    if (!browser) return;
    switch (command) {
    case BrowserBack: browser->GoBack(); break;
    case BrowserForward: browser->GoForward(); break;
    case BrowserStop: browser->Stop(); break;
    case BrowserReload: browser->Refresh(); break;
    }
}

void Release(HWND control)
{
    if (IWebBrowser2* browser = BrowserOf(control)) browser->Release();
    RemovePropA(control, BrowserInterfaceProperty);
}

const ControlHandlers BrowserHandlers = {Navigate, CurrentAddress, Step, Release};

}  // namespace

int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address)
{
    if (!HostReady()) return 0;
    HWND control = CreateWindowExA(
        0, "AtlAxWin", "Shell.Explorer.1", WS_CHILD | WS_VISIBLE, x, y, width, height, ControlParent(),
        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!control) return 0;
    IUnknown* component = nullptr;
    IWebBrowser2* browser = nullptr;
    if (SUCCEEDED(TheHost().getControl(control, &component)) && component) {
        component->QueryInterface(WebBrowser2Id, reinterpret_cast<void**>(&browser));
        component->Release();
    }
    if (!browser) {
        // A host without its component is no browser: leave nothing behind.
        DestroyWindow(control);
        return 0;
    }
    SetPropA(control, BrowserInterfaceProperty, browser);
    ControlRegister(id, control, &BrowserHandlers);
    Navigate(control, address);
    return 1;
}
