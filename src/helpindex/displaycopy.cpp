#include "helpindex/displaycopy.h"

#include "runtime/files.h"
#include "runtime/text.h"
#include "state/state.h"

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
    const std::string linkStart = "<a href=\"";
    do {
        std::string line = FileReadLineFrom(1);
        if (TextEquals(TextHead(line, 9), linkStart))
            line = linkStart + State.helpFolder + TextTail(line, TextLength(line) - 9);
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
