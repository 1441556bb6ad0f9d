// The main window: its menu, status bar and controls, and their layout.
#pragma once

#include <cstdint>
#include <string>

#include "state/state.h"

// Menu ids, as the menu event reports them; 7 and 8 are unused.
constexpr int MenuSearch = 0;
constexpr int MenuAbout = 1;
constexpr int MenuHelpOnHelp = 2;
constexpr int MenuEditPage = 3;
constexpr int MenuOpen = 4;
constexpr int MenuClose = 5;
constexpr int MenuHelpPath = 6;
constexpr int MenuDbaViewer = 9;
constexpr int MenuHtmlViewer = 10;
constexpr int MenuContents = 11;
constexpr int MenuIndex = 12;
constexpr int MenuGlossary = 13;
constexpr int MenuCommandline = 14;
constexpr int MenuAddInclude = 15;
constexpr int MenuKeywords = 16;
// Entries beyond the first menu, after its entries.
constexpr int MenuSearchPages = 30;
constexpr int MenuCheckFolder = 31;

// Opens and fills the window, shows the start page (or what the quiet search
// finds) and takes the watcher's first address. 1 when the loop may run; 0
// when the window or the browser could not be made.
int BuildMainWindow();
// The text the search field starts with: the command line's word, or the
// clipboard's text when the command line is not used. Taken once a run.
std::string InitialSearchText();
// Sizes the controls to the window's current inner area.
void LayoutControls();
// The window callback: keeps the controls sized and swallows the size message.
intptr_t ResizeHook(intptr_t window, uint32_t message, uintptr_t firstParameter, intptr_t secondParameter);
