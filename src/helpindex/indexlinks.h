#pragma once

#include <string>

// Adds an anchor and a link for the keyword to the index page, and an entry
// to the context list.
void InsertIndexLink(const std::string& keyword);

// 1 when a plain index-page line stands for the one-letter keyword's heading:
// it begins with the letter, but not with the page's own "Index ..." and
// "Dark Basic ..." lines ("IN" and "DA" in any case).
int IsLetterHeading(const std::string& line, const std::string& keyword);
