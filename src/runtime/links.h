// Where a link leads, decided once for every reader of links: the browsers,
// the display copy, the history and the check.
#pragma once

#include <string>

// 1 for "http:", "mailto:", "file:" and the like: a letter, then letters,
// digits, "+", "-" or "."; a single letter before ":" is a drive.
int LinkHasScheme(const std::string& text);
// %XX escapes as the bytes they stand for; only well-formed escapes are
// decoded, so a lone "%" in a file name stays.
std::string PercentDecoded(const std::string& text);
// The help index's own rule for an address part (the link lines of
// index.htm, the addresses the browser reports): "%20" a space, "%23" a
// "#", "/" a backslash, every other byte as it stands.
void AppendPagePath(std::string& path, const char* at, const char* end);

// Where a link or an address leads: a Windows-form file path and the anchor
// (without "#"), or an outside address that is not ours to show.
struct BrowserTarget {
    std::string path;
    std::string anchor;
    std::string external;  // "http://..." and the like; path is then empty
};

// Resolves what a page or the program hands over: a Windows path
// ("C:\H\a.htm", "C:/H/a.htm", "\\server\share\a.htm"), a "file:" address
// ("file:///C:/a.htm", "file://server/share/a.htm", "file:///usr/a.htm"
// from the root of the drive), a path relative to the page's base folder
// (its <base>, else the current page's folder) with either slash, or a lone
// "#anchor", which means the current page. %XX escapes are decoded and "."
// / ".." steps folded, as a Windows browser does.
BrowserTarget BrowserResolveTarget(const std::string& target, const std::string& currentPath,
                                   const std::string& baseFolder = "");
