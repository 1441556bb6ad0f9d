// What every desktop program's window does beyond the menu: type-ahead in
// the search field, find in page, zoom, printing, and the window's place
// kept from one run to the next.
#pragma once

#include "state/state.h"

// The View menu's commands, reached by their keys (and the mouse wheel) as
// well; Back and Next are the buttons' and the browser's history keys.
constexpr int MenuFindInPage = 20;
constexpr int MenuFindNext = 21;
constexpr int MenuFindPrevious = 22;
constexpr int MenuZoomIn = 23;
constexpr int MenuZoomOut = 24;
constexpr int MenuZoomNormal = 25;
constexpr int MenuPrint = 26;
constexpr int MenuBack = 32;
constexpr int MenuNext = 33;
// Stops long work (shell/work.h); with none running it does nothing.
constexpr int MenuStop = 34;

// Where the window opens: the place remembered in [View] when it lies on a
// screen, else the first-run default.
WindowPlace WindowPlaceAtStart();
// The View menu, after the others: where the keys above can be found.
void AddViewMenu();
// Binds the keys above, gives the search field its type-ahead and the
// browser the remembered zoom. Called once the controls exist.
void AddViewCommands();
// 1 when id was one of the commands above, which it then ran.
int RunViewCommand(int id);
// Stores the window's place in [View] when it has one worth opening at.
void RememberWindowPlace();
