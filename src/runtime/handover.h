// The single-window hand-over between two starts of the program: the one
// that runs listens under a name, a later one sends its text there and ends.
// Declared once; each realization carries it over its platform's own means
// (a local socket, a window message). The text is the sender's: the
// receiver takes it as untrusted.
#pragma once

#include <string>

// The event EventWait returns when another start of the program has handed
// over its text; a number of the layer's own, beside the control and menu
// events.
constexpr int EventHandOver = 13110;
// The most bytes a receiver takes of one hand-over; the rest is dropped.
constexpr int HandOverReceiveLimit = 4096;
// How long a sender waits for a running window to take the text, in
// milliseconds: a window that hangs must not keep F1 from working.
constexpr int HandOverWaitLimit = 2000;

// Hands the text to the window listening under the name: 1 when it took it,
// 0 when none listens or none answered in time.
int HandOverSend(const std::string& name, const std::string& text);
// Listens under the name for the rest of the run, once the window is open;
// 1 when listening.
int HandOverListen(const std::string& name);
// The text of the last hand-over event, as it came.
std::string HandOverReceived();
// Raises the window above the others and gives it the focus, as far as the
// desktop lets a program do that.
void WindowBringToFront();
