// The text requester: a dialog of the platform's own, from a template made
// in memory, since the program carries no dialog resources.
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/requesters.h"
#include "runtime/win32/layer.h"
#include "runtime/window.h"

namespace {

constexpr WORD PromptId = 100;
constexpr WORD FieldId = 101;
// The predefined classes by their atoms.
constexpr WORD ButtonClass = 0x0080;
constexpr WORD EditClass = 0x0081;
constexpr WORD StaticClass = 0x0082;

struct Request {
    const std::string& title;
    const std::string& prompt;
    const std::string& text;
    std::string answer;
};

void AddDword(std::vector<WORD>& bytes, DWORD value)
{
    bytes.push_back(LOWORD(value));
    bytes.push_back(HIWORD(value));
}

void AddPlace(std::vector<WORD>& bytes, short x, short y, short width, short height)
{
    for (short value : {x, y, width, height}) bytes.push_back(static_cast<WORD>(value));
}

// Texts are set once the dialog is up, in the program's own code page.
void AddItem(std::vector<WORD>& bytes, DWORD style, short x, short y, short width, short height, WORD id,
             WORD classAtom)
{
    if (bytes.size() % 2) bytes.push_back(0);  // items start on a DWORD
    AddDword(bytes, style | WS_CHILD | WS_VISIBLE);
    AddDword(bytes, 0);
    AddPlace(bytes, x, y, width, height);
    bytes.push_back(id);
    bytes.push_back(0xFFFF);
    bytes.push_back(classAtom);
    bytes.push_back(0);  // no text
    bytes.push_back(0);  // no creation data
}

std::vector<WORD> DialogTemplate()
{
    std::vector<WORD> bytes;
    AddDword(bytes, DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    AddDword(bytes, 0);
    bytes.push_back(4);  // items
    AddPlace(bytes, 0, 0, 240, 66);
    bytes.push_back(0);  // no menu
    bytes.push_back(0);  // the dialog class
    bytes.push_back(0);  // no title yet
    bytes.push_back(8);  // point size
    for (char c : std::string("MS Shell Dlg")) bytes.push_back(static_cast<WORD>(c));
    bytes.push_back(0);
    AddItem(bytes, SS_LEFT, 7, 7, 226, 16, PromptId, StaticClass);
    AddItem(bytes, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 25, 226, 13, FieldId, EditClass);
    AddItem(bytes, WS_TABSTOP | BS_DEFPUSHBUTTON, 129, 45, 50, 14, IDOK, ButtonClass);
    AddItem(bytes, WS_TABSTOP | BS_PUSHBUTTON, 183, 45, 50, 14, IDCANCEL, ButtonClass);
    return bytes;
}

std::string FieldText(HWND dialog)
{
    std::string text(static_cast<size_t>(ControlTextLimit) + 1, '\0');
    text.resize(static_cast<size_t>(GetDlgItemTextA(dialog, FieldId, text.data(), ControlTextLimit + 1)));
    return text;
}

INT_PTR CALLBACK TextDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto* request = reinterpret_cast<const Request*>(lParam);
        SetWindowTextA(dialog, request->title.c_str());
        SetDlgItemTextA(dialog, PromptId, request->prompt.c_str());
        SetDlgItemTextA(dialog, FieldId, request->text.c_str());
        SetDlgItemTextA(dialog, IDOK, TextRequestOkText);
        SetDlgItemTextA(dialog, IDCANCEL, TextRequestCancelText);
        SendDlgItemMessageA(dialog, FieldId, EM_SETLIMITTEXT, ControlTextLimit, 0);
        SendDlgItemMessageA(dialog, FieldId, EM_SETSEL, 0, -1);
        return TRUE;  // the focus goes to the field, its text selected
    }
    if (message != WM_COMMAND) return FALSE;
    auto* request = reinterpret_cast<Request*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDOK) {
        request->answer = FieldText(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

std::string TextRequest(const std::string& title, const std::string& prompt, const std::string& text)
{
    Request request{title, prompt, text, ""};
    const std::vector<WORD> dialogTemplate = DialogTemplate();
    ModalScope scope;
    const INT_PTR result = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), scope.owner,
        TextDialog, reinterpret_cast<LPARAM>(&request));
    return result == IDOK ? request.answer : "";
}
