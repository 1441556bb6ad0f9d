// The program's start and end.
#pragma once

// Runs the whole program: start-up, the main window, the event loop and the
// end. The caller hands over the command line first. Returns the exit code.
int RunKelpra();
