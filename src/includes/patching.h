// Patches the help folder's shared files so that the include pages can be
// reached: the include list page, the menu and main pages, the keywords
// file, the context list and the index page. Each file is rewritten in one
// step (runtime/rewrite.h); a step that fails (Failed, noted) leaves its
// file as it was and ends the Add Include run.
#pragma once

#include <string>

#include "runtime/rewrite.h"

// First use: the include list page from the template beside the program,
// links to it from the menu and main pages, and the Includes folder. The
// include list page is made last, so that until it is there the next run
// finishes an interrupted preparation without linking a page twice.
Rewrite PrepareIncludeFolder();
// 1 while a preparation that was interrupted waits to be finished.
int PreparationUnfinished();
Rewrite UpdateIncludeList(const std::string& pageName, const std::string& listText, int noInformation);
Rewrite AddKeywordLine(const std::string& fileKeyword);
// Before anything is changed: 1 when the keywords file, where its links
// lead, and its backup beside it can be written (or there is no keywords
// file to add to); otherwise 0, noted.
int KeywordsFileWritable();
void AddContextEntry(const std::string& indexKeyword, const std::string& pagePath);
Rewrite AddIndexEntry(const std::string& indexKeyword, const std::string& pagePath);

// 1 when the line, upper-cased, is exactly "<BR>": the marker of the list
// template and of the page template.
int IsMarkerLine(const std::string& line);
// 1 when the line's first two characters, upper-cased, are "MY".
int BeginsWithMy(const std::string& line);
