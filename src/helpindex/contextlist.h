// The context list: keyword and page pairs read from the index page's link
// lines, first match in list order wins.
#pragma once

#include <string>

#include "runtime/elementlist.h"

struct ContextEntry {
    std::string keyword;
    std::string page;
};

using ContextList = ElementList<ContextEntry>;

// Builds the program's context list from the help folder's "index.htm".
void BuildContextList();
// A browser address (or "********" + a link target) as a file path.
std::string PagePathFromAddress(const std::string& address);
// The link text of an index-page link line, as index maintenance cuts it
// (upper-cased; "" when the line holds no further double quote).
std::string LinkLineText(const std::string& line);
// 1 when the line's first 8 characters are exactly "<a href=".
int IsLinkLine(const std::string& line);
