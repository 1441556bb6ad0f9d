#pragma once

#include <string>
#include <vector>

#include "runtime/rewrite.h"

// Adds an anchor and a link for the keyword to the index page, and an entry
// to the context list. 1 when the index page was rewritten; 0 when it could
// not be read, or its rewrite failed (noted) and it keeps its old version.
int InsertIndexLink(const std::string& keyword);

// What an index entry does where a link line already has its text: the
// letter anchors add theirs in front of the next greater one; a function
// whose keyword is already linked adds nothing.
enum class SameLinkText { AddEntry, KeepExisting };

// Copies the index page from file `from` to file `to` with the entry's lines
// put in at the keyword's place: in front of the first link line whose text
// sorts after the keyword, or in place of the keyword's letter heading,
// whichever comes first; once only. 1 when every line was written whole.
int CopyIndexWithEntry(int from, int to, const std::string& keyword,
                       const std::vector<std::string>& entryLines, SameLinkText same);

// Opens the index page as file `from` and writes its new version as file
// `to`, with the entry's lines put in as CopyIndexWithEntry does; `from` is
// closed again. Done: the new version waits under `to` for its commit.
// Skipped: the page cannot be read, or its new version not begun.
Rewrite WriteIndexWithEntry(int from, int to, const std::string& keyword,
                            const std::vector<std::string>& entryLines, SameLinkText same);

// 1 when a plain index-page line stands for the one-letter keyword's heading:
// it begins with the letter, but not with the page's own "Index ..." and
// "Dark Basic ..." lines ("IN" and "DA" in any case).
int IsLetterHeading(const std::string& line, const std::string& keyword);
