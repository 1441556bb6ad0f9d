#include "includes/scanner.h"

#include "runtime/files.h"
#include "runtime/text.h"

namespace {

constexpr char CommentMark = '`';

std::string ReadSourceLine(const IncludeScanner& scanner)
{
    return FileReadLineFrom(scanner.fileNumber);
}

int SourceAtEnd(const IncludeScanner& scanner)
{
    return FileAtEnd(scanner.fileNumber) ? 1 : 0;
}

}  // namespace

IncludeScan IncludeScanFromPath(const std::string& sourcePath, const std::string& helpFolder)
{
    IncludeScan scan;
    scan.sourceName = PathFileName(sourcePath);
    scan.copyPath = helpFolder + "Includes\\" + scan.sourceName;
    // Only the extension's letters are replaced; the dot stays.
    int extensionLength = TextLength(PathExtension(scan.sourceName));
    scan.pageName = TextHead(scan.sourceName, TextLength(scan.sourceName) - extensionLength) + "htm";
    scan.headingName = TextHead(scan.pageName, TextLength(scan.pageName) - 4);
    return scan;
}

int IsDeclarationLine(const std::string& line)
{
    return TextEquals(TextToUpper(TextHead(line, 8)), "FUNCTION");
}

IncludeFunction ParseDeclaration(const std::string& line)
{
    IncludeFunction function;
    function.declaration = TextTail(line, TextLength(line) - 9);
    int open = TextSearch(function.declaration, "(", 1);
    function.name = TextHead(function.declaration, open - 1);
    function.noParameters = TextEquals(TextSlice(function.declaration, open + 1, 1), ")");
    function.fileKeyword = TextToUpper(function.name) + (function.noParameters ? "()" : "");
    const std::string& keyword = function.fileKeyword;
    function.indexKeyword =
        TextEquals(TextTail(keyword, 1), ")") ? TextHead(keyword, TextLength(keyword) - 2) : keyword;
    function.pagePath = "Includes\\" + function.name + ".htm";
    return function;
}

void ReadDescriptionLine(IncludeScan& scan, IncludeScanner& scanner)
{
    std::string line;
    do {
        line = ReadSourceLine(scanner);
    } while (TextLength(line) <= 2 && !SourceAtEnd(scanner));
    scan.descriptionLine = line;
    scan.noInformation = IsDeclarationLine(line);
    if (scan.noInformation) {
        scanner.heldLine = line;
        scanner.holding = 1;
    } else {
        scan.listText = TextTail(line, TextLength(line) - 1);
    }
}

ScanItem NextScanItem(IncludeScanner& scanner)
{
    ScanItem item;
    if (scanner.holding) {
        item.line = scanner.heldLine;
        scanner.holding = 0;
        scanner.heldLine.clear();
    } else {
        item.line = ReadSourceLine(scanner);
    }
    if (IsDeclarationLine(item.line)) {
        scanner.functionCount += 1;
        item.kind = ScanItemKind::Function;
        item.function = ParseDeclaration(item.line);
    } else if (scanner.functionCount == 0) {
        item.kind = ScanItemKind::LeadIn;
    } else {
        item.kind = ScanItemKind::Ignored;
    }
    return item;
}

int ReadCommentLine(IncludeFunction& function, IncludeScanner& scanner)
{
    std::string line = ReadSourceLine(scanner);
    if (!line.empty() && line[0] == CommentMark) {
        function.commentLines.push_back(line);
        return 1;
    }
    scanner.heldLine = line;
    scanner.holding = 1;
    return 0;
}

int ScanFinished(const IncludeScanner& scanner)
{
    return SourceAtEnd(scanner) && !scanner.holding;
}
