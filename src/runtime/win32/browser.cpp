// The browser control: the platform's web-browser component in an ATL host
// window, with ATL.DLL loaded at run time so that a system without it still
// starts far enough to say so.
#include "runtime/browser.h"

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "runtime/browserhistory.h"
#include "runtime/win32/layer.h"

namespace {

using AtlAxWinInitProcedure = BOOL(WINAPI*)();
using AtlAxGetControlProcedure = HRESULT(WINAPI*)(HWND, IUnknown**);

constexpr char BrowserInterfaceProperty[] = "KelpraBrowser";
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

// What the control keeps with its window: the component and a history of
// our own, whose entries know the page a display copy stands for. The
// component's own history is never used; each entry is navigated to anew.
struct Browser {
    HWND control = nullptr;
    IWebBrowser2* component = nullptr;
    BrowserHistory history;
    // The component's address last accounted for, and the addresses we sent
    // it to that it has not reported yet, so that a link it followed by
    // itself is told from a navigation of ours still on its way.
    std::string seen;
    std::vector<std::string> asked;
};

constexpr UINT_PTR ShowTimer = 1;

Browser* BrowserOf(HWND control)
{
    return static_cast<Browser*>(GetPropA(control, BrowserInterfaceProperty));
}

void NavigateComponent(Browser& browser, const std::string& address)
{
    if (address.empty()) return;
    browser.asked.push_back(address);
    std::vector<wchar_t> wide(NavigateUnits, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, wide.data(), NavigateUnits - 1)) return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(wide.data());
    if (!target.bstrVal) return;
    browser.component->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

std::string ComponentAddress(Browser& browser)
{
    BSTR location = nullptr;
    if (FAILED(browser.component->get_LocationURL(&location)) || !location) return "";
    std::vector<char> text(AddressBytes, '\0');
    int length = WideCharToMultiByte(CP_ACP, 0, location, -1, text.data(), AddressBytes, nullptr, nullptr);
    SysFreeString(location);
    // A longer address than the buffer gives nothing rather than a cut one.
    if (length <= 0) return "";
    return BrowserEntryAddress(BrowserEntryOf(text.data()));
}

std::string ShownAddress(const Browser& browser)
{
    const BrowserHistory& history = browser.history;
    if (history.current < 0) return "";
    return BrowserEntryAddress(history.entries[static_cast<size_t>(history.current)]);
}

// The event loop's part: the navigation started last becomes the shown
// entry, and the component is sent wherever that entry is.
void CALLBACK ShowPending(HWND control, UINT, UINT_PTR, DWORD)
{
    KillTimer(control, ShowTimer);
    Browser* browser = BrowserOf(control);
    if (!browser) return;
    bool reread = browser->history.pending.reread;
    HistoryCommit(browser->history, 0);
    std::string address = ShownAddress(*browser);
    if (address.empty()) return;
    // A link the component followed is on screen already.
    if (!reread && ComponentAddress(*browser) == address) return;
    NavigateComponent(*browser, address);
    HistoryLaidOut(browser->history);
}

void Schedule(HWND control)
{
    SetTimer(control, ShowTimer, USER_TIMER_MINIMUM, ShowPending);
}

// A link to a file that the component followed by itself becomes a
// navigation of ours, so that the page watcher can put a display copy in
// its place. Its own pages (errors, "about:") are not pages of the history.
void TakeFollowedLink(Browser& browser)
{
    std::string now = ComponentAddress(browser);
    if (now.empty() || now == browser.seen) return;
    browser.seen = now;
    for (size_t i = browser.asked.size(); i-- > 0;) {
        if (browser.asked[i] == now) {
            browser.asked.erase(browser.asked.begin(), browser.asked.begin() + static_cast<long>(i) + 1);
            return;
        }
    }
    BrowserEntry followed = BrowserEntryOf(now);
    if (now.compare(0, 5, "file:") != 0 || followed.path.size() < 3) return;
    HistoryNavigate(browser.history, followed);
    Schedule(browser.control);
}

void Navigate(HWND control, const std::string& address)
{
    Browser* browser = BrowserOf(control);
    if (!browser || address.empty()) return;
    HistoryNavigate(browser->history, BrowserEntryOf(address));
    Schedule(control);
}

std::string CurrentAddress(HWND control)
{
    Browser* browser = BrowserOf(control);
    if (!browser) return "";
    TakeFollowedLink(*browser);
    return ShownAddress(*browser);
}

void Step(HWND control, int command)
{
    Browser* browser = BrowserOf(control);
    if (!browser) return;
    switch (command) {
    case BrowserBack: HistoryStep(browser->history, -1); break;
    case BrowserForward: HistoryStep(browser->history, 1); break;
    // Also brings the component back to the shown entry when it had gone on.
    case BrowserStop: HistoryStop(browser->history); break;
    case BrowserReload: HistoryReload(browser->history); break;
    default: return;
    }
    Schedule(control);
}

void Release(HWND control)
{
    KillTimer(control, ShowTimer);
    if (Browser* browser = BrowserOf(control)) {
        browser->component->Release();
        delete browser;
    }
    RemovePropA(control, BrowserInterfaceProperty);
}

const ControlHandlers BrowserHandlers = {Navigate, CurrentAddress, Step, Release};

HWND BrowserWindow(int id)
{
    HWND control = ControlHandle(id);
    return control && BrowserOf(control) ? control : nullptr;
}

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
    auto* state = new Browser;
    state->control = control;
    state->component = browser;
    SetPropA(control, BrowserInterfaceProperty, state);
    ControlRegister(id, control, &BrowserHandlers);
    Navigate(control, address);
    return 1;
}

