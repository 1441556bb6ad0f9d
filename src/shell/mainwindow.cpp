#include "shell/mainwindow.h"

#include <string>

#include "helpindex/search.h"
#include "runtime/browser.h"
#include "runtime/commandline.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "state/state.h"
#include "state/texts.h"
#include "shell/viewcommands.h"
#include "shell/watcher.h"

namespace {

void BuildMenu()
{
    MenuTitleAdd(MenuFileText);
    MenuItemAdd(MenuOpen, MenuOpenText);
    MenuItemAdd(MenuClose, MenuCloseText);
    MenuSeparatorAdd();
    MenuItemAdd(MenuEditPage, MenuEditPageText);
    MenuItemAdd(MenuAddInclude, MenuAddIncludeText);
    MenuSubmenuOpen(MenuSetupText);
    MenuItemAdd(MenuHelpPath, MenuHelpPathText);
    MenuItemAdd(MenuDbaViewer, MenuDbaViewerText);
    MenuItemAdd(MenuHtmlViewer, MenuHtmlViewerText);
    MenuItemAdd(MenuCommandline, MenuCommandlineText);
    MenuItemAdd(MenuKeywords, MenuKeywordsText);
    MenuSubmenuClose();
    MenuItemAdd(MenuCheckFolder, MenuCheckFolderText);
    MenuTitleAdd(MenuHelpText);
    MenuItemAdd(MenuSearch, MenuSearchText);
    MenuItemAdd(MenuAbout, MenuAboutText);
    MenuItemAdd(MenuHelpOnHelp, MenuHelpOnHelpText);
    MenuItemAdd(MenuContents, MenuContentsText);
    MenuItemAdd(MenuIndex, MenuIndexText);
    MenuItemAdd(MenuGlossary, MenuGlossaryText);
    MenuItemAdd(MenuSearchPages, MenuSearchPagesText);
    AddViewMenu();
}

}  // namespace

int BuildMainWindow()
{
    const WindowPlace place = WindowPlaceAtStart();
    if (!WindowOpen(0, place.x, place.y, place.width, place.height, StyleOverlappedWindow, MainWindowTitle))
        return 0;
    // Without a menu bar the window still works; only the menu is missing.
    if (MenuBarCreate(0, WindowHandle())) BuildMenu();
    if (State.commandLineFlag) MenuCheckSet(0, MenuCommandline, 1);

    const std::string startPage = State.helpFolder + "Menu.htm";
    StatusBarCreate(0, WindowHandle());
    StatusBarSetText(0, 0, startPage, 0);

    ControlParentSet(WindowHandle());
    ButtonCreate(BackButton, 2, 2, 50, 25, BackText);
    ButtonCreate(NextButton, 54, 2, 50, 25, NextText);
    State.initialSearchText = InitialSearchText();
    TextFieldCreate(SearchField, 155, 5, 0, 20, State.initialSearchText);
    ToolTipSet(SearchField, SearchFieldTip);
    ButtonCreate(GoButton, 0, 0, 25, 25, GoText);
    ToolTipSet(GoButton, GoButtonTip);
    LabelCreate(TopLine, 0, 30, 0, 2, "", LabelEtched);
    if (!BrowserCreate(BrowserControl, 0, 31, 0, 0, startPage)) {
        MessageAsk(TitleError, NoBrowserText, MessageOk);
        return 0;
    }

    SearchKeyword(0);
    ShortcutAdd(0, KeyEnter, MenuSearch);
    ShortcutAdd(0, 'F' | ShortcutCtrl | ShortcutShift, MenuSearchPages);
    AddViewCommands();
    LayoutControls();
    WindowSetCallback(ResizeHook);
    // The first page (the start page, or what the quiet search found) takes
    // the road of every other page: the watcher puts its display copy in its
    // place before it is drawn and names it in the status bar.
    PageWatcher();
    // A moment for the browser to start drawing before the loop waits.
    Pause(20);
    return 1;
}

std::string InitialSearchText()
{
    if (!State.initialSearchTaken)
        State.initialSearchText = State.commandLineFlag ? CommandLineArgument() : ClipboardGetText();
    State.initialSearchTaken = 1;
    return State.initialSearchText;
}

// A computed -1 leaves that value as it was: ControlResize reads -1 as
// "unchanged". The size is read afresh for every control.
void LayoutControls()
{
    ControlResize(BrowserControl, -1, -1, WindowAreaWidth(), WindowAreaHeight() - 70);
    ControlResize(SearchField, -1, -1, WindowAreaWidth() - 185, -1);
    ControlResize(GoButton, WindowAreaWidth() - 25, -1, -1, -1);
    ControlResize(TopLine, -1, -1, WindowAreaWidth(), -1);
}

intptr_t ResizeHook(intptr_t, uint32_t message, uintptr_t, intptr_t)
{
    if (message != MessageSize) return CallbackDefault;
    LayoutControls();
    return 1;
}
