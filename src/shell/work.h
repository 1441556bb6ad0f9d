// Long work in the window: reading every page of the help folder, for Check
// Help Folder and the first Search Pages. It runs in slices: between pages
// the window draws, follows its size and takes hand-overs, every command is
// held for the loop, and Esc or the close box stops the work.
#pragma once

#include "state/state.h"

// Starts the work: the busy cursor, and what is done, with how far it got,
// in the status bar.
void WorkBegin(const char* what);
// The work's PageProgress: lets the window do what it has to, at most every
// slice; 0 once the user has asked the work to stop.
int WorkGoesOn(int done, int total);
// Ends the work and names the page again in the status bar: 1 when it ran
// to its end, 0 when it was stopped.
int WorkEnd();
// The next event for the loop: one held while work ran, else the window's.
HeldEvent NextEvent();
