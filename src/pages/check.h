// The help-folder check: what a maintainer needs to put right after Add
// Include runs or edits by hand.
#pragma once

#include <string>
#include <vector>

#include "pages/helpfolder.h"

enum class FindingKind {
    IndexTargetMissing,  // a link line of index.htm leads to no page
    LinkTargetMissing,   // a link in a page leads to nothing
    ImageMissing,        // an image of a page is not there
    UnreachablePage,     // no chain of links leads to the page from menu.htm, main.htm or index.htm
    KeywordNotInIndex,   // a keywords-file line without an index entry (a note)
    LeftoverCopy,        // a display copy in a folder where no page is shown
    FileMissing,         // one of the files the check starts from is not there
};

struct Finding {
    FindingKind kind = FindingKind::FileMissing;
    // The page (relative to the help folder) or file the finding is about,
    // and what it points at: a link target as written, or a keyword.
    std::string page;
    std::string target;
};

struct CheckReport {
    int folderRead = 0;             // 0 when the help folder could not be read at all
    int stopped = 0;                // 1 when the progress stopped the check: no report
    int pages = 0;                  // pages checked
    std::vector<Finding> findings;  // by kind, then page, then target; each once
};

// Reads every page of the help folder, index.htm's link lines and the
// keywords file, and reports what is broken.
CheckReport CheckHelpFolder(PageProgress progress = nullptr);
// The name a finding's kind goes by in kelpra-cli's lines ("image-missing").
const char* FindingKindName(FindingKind kind);
// 1 for a kind that is only a note: what it reports may well be as it should
// be, so it never makes the check fail. A keywords file lists the language's
// statements (IF, DO, ELSE) for the editor, and no help folder gives them
// index pages.
int FindingIsNote(FindingKind kind);
// How many findings are more than notes: what needs putting right.
int FindingsToPutRight(const CheckReport& report);
// One line on the whole: how many pages, how many findings, how many notes.
std::string CheckSummary(const CheckReport& report);
// The report as a page for the browser control, the pages linked so that
// each is shown as any page is.
std::string CheckReportPage(const CheckReport& report);