std::string BrowserTargetAddress(int id)
{
    HWND control = BrowserWindow(id);
    if (!control) return "";
    Browser* browser = BrowserOf(control);
    TakeFollowedLink(*browser);
    const BrowserEntry* target = HistoryTarget(browser->history);
    return target ? BrowserEntryAddress(*target) : "";
}

std::string BrowserTargetPage(int id)
{
    HWND control = BrowserWindow(id);
    if (!control) return "";
    const BrowserEntry* target = HistoryTarget(BrowserOf(control)->history);
    return target ? target->page : "";
}

void BrowserShowCopy(int id, const std::string& copyPath, const std::string& page)
{
    HWND control = BrowserWindow(id);
    if (!control) return;
    HistoryShowCopy(BrowserOf(control)->history, copyPath, page);
    Schedule(control);
}

// The platform's browser follows or refuses every address itself.
std::string BrowserTakeOutsideAddress(int)
{
    return "";
}

namespace {

// The document's command group and its find command, and the command
// target's interface, spelled out like the browser's.
const GUID MshtmlCommands = {0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DWORD MshtmlFind = 67;
const IID CommandTargetId = {0xB722BCCB, 0x4E68, 0x101B, {0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70}};
// Not in every MinGW's headers.
constexpr int OpticalZoomCommand = 63;

IWebBrowser2* ComponentOf(int id)
{
    HWND control = BrowserWindow(id);
    return control ? BrowserOf(control)->component : nullptr;
}

}  // namespace

// The component keeps the zoom for every page it shows after.
void BrowserZoomSet(int id, int percent)
{
    IWebBrowser2* component = ComponentOf(id);
    if (!component) return;
    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = percent;
    component->ExecWB(static_cast<OLECMDID>(OpticalZoomCommand), OLECMDEXECOPT_DONTPROMPTUSER, &zoom,
                      nullptr);
}

// The component's own find dialog steps forward and back and says when
// nothing is found, so every step opens it.
void BrowserFind(int id, int, const std::string&)
{
    IWebBrowser2* component = ComponentOf(id);
    if (!component) return;
    IDispatch* document = nullptr;
    if (FAILED(component->get_Document(&document)) || !document) return;
    IOleCommandTarget* target = nullptr;
    if (SUCCEEDED(document->QueryInterface(CommandTargetId, reinterpret_cast<void**>(&target))) && target) {
        target->Exec(&MshtmlCommands, MshtmlFind, 0, nullptr, nullptr);
        target->Release();
    }
    document->Release();
}

void BrowserPrint(int id)
{
    if (IWebBrowser2* component = ComponentOf(id))
        component->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr);
}
