// Message boxes, the standard dialogs, program start and the clipboard.
#include "runtime/requesters.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "runtime/win32/layer.h"

namespace {

constexpr DWORD FileNameBytes = RequestPathLimit + 1;
constexpr size_t StartFolderBytes = 260;

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM scopeParameter)
{
    auto* scope = reinterpret_cast<ModalScope*>(scopeParameter);
    if (window != GetForegroundWindow() && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        scope->disabled.push_back(window);
    }
    return TRUE;
}

using BrowseProcedure = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
using PathFromItemProcedure = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);

int CALLBACK SelectStartFolder(HWND dialog, UINT message, LPARAM, LPARAM startFolder)
{
    const char* folder = reinterpret_cast<const char*>(startFolder);
    if (message == BFFM_INITIALIZED && folder && *folder)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, startFolder);
    return 0;
}

// A parameter text with spaces would reach most programs as several
// arguments; quoted, it stays the one path it is.
std::string QuotedParameter(const std::string& parameters)
{
    if (parameters.find_first_of(" \t") == std::string::npos || parameters.find('"') != std::string::npos)
        return parameters;
    return "\"" + parameters + "\"";
}

}  // namespace

ModalScope::ModalScope()
{
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    owner = process == GetCurrentProcessId() ? foreground : nullptr;
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(this));
}

ModalScope::~ModalScope()
{
    for (HWND window : disabled) EnableWindow(window, TRUE);
}

int MessageAsk(const std::string& title, const std::string& text, int flags)
{
    ModalScope scope;
    return MessageBoxA(scope.owner, text.c_str(), title.c_str(), static_cast<UINT>(flags));
}

std::string FileRequestOpen(const std::string& title, const std::string& defaultFile,
                            const std::string& filterList, int filterIndex)
{
    std::string filter = filterList;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');

    std::string folder;
    std::string name = defaultFile;
    size_t slash = defaultFile.rfind('\\');
    if (slash != std::string::npos && slash > 0) {
        folder = defaultFile.substr(0, slash);
        name = defaultFile.substr(slash + 1);
    }
    std::vector<char> file(FileNameBytes, '\0');
    std::strncpy(file.data(), name.c_str(), FileNameBytes - 1);

    ModalScope scope;
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = scope.owner;
    dialog.lpstrFilter = filterList.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex + 1);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = FileNameBytes;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileNameA(&dialog)) return "";
    return std::string(file.data());
}

std::string FolderRequest(const std::string& title, const std::string& startFolder)
{
    HMODULE shell = LoadLibraryA("SHELL32.DLL");
    if (!shell) return "";
    auto browse = LibraryProcedure<BrowseProcedure>(shell, "SHBrowseForFolderA");
    auto pathFromItem = LibraryProcedure<PathFromItemProcedure>(shell, "SHGetPathFromIDListA");
    if (!browse || !pathFromItem) {
        FreeLibrary(shell);
        return "";
    }

    char start[StartFolderBytes] = {};
    std::strncpy(start, startFolder.c_str(), StartFolderBytes - 1);
    size_t length = std::strlen(start);
    // A drive root keeps its backslash; other folders are named without it.
    if (length > 3 && start[length - 1] == '\\') start[length - 1] = '\0';

    std::string result;
    {
        ModalScope scope;
        char shown[MAX_PATH] = {};
        BROWSEINFOA dialog{};
        dialog.hwndOwner = scope.owner;
        dialog.pszDisplayName = shown;
        dialog.lpszTitle = title.c_str();
        dialog.ulFlags = BIF_NEWDIALOGSTYLE;
        dialog.lpfn = SelectStartFolder;
        dialog.lParam = reinterpret_cast<LPARAM>(start);
        LPITEMIDLIST item = browse(&dialog);
        if (item) {
            char path[MAX_PATH] = {};
            // A virtual folder has no path: that counts as no answer.
            if (pathFromItem(item, path) && path[0]) {
                result = path;
                if (result.back() != '\\') result += '\\';
            }
            CoTaskMemFree(item);
        }
    }
    FreeLibrary(shell);
    return result;
}

intptr_t ProgramRun(const std::string& program, const std::string& parameters,
                    const std::string& workingFolder)
{
    std::string folder = workingFolder;
    if (folder.empty()) {
        size_t slash = program.rfind('\\');
        if (slash != std::string::npos && slash > 0) folder = program.substr(0, slash) + "\\";
    }
    std::string quoted = QuotedParameter(parameters);
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS;
    run.lpVerb = "Open";
    run.lpFile = program.c_str();
    run.lpParameters = quoted.empty() ? nullptr : quoted.c_str();
    run.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run)) return 0;
    return run.hProcess ? reinterpret_cast<intptr_t>(run.hProcess) : 1;
}

intptr_t DesktopOpen(const std::string& fileOrAddress)
{
    if (fileOrAddress.empty()) return 0;
    // The file's own verb, whatever program it is tied to; no message of the
    // system's own when there is none, the caller says what is wrong.
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpFile = fileOrAddress.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run)) return 0;
    return run.hProcess ? reinterpret_cast<intptr_t>(run.hProcess) : 1;
}

std::string ClipboardGetText()
{
    if (!OpenClipboard(nullptr)) return "";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            // Never read past the block, even if its text lacks the NUL.
            SIZE_T size = GlobalSize(data);
            text.assign(bytes, strnlen(bytes, size));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void Pause(int milliseconds)
{
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}
