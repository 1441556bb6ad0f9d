// The search field's type-ahead on Windows: a list of our own under the
// field. The platform's autocomplete filters the strings it was given for
// the first letter by itself, and a chosen string would never run a search;
// this list asks the program on every keystroke and sends the command.
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/win32/layer.h"
#include "runtime/window.h"

namespace {

// A screenful of keywords, and the note that there are more.
constexpr int MostRowsShown = 21;

struct DropDown {
    bool settingText = false;
    HWND field = nullptr;
    HWND list = nullptr;
    SuggestionSource source = nullptr;
    int menuId = 0;
    int rows = 0;  // the rows that can be chosen; a note may follow them
};

DropDown& TheSuggestions()
{
    static DropDown suggestions;
    return suggestions;
}

std::string FieldText(HWND field)
{
    std::string text(ControlTextLimit + 1, '\0');
    int length = GetWindowTextA(field, text.data(), ControlTextLimit + 1);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

void Choose(int row)
{
    DropDown& suggestions = TheSuggestions();
    // The note after the rows is not for choosing.
    if (row >= suggestions.rows) {
        SendMessageA(suggestions.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    const LRESULT length = SendMessageA(suggestions.list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) return;
    std::string chosen(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(suggestions.list, LB_GETTEXT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(chosen.data()));
    chosen.resize(static_cast<size_t>(length));
    SuggestionsHide();
    LayerSetTextQuietly(suggestions.field, chosen);
    SendMessageA(suggestions.field, EM_SETSEL, chosen.size(), chosen.size());
    if (GetFocus() != suggestions.field) SetFocus(suggestions.field);
    LayerRecordMenuEvent(suggestions.menuId);
}

void ShowUnderField(int rows)
{
    DropDown& suggestions = TheSuggestions();
    RECT field{};
    GetWindowRect(suggestions.field, &field);
    const int rowHeight = static_cast<int>(SendMessageA(suggestions.list, LB_GETITEMHEIGHT, 0, 0));
    const int height =
        rowHeight * (rows < MostRowsShown ? rows : MostRowsShown) + 2 * GetSystemMetrics(SM_CYBORDER);
    SetWindowPos(suggestions.list, HWND_TOP, field.left, field.bottom, field.right - field.left, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    DropDown& suggestions = TheSuggestions();
    if (suggestions.list) DestroyWindow(suggestions.list);
    suggestions = DropDown{};
    HWND field = ControlHandle(id);
    if (!field || !source) return;
    // A window of its own, so it may reach below the main window's edge; it
    // never takes the activation, so the field keeps the keyboard.
    HWND list =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, "LISTBOX", "",
                        WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                        GetAncestor(field, GA_ROOT), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!list) return;
    SendMessageA(list, WM_SETFONT, SendMessageA(field, WM_GETFONT, 0, 0), FALSE);
    suggestions = {false, field, list, source, menuId, 0};
}

HWND SuggestionsList()
{
    return TheSuggestions().list;
}

void LayerSetTextQuietly(HWND control, const std::string& text)
{
    if (control == TheSuggestions().field) SuggestionsHide();
    TheSuggestions().settingText = true;
    SetWindowTextA(control, text.c_str());
    TheSuggestions().settingText = false;
}

namespace {

void FieldChanged(HWND field)
{
    DropDown& suggestions = TheSuggestions();
    const Suggestions shown = suggestions.source(FieldText(field));
    SendMessageA(suggestions.list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(suggestions.list, LB_RESETCONTENT, 0, 0);
    for (const std::string& suggestion : shown.rows)
        SendMessageA(suggestions.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(suggestion.c_str()));
    if (!shown.note.empty())
        SendMessageA(suggestions.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.note.c_str()));
    SendMessageA(suggestions.list, WM_SETREDRAW, TRUE, 0);
    suggestions.rows = static_cast<int>(shown.rows.size());
    if (shown.rows.empty()) return SuggestionsHide();
    ShowUnderField(static_cast<int>(shown.rows.size() + (shown.note.empty() ? 0 : 1)));
}

}  // namespace

void SuggestionsHide()
{
    if (HWND list = TheSuggestions().list) ShowWindow(list, SW_HIDE);
}

bool SuggestionsTakeKey(const MSG& message)
{
    DropDown& suggestions = TheSuggestions();
    if (!suggestions.list || !IsWindowVisible(suggestions.list) || message.hwnd != suggestions.field ||
        message.message != WM_KEYDOWN)
        return false;
    const int count = suggestions.rows;
    const int row = static_cast<int>(SendMessageA(suggestions.list, LB_GETCURSEL, 0, 0));
    switch (message.wParam) {
    case VK_DOWN:
    case VK_UP: {
        int next = message.wParam == VK_DOWN ? row + 1 : row - 1;
        if (row == LB_ERR) next = message.wParam == VK_DOWN ? 0 : count - 1;
        if (next >= 0 && next < count)
            SendMessageA(suggestions.list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        return true;
    }
    case VK_ESCAPE: SuggestionsHide(); return true;
    case VK_RETURN:
        if (row != LB_ERR) {
            Choose(row);
            return true;
        }
        // Enter on typed text is the program's own key.
        SuggestionsHide();
        return false;
    default: return false;
    }
}

bool SuggestionsNotice(HWND from, WORD code)
{
    DropDown& suggestions = TheSuggestions();
    if (!suggestions.list) return false;
    if (from == suggestions.list) {
        // The arrow keys select with messages, which notify nobody: a
        // change of selection is a click, and that is the choice.
        const int row = static_cast<int>(SendMessageA(suggestions.list, LB_GETCURSEL, 0, 0));
        if (code == LBN_SELCHANGE && row != LB_ERR) Choose(row);
        return true;
    }
    if (from != suggestions.field) return false;
    if (code == EN_CHANGE && !suggestions.settingText) FieldChanged(from);
    if (code == EN_KILLFOCUS && GetFocus() != suggestions.list) SuggestionsHide();
    return false;
}
