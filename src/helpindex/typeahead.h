// Type-ahead: the keywords of the context list that match what the user has
// typed so far, for the search field's drop-down.
#pragma once

#include <string>
#include <vector>

// A screenful of a drop-down list.
constexpr int TypeAheadScreenful = 20;

struct TypeAheadRows {
    std::vector<std::string> keywords;  // as the index page spells them
    int more = 0;                       // how many more keywords match
};

// The keywords that begin with the typed text, then those in which it begins
// a later word (after a character that is no letter or digit, as "back" in
// "push_back" and "push_back" in "std::vector::push_back"), each group in
// context-list order; case aside (both upper-cased with TextToUpper), at
// most `most`. A keyword stands once, as its first entry spells it; empty
// keywords and an empty text give nothing. Choosing one and searching for
// it finds that first entry.
TypeAheadRows TypeAheadKeywords(const std::string& typed, int most);
// Forgets the index built from the context list: at start-up and before
// each test.
void TypeAheadReset();
