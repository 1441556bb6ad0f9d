// The browser control: the platform's web-browser component in an ATL host
// window, with ATL.DLL loaded at run time so that a system without it still
// starts far enough to say so.
#include "runtime/browser.h"

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>
#include <oleauto.h>

#include <algorithm>
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

// IID_IWebBrowser2 and DIID_DWebBrowserEvents2, spelled out so that no GUID
// library is needed, and the two events that matter here.
const IID WebBrowser2Id = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
const IID BrowserEventsId = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
constexpr DISPID BeforeNavigate2Event = 250;
constexpr DISPID DocumentCompleteEvent = 259;

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
    // The component's events, while connected.
    IConnectionPoint* events = nullptr;
    DWORD eventsCookie = 0;
    // Inside our own Navigate2, and the address it was given until the
    // component announces it: that navigation is ours, not a link.
    bool navigating = false;
    std::string sent;
    // Where the view goes once the document is complete; -1 for nowhere.
    int scrollToRestore = -1;
    BrowserFinding finding;
};

constexpr UINT_PTR ShowTimer = 1;

Browser* BrowserOf(HWND control)
{
    return static_cast<Browser*>(GetPropA(control, BrowserInterfaceProperty));
}

std::string TextFromWide(const wchar_t* wide)
{
    if (!wide) return "";
    std::vector<char> text(AddressBytes, '\0');
    int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), AddressBytes, nullptr, nullptr);
    // A longer text than the buffer gives nothing rather than a cut one.
    return length > 0 ? std::string(text.data()) : "";
}

void NavigateComponent(Browser& browser, const std::string& address)
{
    if (address.empty()) return;
    std::vector<wchar_t> wide(NavigateUnits, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, wide.data(), NavigateUnits - 1)) return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(wide.data());
    if (!target.bstrVal) return;
    browser.navigating = true;
    browser.sent = address;
    browser.component->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    browser.navigating = false;
    VariantClear(&target);
}

std::string ComponentAddress(Browser& browser)
{
    BSTR location = nullptr;
    if (FAILED(browser.component->get_LocationURL(&location)) || !location) return "";
    std::string text = TextFromWide(location);
    SysFreeString(location);
    return text.empty() ? "" : BrowserEntryAddress(BrowserEntryOf(text));
}

std::string ShownAddress(const Browser& browser)
{
    const BrowserHistory& history = browser.history;
    if (history.current < 0) return "";
    return BrowserEntryAddress(history.entries[static_cast<size_t>(history.current)]);
}

// The event loop's part: the navigation started last becomes the shown
// entry, and the component is sent there, once: a display copy is in its
// page's place by now. A step within the document on screen only moves.
void CALLBACK ShowPending(HWND control, UINT, UINT_PTR, DWORD)
{
    KillTimer(control, ShowTimer);
    Browser* browser = BrowserOf(control);
    if (!browser) return;
    BrowserCommit commit = HistoryCommit(browser->history, DocumentScroll(browser->component));
    if (!commit.done) return;
    const BrowserEntry& shown = browser->history.entries[static_cast<size_t>(browser->history.current)];
    const std::string address = ShownAddress(*browser);
    const int scroll = commit.returning ? shown.scroll : -1;
    browser->scrollToRestore = -1;
    if (commit.layOut) {
        FindingForget(browser->finding);
        browser->scrollToRestore = scroll;
        NavigateComponent(*browser, address);
    } else {
        if (ComponentAddress(*browser) != address) NavigateComponent(*browser, address);
        if (scroll >= 0) DocumentScrollSet(browser->component, scroll);
    }
    HistoryLaidOut(browser->history);
}

void Schedule(HWND control)
{
    SetTimer(control, ShowTimer, USER_TIMER_MINIMUM, ShowPending);
}

bool IsFileAddress(const std::string& address)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, address.c_str(),
                          static_cast<int>(std::min<size_t>(address.size(), 5)), "file:", 5) == CSTR_EQUAL;
}

bool SameAddress(const std::string& a, const std::string& b)
{
    return BrowserEntryAddress(BrowserEntryOf(a)) == BrowserEntryAddress(BrowserEntryOf(b));
}

// The frame an event is about is the control's own page, not a frame in it.
bool IsTopLevel(const Browser& browser, const VARIANT& frame)
{
    if (frame.vt != VT_DISPATCH || !frame.pdispVal) return false;
    IUnknown* ours = nullptr;
    IUnknown* theirs = nullptr;
    browser.component->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ours));
    frame.pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&theirs));
    bool same = ours && ours == theirs;
    if (ours) ours->Release();
    if (theirs) theirs->Release();
    return same;
}

