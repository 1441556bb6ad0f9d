#include "helpindex/displaycopy.h"

#include <cctype>

#include "helpindex/contextlist.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

const std::string LinkStart = "<a href=\"";

// "http:", "mailto:", "file:" and the like; one letter before ":" is a drive.
int HasScheme(const std::string& target)
{
    size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return 0;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 1;
}

int SameFolder(const std::string& a, const std::string& b)
{
    return TextEquals(TextMatchKey(a), TextMatchKey(b));
}

}  // namespace

std::string DisplayCopyLinkLine(const std::string& line, const std::string& pageFolder,
                                const std::string& helpFolder)
{
    const std::string rest = TextTail(line, TextLength(line) - 9);
    const std::string target = rest.substr(0, rest.find('"'));
    if (HasScheme(target)) return line;
    // The file the target names, without its anchor or query.
    const std::string file = PagePathFromAddress("********" + target.substr(0, target.find_first_of("#?")));
    if (!file.empty() && !SameFolder(pageFolder, helpFolder) && PathSize(helpFolder + file) == -1 &&
        PathSize(pageFolder + file) != -1)
        return LinkStart + pageFolder + rest;
    return LinkStart + helpFolder + rest;
}

int IsDisplayCopyName(const std::string& path)
{
    return TextEquals(PathFileName(path), "vosks.html");
}

int EndsLikeDisplayCopy(const std::string& path)
{
    return TextEquals(TextToUpper(TextTail(path, 10)), "VOSKS.HTML");
}

std::string MakeDisplayCopy(const std::string& pagePath)
{
    // Names ignore case, so a page called vosks.html in any case is its own
    // copy's file: it is shown as itself rather than overwritten.
    if (TextEquals(TextToUpper(PathFileName(pagePath)), "VOSKS.HTML")) return pagePath;

    std::string copyPath = PathFolderPart(pagePath) + "vosks.html";
    if (!FileOpenRead(1, pagePath)) return copyPath;
    if (!FileCreate(2, copyPath)) {
        FileClose(1);
        return copyPath;
    }
    const std::string pageFolder = PathFolderPart(pagePath);
    do {
        std::string line = FileReadLineFrom(1);
        if (TextEquals(TextHead(line, 9), LinkStart))
            line = DisplayCopyLinkLine(line, pageFolder, State.helpFolder);
        FileWriteLineTo(2, line);
    } while (!FileAtEnd(1));
    FileClose(2);
    FileClose(1);
    return copyPath;
}

int AnchorPosition(const std::string& text)
{
    size_t found = text.find('#');
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}
