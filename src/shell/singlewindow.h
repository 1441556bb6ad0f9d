// One window for every start: a second start of the program hands its word
// to the window already open with the same settings file, and ends.
#pragma once

// Before any window opens: 1 when a running window took this start's word
// (and this start is to end), 0 when this start is to open its own.
int HandOverToRunningWindow();
// Once the window is open: later starts find it.
void ListenForHandOvers();
// A word handed over: the window comes to the front, and the word goes into
// the search field and is searched for quietly, as at start-up.
void TakeHandOver();
