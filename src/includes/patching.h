// Patches the help folder's shared files so that the include pages can be
// reached: the include list page, the menu and main pages, the keywords
// file, the context list and the index page.
#pragma once

#include <string>

// First use: the include list page from the template beside the program,
// links to it from the menu and main pages, and the Includes folder.
void PrepareIncludeFolder();
void UpdateIncludeList(const std::string& pageName, const std::string& listText, int noInformation);
void AddKeywordLine(const std::string& fileKeyword);
void AddContextEntry(const std::string& indexKeyword, const std::string& pagePath);
void AddIndexEntry(const std::string& indexKeyword, const std::string& pagePath);

// 1 when the line, upper-cased, is exactly "<BR>": the marker of the list
// template and of the page template.
int IsMarkerLine(const std::string& line);
// 1 when the line's first two characters, upper-cased, are "MY".
int BeginsWithMy(const std::string& line);
