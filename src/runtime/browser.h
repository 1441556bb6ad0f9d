// The embedded browser control. It is driven through the control operations
// of window.h: ControlSetText navigates (an empty address does nothing),
// ControlGetText gives the current address ("file:///C:/Some%20Folder/page.htm"
// for a local file), ControlSetState steps through the history.
#pragma once

#include <string>

constexpr int BrowserBack = 1;
constexpr int BrowserForward = 2;
constexpr int BrowserStop = 3;
constexpr int BrowserReload = 4;
// The browser's address as ControlGetText gives it: at most this many bytes.
constexpr int BrowserAddressLimit = 9999;

// The address of a local file as every browser realization reports it:
// "file:///" + the path with "/" for "\", "%20" for " " and "%23" for "#",
// then "#" + the anchor when there is one.
std::string BrowserAddressFromPath(const std::string& windowsPath, const std::string& anchor);

// Nonzero on success; 0 when no browser can be had.
int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address);
