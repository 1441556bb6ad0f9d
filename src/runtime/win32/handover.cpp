// The hand-over by window message: the running window carries a property
// named after the hand-over name; a later start finds it among the windows
// of the main window's class and sends its text with WM_COPYDATA.
#include "runtime/handover.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/win32/layer.h"
#include "runtime/window.h"

namespace {

// The class WindowOpen gives window 0.
constexpr char MainWindowClassName[] = "WindowClass_0";
// Marks a WM_COPYDATA as a hand-over, so other senders' data is left alone.
constexpr ULONG_PTR HandOverMark = 0x4B454C50;

// The text that came last; taken by HandOverReceived. One is enough: a
// newer word replaces one not yet searched for.
std::string arrived;

struct Listener {
    const char* name = nullptr;
    HWND window = nullptr;
};

BOOL CALLBACK FindListener(HWND window, LPARAM listenerParameter)
{
    auto* listener = reinterpret_cast<Listener*>(listenerParameter);
    char className[sizeof MainWindowClassName + 1] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, MainWindowClassName) != 0 || !GetPropA(window, listener->name)) return TRUE;
    listener->window = window;
    return FALSE;
}

}  // namespace

int HandOverTake(const COPYDATASTRUCT* data)
{
    if (!data || data->dwData != HandOverMark || (data->cbData > 0 && !data->lpData)) return 0;
    const DWORD size = data->cbData < HandOverReceiveLimit ? data->cbData : HandOverReceiveLimit;
    arrived.assign(static_cast<const char*>(data->lpData), size);
    return 1;
}

int HandOverSend(const std::string& name, const std::string& text)
{
    Listener listener{name.c_str(), nullptr};
    EnumWindows(FindListener, reinterpret_cast<LPARAM>(&listener));
    if (!listener.window) return 0;
    // Windows lets the process the user started give the foreground away.
    DWORD process = 0;
    GetWindowThreadProcessId(listener.window, &process);
    AllowSetForegroundWindow(process);
    const std::string sent = text.substr(0, HandOverReceiveLimit);
    COPYDATASTRUCT data{HandOverMark, static_cast<DWORD>(sent.size()), const_cast<char*>(sent.data())};
    DWORD_PTR taken = 0;
    if (!SendMessageTimeoutA(listener.window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, HandOverWaitLimit, &taken))
        return 0;
    return taken == TRUE ? 1 : 0;
}

int HandOverListen(const std::string& name)
{
    HWND window = reinterpret_cast<HWND>(WindowHandle());
    if (!window) return 0;
    return SetPropA(window, name.c_str(), reinterpret_cast<HANDLE>(1)) ? 1 : 0;
}

std::string HandOverReceived()
{
    std::string text;
    text.swap(arrived);
    return text;
}

void WindowBringToFront()
{
    HWND window = reinterpret_cast<HWND>(WindowHandle());
    if (!window) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}
