#include "helpindex/displaycopy.h"

#include "fixture.h"

namespace {

TEST_F(HelpFolderTest, DisplayCopyPointsLinkLinesIntoTheHelpFolder)
{
    State.helpFolder = "C:\\H\\";
    folder.Write("pages\\page.htm",
                 "<html>\n"
                 "<a href=\"main.htm\">Main</a> <a href=\"x.htm\">X</a>\r"
                 "<A HREF=\"caps.htm\">Caps</A>\r\n"
                 " <a href=\"indented.htm\">In</a>\n"
                 "<a href=\"#top\">Top</a>\n"
                 "<a href='single.htm'>S</a>\n"
                 "</html>");

    EXPECT_EQ(MakeDisplayCopy("T:\\pages\\page.htm"), "T:\\pages\\vosks.html");

    EXPECT_EQ(folder.Read("pages\\vosks.html"),
              CrLf({"<html>", "<a href=\"C:\\H\\main.htm\">Main</a> <a href=\"x.htm\">X</a>",
                    "<A HREF=\"caps.htm\">Caps</A>", " <a href=\"indented.htm\">In</a>",
                    "<a href=\"C:\\H\\#top\">Top</a>", "<a href='single.htm'>S</a>", "</html>"}));
}

TEST_F(HelpFolderTest, DisplayCopyOfAMissingPageWritesNothing)
{
    EXPECT_EQ(MakeDisplayCopy("T:\\gone\\page.htm"), "T:\\gone\\vosks.html");
    EXPECT_FALSE(folder.Exists("gone"));
}

TEST_F(HelpFolderTest, PageNamedLikeItsCopyIsShownAsItself)
{
    const std::string page = "<a href=\"x.htm\">X</a>\n";
    for (std::string name : {"vosks.html", "VOSKS.HTML", "Vosks.Html"}) {
        SCOPED_TRACE(name);
        folder.Write("sub\\" + name, page);
        EXPECT_EQ(MakeDisplayCopy("T:\\sub\\" + name), "T:\\sub\\" + name);
        EXPECT_EQ(folder.Read("sub\\" + name), page);
    }
}

TEST(AnchorPosition, FirstHashCountedFromOne)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"C:\\H\\index.htm#P", 15}, {"C:\\H\\index.htm", 0}, {"#", 1}, {"", 0}, {"a#b#c", 2},
    };
    for (const auto& [text, position] : cases) EXPECT_EQ(AnchorPosition(text), position) << text;
}

}  // namespace
