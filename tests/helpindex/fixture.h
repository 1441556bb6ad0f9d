// A help folder on drive T: with an empty program state and a fresh script.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "helpindex/displaycopy.h"
#include "runtime/files.h"
#include "runtime/scripted/script.h"
#include "state/state.h"
#include "support/faults.h"
#include "support/testfolder.h"

class HelpFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.MakeFolder("prog");
        State.helpFolder = folder.Win();
        State.programFolder = folder.Win("prog\\");
    }
    // The folders a copy watched are let go before they are removed: a
    // watched folder cannot be removed on Windows.
    void TearDown() override { DisplayCopyReset(); }

    TestFolder folder;
};

// The keywords of the context list, in list order.
inline std::vector<std::string> Keywords()
{
    std::vector<std::string> keywords;
    for (auto* element = State.contextList.first; element; element = element->next)
        keywords.push_back(element->record.keyword);
    return keywords;
}

inline void AddEntry(const std::string& keyword, const std::string& page)
{
    ContextEntry& entry = ListInsert(State.contextList)->record;
    entry.keyword = keyword;
    entry.page = page;
}
