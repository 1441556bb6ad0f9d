// A stand-in for the platform's web-browser component, for the browser
// control's tests under Wine, whose own component cannot draw without an
// HTML engine: it answers the IWebBrowser2 calls Kelpra makes, records them,
// and raises the DWebBrowserEvents2 events in the real component's order
// (BeforeNavigate2 within the call; NavigateComplete2 and DocumentComplete
// later, from the message loop). Its document answers by name, as the
// real one does through IDispatch: the scroll position and text ranges over
// a page of plain text.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <vector>

class StandInDocument;

class StandInBrowser : public IWebBrowser2, public IConnectionPointContainer, public IConnectionPoint {
public:
    StandInBrowser();
    ~StandInBrowser();

    // A link clicked in the page (or in a frame of it): the component
    // announces it, and follows it unless the announcement was cancelled.
    // true when it was cancelled.
    bool FollowLink(const std::string& address, bool inFrame = false);

    std::vector<std::string> calls;  // "Navigate2 file:///C:/a.htm", "ExecWB 63 150", ...
    std::vector<std::string> drawn;  // the address of every document laid out
    std::string location;
    int scroll = 0;        // of the document shown
    int selected = -1;     // where the last selected match starts
    std::string pageText;  // what every document holds, for the find
    // Announces a navigation asked for from the message loop rather than
    // within Navigate2, as a component might.
    bool announceLater = false;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        return E_NOTIMPL;
    }
    // IWebBrowser: what Kelpra calls
    HRESULT STDMETHODCALLTYPE GoBack() override;
    HRESULT STDMETHODCALLTYPE GoForward() override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* address) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* address, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT, VARIANT* in, VARIANT*) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID id, IConnectionPoint** point) override;
    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // The rest of IWebBrowser2, which Kelpra never calls.
#define KELPRA_NOT_CALLED(signature)             \
    HRESULT STDMETHODCALLTYPE signature override \
    {                                            \
        return E_NOTIMPL;                        \
    }
    KELPRA_NOT_CALLED(GoHome())
    KELPRA_NOT_CALLED(GoSearch())
    KELPRA_NOT_CALLED(Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*))
    KELPRA_NOT_CALLED(Refresh())
    KELPRA_NOT_CALLED(Refresh2(VARIANT*))
    KELPRA_NOT_CALLED(Stop())
    KELPRA_NOT_CALLED(get_Application(IDispatch**))
    KELPRA_NOT_CALLED(get_Parent(IDispatch**))
    KELPRA_NOT_CALLED(get_Container(IDispatch**))
    KELPRA_NOT_CALLED(get_TopLevelContainer(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(get_Type(BSTR*))
    KELPRA_NOT_CALLED(get_Left(LONG*))
    KELPRA_NOT_CALLED(put_Left(LONG))
    KELPRA_NOT_CALLED(get_Top(LONG*))
    KELPRA_NOT_CALLED(put_Top(LONG))
    KELPRA_NOT_CALLED(get_Width(LONG*))
    KELPRA_NOT_CALLED(put_Width(LONG))
    KELPRA_NOT_CALLED(get_Height(LONG*))
    KELPRA_NOT_CALLED(put_Height(LONG))
    KELPRA_NOT_CALLED(get_LocationName(BSTR*))
    KELPRA_NOT_CALLED(get_Busy(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(Quit())
    KELPRA_NOT_CALLED(ClientToWindow(int*, int*))
    KELPRA_NOT_CALLED(PutProperty(BSTR, VARIANT))
    KELPRA_NOT_CALLED(GetProperty(BSTR, VARIANT*))
    KELPRA_NOT_CALLED(get_Name(BSTR*))
    KELPRA_NOT_CALLED(get_HWND(SHANDLE_PTR*))
    KELPRA_NOT_CALLED(get_FullName(BSTR*))
    KELPRA_NOT_CALLED(get_Path(BSTR*))
    KELPRA_NOT_CALLED(get_Visible(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_Visible(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_StatusBar(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_StatusBar(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_StatusText(BSTR*))
    KELPRA_NOT_CALLED(put_StatusText(BSTR))
    KELPRA_NOT_CALLED(get_ToolBar(int*))
    KELPRA_NOT_CALLED(put_ToolBar(int))
    KELPRA_NOT_CALLED(get_MenuBar(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_MenuBar(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_FullScreen(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_FullScreen(VARIANT_BOOL))
    KELPRA_NOT_CALLED(QueryStatusWB(OLECMDID, OLECMDF*))
    KELPRA_NOT_CALLED(ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*))
    KELPRA_NOT_CALLED(get_ReadyState(READYSTATE*))
    KELPRA_NOT_CALLED(get_Offline(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_Offline(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_Silent(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_Silent(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_RegisterAsBrowser(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_RegisterAsBrowser(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_RegisterAsDropTarget(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_RegisterAsDropTarget(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_TheaterMode(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_TheaterMode(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_AddressBar(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_AddressBar(VARIANT_BOOL))
    KELPRA_NOT_CALLED(get_Resizable(VARIANT_BOOL*))
    KELPRA_NOT_CALLED(put_Resizable(VARIANT_BOOL))
#undef KELPRA_NOT_CALLED

    // The events raised from the message loop, in order.
    void DeliverLater();

private:
    // Raises one event at the sink; true when the handler set Cancel.
    bool Raise(DISPID event, IDispatch* frame, const std::string& address);
    void Complete(IDispatch* frame, const std::string& address);

    ULONG references = 1;
    IDispatch* sink = nullptr;
    IDispatch* frame = nullptr;  // a frame inside the page
    StandInDocument* document = nullptr;
    struct Later {
        DISPID event;
        std::string address;
    };
    std::vector<Later> later;
    HWND messages = nullptr;
};

// A browser control around the stand-in, as BrowserCreate makes one around
// the platform's component, in the window chosen with ControlParentSet. 1
// when made.
int StandInControlCreate(int id, StandInBrowser& component, const std::string& address);
