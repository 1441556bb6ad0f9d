#pragma once

#include <string>

// 1 when an entry's keyword matches the text without regard to case; that
// entry is then the context list's current element.
int FindContext(const std::string& text);
// The letter a failed search falls back on: the text's first character, in
// capitals.
std::string SearchLetter(const std::string& text);
// 1 when the letter can name a place in the index page: not empty, and not a
// blank or a control character, which no index page has a place for.
int LetterNamesAPlace(const std::string& letter);
// The search without the window: 1 when the whole text, or else its first
// character, matches an entry's keyword without regard to case; that entry
// is then the context list's current element.
int LookupKeyword(const std::string& text);
// Looks the search field's text up and shows the page; with ask on, a failed
// search offers to add the letter to the index page when there is a letter.
void SearchKeyword(int ask);
