// What the browser control does to the page it shows: zoom, find, print and
// the scroll position. The document is reached by name through IDispatch,
// as a script would, so no HTML engine's headers are needed.
#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "runtime/browser.h"
#include "runtime/requesters.h"
#include "runtime/win32/layer.h"
#include "runtime/window.h"

namespace {

// Not in every MinGW's headers.
constexpr int OpticalZoomCommand = 63;
// findText's reach in characters: the whole page in either direction.
constexpr long WholePage = 0x3FFFFFFF;
// Matches counted for "3 of 12": no more than a find bar would mark.
constexpr int MostCounted = 2000;

// A call on an object of the document by name: a method, or a property read
// or written. The arguments in their natural order; false when the object
// has no such name or the call fails.
bool Call(IDispatch* object, const wchar_t* name, WORD kind, std::vector<VARIANT> arguments, VARIANT* result)
{
    if (!object) return false;
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (kind == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &named;
        parameters.cNamedArgs = 1;
    }
    VARIANT ignored;
    VariantInit(&ignored);
    HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                     result ? result : &ignored, nullptr, nullptr);
    if (!result) VariantClear(&ignored);
    return SUCCEEDED(outcome);
}

VARIANT Number(long value)
{
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = value;
    return number;
}

VARIANT Flag(bool value)
{
    VARIANT flag;
    VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return flag;
}

// An object-valued property or method result; nullptr for none.
IDispatch* ObjectFrom(IDispatch* object, const wchar_t* name, WORD kind)
{
    VARIANT result;
    VariantInit(&result);
    if (!Call(object, name, kind, {}, &result) || result.vt != VT_DISPATCH) {
        VariantClear(&result);
        return nullptr;
    }
    return result.pdispVal;
}

IDispatch* Document(IWebBrowser2* component)
{
    IDispatch* document = nullptr;
    if (!component || FAILED(component->get_Document(&document))) return nullptr;
    return document;
}

// A page with a document type scrolls its root element, one without scrolls
// its body.
const wchar_t* const ScrollingElements[] = {L"documentElement", L"body"};

bool FoundIn(IDispatch* range, const std::string& text, long reach)
{
    std::vector<wchar_t> wide(text.size() + 1, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size())))
        return false;
    VARIANT needle;
    VariantInit(&needle);
    needle.vt = VT_BSTR;
    needle.bstrVal = SysAllocString(wide.data());
    VARIANT found;
    VariantInit(&found);
    bool ok = Call(range, L"findText", DISPATCH_METHOD, {needle, Number(reach), Number(0)}, &found) &&
              found.vt == VT_BOOL && found.boolVal != VARIANT_FALSE;
    VariantClear(&needle);
    return ok;
}

// The next (1) or previous (-1) match from the last one, else from the
// page's start or end: the search goes round. The match is selected and
// scrolled into view.
bool FindStep(BrowserFinding& finding, IDispatch* document, int step)
{
    const long reach = step < 0 ? -WholePage : WholePage;
    if (finding.match) {
        Call(finding.match, L"collapse", DISPATCH_METHOD, {Flag(step < 0)}, nullptr);
        if (FoundIn(finding.match, finding.text, reach)) {
            Call(finding.match, L"select", DISPATCH_METHOD, {}, nullptr);
            Call(finding.match, L"scrollIntoView", DISPATCH_METHOD, {Flag(true)}, nullptr);
            return true;
        }
        FindingForget(finding);
    }
    IDispatch* body = ObjectFrom(document, L"body", DISPATCH_PROPERTYGET);
    IDispatch* range = ObjectFrom(body, L"createTextRange", DISPATCH_METHOD);
    if (body) body->Release();
    if (!range) return false;
    if (!FoundIn(range, finding.text, reach)) {
        range->Release();
        return false;
    }
    Call(range, L"select", DISPATCH_METHOD, {}, nullptr);
    Call(range, L"scrollIntoView", DISPATCH_METHOD, {Flag(true)}, nullptr);
    finding.match = range;
    return true;
}

