// The context list: keyword and page pairs read from the index page's link
// lines, first match in list order wins.
#pragma once

#include <string>

#include "state/state.h"

// Builds the program's context list from the help folder's "index.htm".
// 1 when the page could be read; 0 when not (the list is then empty).
int BuildContextList();

// How a sorted insert compares and what it does with an entry of the same
// keyword. The letter anchors compare keywords as stored and always add an
// entry; the include documenter compares them upper-cased and gives an entry
// of the same keyword the new page instead.
enum class KeywordCompare { AsStored, UpperCased };
enum class SameKeyword { AddEntry, UpdatePage };

// Puts the entry after the last one that does not sort after the keyword
// (first when there is none), or updates that one when it has the keyword
// and `same` says so. The entry is then the list's current element.
ContextEntry& InsertContextSorted(const std::string& keyword, const std::string& page, KeywordCompare compare,
                                  SameKeyword same);
// A browser address (or "********" + a link target) as a file path.
std::string PagePathFromAddress(const std::string& address);
// The link text of an index-page link line, as index maintenance cuts it
// (upper-cased; "" when the line holds no further double quote).
std::string LinkLineText(const std::string& line);
// Fills an entry from a link line as the list builder does: the target up to
// the first double quote after the opening one, the text from two
// characters after that quote up to the next "<". A field the line does not
// reach stays empty.
void ReadLinkLine(const std::string& line, ContextEntry& entry);
// 1 when the line's first 8 characters are exactly "<a href=".
int IsLinkLine(const std::string& line);
