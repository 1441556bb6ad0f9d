// The event loop and the commands it dispatches.
#pragma once

// Runs until the last event is the close event (the close box or Close).
void RunEventLoop();
// The commands of the buttons and of the menu (and the Enter key).
void RunControlCommand(int id);
void RunMenuCommand(int id);
