#include "standin.h"

#include "runtime/win32/layer.h"

#include <olectl.h>
#include <oleauto.h>

#include <cstring>
#include <string>

namespace {

const IID BrowserEventsId = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
const IID WebBrowserId = {0xEAB22AC1, 0x30C1, 0x11CF, {0xA7, 0xEB, 0x00, 0x00, 0xC0, 0x5B, 0xAE, 0x0B}};
const IID WebBrowserAppId = {0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID WebBrowser2Id = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
constexpr DISPID BeforeNavigate2Event = 250;
constexpr DISPID NavigateComplete2Event = 252;
constexpr DISPID DocumentCompleteEvent = 259;
constexpr UINT DeliverMessage = WM_APP + 1;

// The names the document's objects answer, as a script sees them.
const wchar_t* const Names[] = {L"documentElement", L"body",           L"scrollTop",
                                L"createTextRange", L"findText",       L"collapse",
                                L"select",          L"scrollIntoView", L"compareEndPoints"};
enum Name {
    DocumentElementName = 1,
    BodyName,
    ScrollTopName,
    CreateTextRangeName,
    FindTextName,
    CollapseName,
    SelectName,
    ScrollIntoViewName,
    CompareEndPointsName
};

std::string Narrow(const wchar_t* wide)
{
    std::string text;
    for (; wide && *wide; ++wide) text += static_cast<char>(*wide);
    return text;
}

BSTR Wide(const std::string& text)
{
    std::wstring wide(text.begin(), text.end());
    return SysAllocString(wide.c_str());
}

LRESULT CALLBACK MessagesProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == DeliverMessage) {
        reinterpret_cast<StandInBrowser*>(lParam)->DeliverLater();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// The document, its root element and body, a text range, or a frame: one
// kind of object that answers by name.
class StandInDocument : public IDispatch {
public:
    enum Kind { Document, Element, Range, Frame };
    StandInDocument(StandInBrowser& browser, Kind kind) : browser_(browser), kind_(kind) {}
    virtual ~StandInDocument() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IDispatch)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (count != 1) return E_INVALIDARG;
        for (size_t i = 0; i < sizeof Names / sizeof Names[0]; ++i) {
            if (std::wcscmp(names[0], Names[i]) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO*, UINT*) override
    {
        const UINT count = parameters ? parameters->cArgs : 0;
        // Arguments come last first.
        auto argument = [&](UINT i) -> const VARIANT& { return parameters->rgvarg[count - 1 - i]; };
        switch (kind_) {
        case Document:
            if ((id == DocumentElementName || id == BodyName) && kind == DISPATCH_PROPERTYGET)
                return Give(result, new StandInDocument(browser_, Element, id == BodyName));
            break;
        case Element:
            if (id == ScrollTopName && kind == DISPATCH_PROPERTYGET) {
                result->vt = VT_I4;
                result->lVal = scrolls_ ? browser_.scroll : 0;
                return S_OK;
            }
            if (id == ScrollTopName && kind == DISPATCH_PROPERTYPUT && count == 1 &&
                argument(0).vt == VT_I4) {
                if (scrolls_) browser_.scroll = argument(0).lVal;
                return S_OK;
            }
            if (id == CreateTextRangeName && kind == DISPATCH_METHOD && body_) {
                auto* range = new StandInDocument(browser_, Range);
                range->end_ = browser_.pageText.size();
                return Give(result, range);
            }
            break;
        case Range: return RangeCall(id, count, argument, result);
        case Frame: break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    StandInDocument(StandInBrowser& browser, Kind kind, bool body)
        : browser_(browser), kind_(kind), body_(body), scrolls_(!body)
    {
    }

    HRESULT Give(VARIANT* result, IDispatch* object)
    {
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
        return S_OK;
    }

    template <typename Argument>
    HRESULT RangeCall(DISPID id, UINT count, Argument argument, VARIANT* result)
    {
        const std::string& text = browser_.pageText;
        if (id == FindTextName && count == 3 && argument(0).vt == VT_BSTR && argument(1).vt == VT_I4) {
            const std::string needle = Narrow(argument(0).bstrVal);
            const long reach = argument(1).lVal;
            // A collapsed range reaches to the end (or start) of the page.
            const bool collapsed = start_ == end_;
            size_t at = std::string::npos;
            if (reach > 0) {
                at = text.find(needle, start_);
                if (at != std::string::npos && !collapsed && at + needle.size() > end_)
                    at = std::string::npos;
            } else {
                const size_t limit = collapsed ? start_ : end_;
                if (limit >= needle.size()) at = text.rfind(needle, limit - needle.size());
                if (at != std::string::npos && !collapsed && at < start_) at = std::string::npos;
            }
            if (at != std::string::npos) {
                start_ = at;
                end_ = at + needle.size();
            }
            result->vt = VT_BOOL;
            result->boolVal = at != std::string::npos ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        if (id == CollapseName && count == 1 && argument(0).vt == VT_BOOL) {
            if (argument(0).boolVal) end_ = start_;
            else start_ = end_;
            return S_OK;
        }
        if (id == SelectName) {
            browser_.selected = static_cast<int>(start_);
            return S_OK;
        }
        if (id == ScrollIntoViewName) return S_OK;
        // Only the starts are ever compared.
        if (id == CompareEndPointsName && count == 2 && argument(0).vt == VT_BSTR &&
            Narrow(argument(0).bstrVal) == "StartToStart" && argument(1).vt == VT_DISPATCH) {
            const size_t other = static_cast<StandInDocument*>(argument(1).pdispVal)->start_;
            result->vt = VT_I4;
            result->lVal = start_ < other ? -1 : start_ > other ? 1 : 0;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    StandInBrowser& browser_;
    Kind kind_;
    bool body_ = false;
    // The root element scrolls, as in a page with a document type.
    bool scrolls_ = false;
    size_t start_ = 0;
    size_t end_ = 0;
    ULONG references_ = 1;
};

StandInBrowser::StandInBrowser()
{
    frame = new StandInDocument(*this, StandInDocument::Frame);
    document = new StandInDocument(*this, StandInDocument::Document);
    WNDCLASSA type{};
    type.lpfnWndProc = MessagesProcedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "KelpraStandInBrowser";
    RegisterClassA(&type);
    messages = CreateWindowExA(0, type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               type.hInstance, nullptr);
}

StandInBrowser::~StandInBrowser()
{
    DestroyWindow(messages);
    frame->Release();
    document->Release();
    if (sink) sink->Release();
}

HRESULT StandInBrowser::QueryInterface(REFIID id, void** object)
{
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) || IsEqualIID(id, WebBrowserId) ||
        IsEqualIID(id, WebBrowserAppId) || IsEqualIID(id, WebBrowser2Id)) {
        *object = static_cast<IWebBrowser2*>(this);
    } else if (IsEqualIID(id, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

bool StandInBrowser::Raise(DISPID event, IDispatch* from, const std::string& address)
{
    if (!sink) return false;
    // BeforeNavigate2's seven arguments, last first; the other two events
    // take the first two.
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = Wide(address);
    VARIANT empty;
    VariantInit(&empty);
    VARIANT_BOOL cancelled = VARIANT_FALSE;
    VARIANT arguments[7];
    for (VARIANT& argument : arguments) VariantInit(&argument);
    arguments[6].vt = VT_DISPATCH;
    arguments[6].pdispVal = from;
    arguments[5].vt = VT_BYREF | VT_VARIANT;
    arguments[5].pvarVal = &url;
    for (int i = 1; i <= 4; ++i) {
        arguments[i].vt = VT_BYREF | VT_VARIANT;
        arguments[i].pvarVal = &empty;
    }
    arguments[0].vt = VT_BYREF | VT_BOOL;
    arguments[0].pboolVal = &cancelled;
    DISPPARAMS parameters{arguments, nullptr, 7, 0};
    if (event != BeforeNavigate2Event) {
        parameters.rgvarg = arguments + 5;
        parameters.cArgs = 2;
    }
    sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    VariantClear(&url);
    return cancelled != VARIANT_FALSE;
}

// The component leaves the page it shows and loads the next one; the rest
// of the navigation comes from the message loop.
void StandInBrowser::Complete(IDispatch* from, const std::string& address)
{
    if (from == frame) return;
    // A jump within the document shown only moves it.
    const bool sameDocument = location.substr(0, location.find('#')) == address.substr(0, address.find('#'));
    location = address;
    later.push_back({NavigateComplete2Event, address});
    if (!sameDocument) later.push_back({DocumentCompleteEvent, address});
    PostMessageA(messages, DeliverMessage, 0, reinterpret_cast<LPARAM>(this));
}

void StandInBrowser::DeliverLater()
{
    std::vector<Later> now;
    now.swap(later);
    IDispatch* self = static_cast<IWebBrowser2*>(this);
    for (const Later& event : now) {
        if (event.event == BeforeNavigate2Event) {
            if (!Raise(event.event, self, event.address)) Complete(self, event.address);
            continue;
        }
        if (event.event == DocumentCompleteEvent) {
            drawn.push_back(event.address);
            scroll = 0;
            selected = -1;
        }
        Raise(event.event, self, event.address);
    }
}

bool StandInBrowser::FollowLink(const std::string& address, bool inFrame)
{
    IDispatch* from = inFrame ? frame : static_cast<IDispatch*>(static_cast<IWebBrowser2*>(this));
    if (Raise(BeforeNavigate2Event, from, address)) return true;
    Complete(from, address);
    return false;
}

HRESULT StandInBrowser::GoBack()
{
    calls.push_back("GoBack");
    return S_OK;
}

HRESULT StandInBrowser::GoForward()
{
    calls.push_back("GoForward");
    return S_OK;
}

HRESULT StandInBrowser::get_Document(IDispatch** result)
{
    document->AddRef();
    *result = document;
    return S_OK;
}

HRESULT StandInBrowser::get_LocationURL(BSTR* address)
{
    *address = Wide(location);
    return S_OK;
}

HRESULT StandInBrowser::Navigate2(VARIANT* address, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    if (!address || address->vt != VT_BSTR) return E_INVALIDARG;
    const std::string url = Narrow(address->bstrVal);
    calls.push_back("Navigate2 " + url);
    IDispatch* self = static_cast<IWebBrowser2*>(this);
    if (announceLater) {
        later.push_back({BeforeNavigate2Event, url});
        PostMessageA(messages, DeliverMessage, 0, reinterpret_cast<LPARAM>(this));
    } else if (!Raise(BeforeNavigate2Event, self, url)) {
        Complete(self, url);
    }
    return S_OK;
}

HRESULT StandInBrowser::ExecWB(OLECMDID command, OLECMDEXECOPT, VARIANT* in, VARIANT*)
{
    std::string call = "ExecWB " + std::to_string(static_cast<int>(command));
    if (in && in->vt == VT_I4) call += " " + std::to_string(in->lVal);
    calls.push_back(call);
    return S_OK;
}

HRESULT StandInBrowser::FindConnectionPoint(REFIID id, IConnectionPoint** point)
{
    if (!IsEqualIID(id, BrowserEventsId)) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = this;
    AddRef();
    return S_OK;
}

HRESULT StandInBrowser::Advise(IUnknown* events, DWORD* cookie)
{
    if (sink || FAILED(events->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink)))) return E_FAIL;
    *cookie = 1;
    return S_OK;
}

HRESULT StandInBrowser::Unadvise(DWORD cookie)
{
    if (cookie != 1 || !sink) return CONNECT_E_NOCONNECTION;
    sink->Release();
    sink = nullptr;
    return S_OK;
}

int StandInControlCreate(int id, StandInBrowser& component, const std::string& address)
{
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 31, 300, 200, ControlParent(),
                                   reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    return control ? BrowserCreateAround(id, control, &component, address) : 0;
}
