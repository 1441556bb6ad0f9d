#pragma once

#include <string>
#include <vector>

// Adds an anchor and a link for the keyword to the index page, and an entry
// to the context list; on a help folder that cannot be written it says so
// and changes nothing.
void InsertIndexLink(const std::string& keyword);

// 1 when a file can be made in the help folder; otherwise says so, in a box
// with the title given, and gives 0. Asked before a command changes the
// folder, so that nothing is half done.
int HelpFolderWritable(const std::string& title);

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

// 1 when a plain index-page line stands for the one-letter keyword's heading:
// it begins with the letter, but not with the page's own "Index ..." and
// "Dark Basic ..." lines ("IN" and "DA" in any case).
int IsLetterHeading(const std::string& line, const std::string& keyword);
