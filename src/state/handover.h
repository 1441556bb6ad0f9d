// The single-window hand-over: a second start of the program hands its word
// to the window already running with the same settings file, and ends.
// These are the two ends' shared rules; the transport is the realization's.
#pragma once

#include <string>

// The most bytes of a handed-over text that are taken in: a keyword is far
// shorter, and the search field takes nothing longer in one piece.
constexpr int HandOverTextLimit = 255;

// The text as the running window may use it, whatever the other process
// sent: only its first line, tabs as spaces, no other control bytes, at most
// HandOverTextLimit bytes (never ending inside a UTF-8 character).
std::string HandOverText(const std::string& received);

// The name both ends meet under: one per user and settings file, of
// characters every platform takes in the name of a socket, pipe or window
// property, and short enough for a socket's path.
std::string HandOverName(const std::string& settingsFile, const std::string& user);
// The name for this run: the settings file in State and the user the
// process runs as.
std::string HandOverNameOfThisRun();
