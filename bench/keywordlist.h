// A context list of 100,000 keywords for the type-ahead benchmarks.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "helpindex/contextlist.h"
#include "state/state.h"

constexpr int BenchKeywords = 100000;
// Typed one key after another; half the list begins with "CMD".
inline const std::string BenchTyped = "cmd04567";

// Keywords as an index page has them: in order, with a spread of first
// letters like a real command set, and many of them under one prefix.
inline void FillBenchKeywordList()
{
    ListRelease(State.contextList);
    std::vector<std::string> keywords;
    char keyword[32];
    for (int i = 0; i < BenchKeywords; ++i) {
        if (i % 2 == 0) std::snprintf(keyword, sizeof keyword, "CMD%06d", i);
        else std::snprintf(keyword, sizeof keyword, "%c%c OBJECT %d", 'A' + i % 26, 'A' + i / 26 % 26, i);
        keywords.push_back(keyword);
    }
    std::sort(keywords.begin(), keywords.end());
    for (const std::string& word : keywords) {
        ContextEntry& entry = ListInsert(State.contextList)->record;
        entry.keyword = word;
        entry.page = "B:\\commands\\" + word + ".htm";
    }
}
