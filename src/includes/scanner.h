// The include source scanner: reads the run's copy of an include source
// (file number 1) one item at a time, so the run can write as it goes.
#pragma once

#include <string>
#include <vector>

struct IncludeScan {
    std::string sourceName;
    std::string copyPath;
    std::string pageName;
    std::string headingName;
    std::string descriptionLine;
    int noInformation = 0;
    std::string listText;
};

struct IncludeFunction {
    std::string declaration;
    std::string name;
    int noParameters = 0;
    std::string fileKeyword;
    std::string indexKeyword;
    std::string pagePath;
    std::vector<std::string> commentLines;
};

// What the scanner carries from one iteration to the next.
struct IncludeScanner {
    int fileNumber = 1;
    int functionCount = 0;
    int holding = 0;
    std::string heldLine;
};

enum class ScanItemKind { LeadIn, Function, Ignored };

struct ScanItem {
    ScanItemKind kind = ScanItemKind::Ignored;
    std::string line;          // the line as read (lead-in and ignored lines)
    IncludeFunction function;  // functions only; the comment block is not read yet
};

// The names the run needs before it copies the source.
IncludeScan IncludeScanFromPath(const std::string& sourcePath, const std::string& helpFolder);

int IsDeclarationLine(const std::string& line);
IncludeFunction ParseDeclaration(const std::string& line);

// Reads the top of the source: the description line and what follows from it.
void ReadDescriptionLine(IncludeScan& scan, IncludeScanner& scanner);
// One scan iteration.
ScanItem NextScanItem(IncludeScanner& scanner);
// Reads one line of the comment block of the function just yielded: 1 when it
// was a comment line (appended), 0 when it ended the block (held back).
int ReadCommentLine(IncludeFunction& function, IncludeScanner& scanner);
// 1 once nothing is left to examine: the source is used up and no line is
// held back. A line held back at the end is still examined, so a function
// declared on the source's last line is not lost.
int ScanFinished(const IncludeScanner& scanner);
