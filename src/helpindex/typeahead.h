// Type-ahead: the keywords of the context list that begin with what the user
// has typed so far, for the search field's drop-down.
#pragma once

#include <string>
#include <vector>

// A screenful of a drop-down list.
constexpr int TypeAheadScreenful = 20;

// The keywords that begin with the typed text without regard to case (both
// upper-cased with TextToUpper), in context-list order, at most `most`. A
// keyword stands once, as its first entry spells it; empty keywords and an
// empty text give nothing. Choosing one and searching for it finds that
// first entry.
std::vector<std::string> KeywordsBeginningWith(const std::string& typed, int most);
// Forgets the index built from the context list: at start-up and before
// each test.
void TypeAheadReset();