// Which match of how many the one shown is ("3 of 12"), counted through the
// page once; "" when the match cannot be placed.
std::string MatchCount(const BrowserFinding& finding, IDispatch* document)
{
    IDispatch* body = ObjectFrom(document, L"body", DISPATCH_PROPERTYGET);
    IDispatch* range = ObjectFrom(body, L"createTextRange", DISPATCH_METHOD);
    if (body) body->Release();
    if (!range) return "";
    VARIANT how;
    VariantInit(&how);
    how.vt = VT_BSTR;
    how.bstrVal = SysAllocString(L"StartToStart");
    VARIANT match;
    VariantInit(&match);
    match.vt = VT_DISPATCH;
    match.pdispVal = finding.match;
    int count = 0;
    int number = 0;
    while (count < MostCounted && FoundIn(range, finding.text, WholePage)) {
        ++count;
        VARIANT order;
        VariantInit(&order);
        if (!number && Call(range, L"compareEndPoints", DISPATCH_METHOD, {how, match}, &order) &&
            SUCCEEDED(VariantChangeType(&order, &order, 0, VT_I4)) && order.lVal == 0)
            number = count;
        VariantClear(&order);
        Call(range, L"collapse", DISPATCH_METHOD, {Flag(false)}, nullptr);
    }
    VariantClear(&how);
    range->Release();
    if (!number) return "";
    return std::to_string(number) + BrowserFindOfText + std::to_string(count) +
           (count >= MostCounted ? "+" : "");
}

}  // namespace

void FindingForget(BrowserFinding& finding)
{
    if (finding.match) finding.match->Release();
    finding.match = nullptr;
}

int DocumentScroll(IWebBrowser2* component)
{
    IDispatch* document = Document(component);
    int scroll = 0;
    for (const wchar_t* name : ScrollingElements) {
        IDispatch* element = ObjectFrom(document, name, DISPATCH_PROPERTYGET);
        VARIANT top;
        VariantInit(&top);
        if (Call(element, L"scrollTop", DISPATCH_PROPERTYGET, {}, &top) &&
            SUCCEEDED(VariantChangeType(&top, &top, 0, VT_I4)) && top.lVal > scroll)
            scroll = top.lVal;
        VariantClear(&top);
        if (element) element->Release();
    }
    if (document) document->Release();
    return scroll;
}

void DocumentScrollSet(IWebBrowser2* component, int scroll)
{
    IDispatch* document = Document(component);
    for (const wchar_t* name : ScrollingElements) {
        IDispatch* element = ObjectFrom(document, name, DISPATCH_PROPERTYGET);
        Call(element, L"scrollTop", DISPATCH_PROPERTYPUT, {Number(scroll)}, nullptr);
        if (element) element->Release();
    }
    if (document) document->Release();
}

// The component keeps the zoom for every page it shows after.
void BrowserZoomSet(int id, int percent)
{
    IWebBrowser2* component = BrowserComponent(id);
    if (!component) return;
    VARIANT zoom = Number(percent);
    component->ExecWB(static_cast<OLECMDID>(OpticalZoomCommand), OLECMDEXECOPT_DONTPROMPTUSER, &zoom,
                      nullptr);
}

// The find box asks for the text (step 0, or a first step); each step then
// selects the next or previous match. Where the page has none, the status
// bar says so.
void BrowserFind(int id, int step, const std::string& notFoundText)
{
    BrowserFinding* finding = BrowserFindingOf(id);
    if (!finding) return;
    if (step == 0 || finding->text.empty()) {
        const std::string text = TextRequest(BrowserFindTitleText, BrowserFindPromptText, finding->text);
        if (text.empty()) return;
        if (text != finding->text) FindingForget(*finding);
        finding->text = text;
        step = step < 0 ? -1 : 1;
    }
    IDispatch* document = Document(BrowserComponent(id));
    const bool found = document && FindStep(*finding, document, step);
    const std::string count = found ? MatchCount(*finding, document) : "";
    if (document) document->Release();
    // Until the next page, the status bar says which match is shown.
    StatusBarSetText(0, 0, found ? count : notFoundText, 0);
    if (!found) MessageBeep(MB_ICONASTERISK);
}

void BrowserPrint(int id)
{
    if (IWebBrowser2* component = BrowserComponent(id))
        component->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr);
}