const VARIANT& Dereferenced(const VARIANT& value)
{
    return value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal ? *value.pvarVal : value;
}

// A link the component is about to follow to a file becomes a navigation
// of ours instead, so that the page watcher can put a display copy in the
// page's place before anything is drawn. Other addresses the component
// follows or refuses itself.
void BeforeNavigate(Browser& browser, DISPPARAMS& parameters)
{
    if (parameters.cArgs < 7) return;
    VARIANT& cancel = parameters.rgvarg[0];
    const VARIANT& address = Dereferenced(parameters.rgvarg[5]);
    if (!IsTopLevel(browser, Dereferenced(parameters.rgvarg[6])) || address.vt != VT_BSTR ||
        cancel.vt != (VT_BYREF | VT_BOOL))
        return;
    const std::string followed = TextFromWide(address.bstrVal);
    const bool ours = browser.navigating || (!browser.sent.empty() && SameAddress(followed, browser.sent));
    browser.sent.clear();
    if (ours || !IsFileAddress(followed)) return;
    *cancel.pboolVal = VARIANT_TRUE;
    HistoryNavigate(browser.history, BrowserEntryOf(followed));
    Schedule(browser.control);
}

void DocumentComplete(Browser& browser, DISPPARAMS& parameters)
{
    if (parameters.cArgs < 2 || !IsTopLevel(browser, Dereferenced(parameters.rgvarg[1]))) return;
    if (browser.scrollToRestore >= 0) DocumentScrollSet(browser.component, browser.scrollToRestore);
    browser.scrollToRestore = -1;
}

// The DWebBrowserEvents2 sink: the component calls Invoke for each event.
class EventSink : public IDispatch {
public:
    explicit EventSink(HWND control) : control_(control) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, BrowserEventsId)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override
    {
        Browser* browser = BrowserOf(control_);
        if (!browser || !parameters) return S_OK;
        if (event == BeforeNavigate2Event) BeforeNavigate(*browser, *parameters);
        if (event == DocumentCompleteEvent) DocumentComplete(*browser, *parameters);
        return S_OK;
    }

private:
    virtual ~EventSink() = default;
    HWND control_;
    ULONG references_ = 1;
};

void ConnectEvents(Browser& browser)
{
    IConnectionPointContainer* container = nullptr;
    if (FAILED(browser.component->QueryInterface(IID_IConnectionPointContainer,
                                                 reinterpret_cast<void**>(&container))) ||
        !container)
        return;
    IConnectionPoint* point = nullptr;
    container->FindConnectionPoint(BrowserEventsId, &point);
    container->Release();
    if (!point) return;
    auto* sink = new EventSink(browser.control);
    if (SUCCEEDED(point->Advise(sink, &browser.eventsCookie))) browser.events = point;
    else point->Release();
    sink->Release();
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
    return browser ? ShownAddress(*browser) : "";
}

void Step(HWND control, int command)
{
    Browser* browser = BrowserOf(control);
    if (!browser) return;
    switch (command) {
    case BrowserBack: HistoryStep(browser->history, -1); break;
    case BrowserForward: HistoryStep(browser->history, 1); break;
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
        if (browser->events) {
            browser->events->Unadvise(browser->eventsCookie);
            browser->events->Release();
        }
        FindingForget(browser->finding);
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

int BrowserCreateAround(int id, HWND control, IWebBrowser2* component, const std::string& address)
{
    auto* state = new Browser;
    state->control = control;
    state->component = component;
    component->AddRef();
    SetPropA(control, BrowserInterfaceProperty, state);
    ConnectEvents(*state);
    ControlRegister(id, control, &BrowserHandlers);
    Navigate(control, address);
    return 1;
}

IWebBrowser2* BrowserComponent(int id)
{
    HWND control = BrowserWindow(id);
    return control ? BrowserOf(control)->component : nullptr;
}

BrowserFinding* BrowserFindingOf(int id)
{
    HWND control = BrowserWindow(id);
    return control ? &BrowserOf(control)->finding : nullptr;
}

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
    BrowserCreateAround(id, control, browser, address);
    browser->Release();
    return 1;
}

std::string BrowserTargetAddress(int id)
{
    HWND control = BrowserWindow(id);
    if (!control) return "";
    const BrowserEntry* target = HistoryTarget(BrowserOf(control)->history);
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
