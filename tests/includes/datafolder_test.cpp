// An installed program reads its templates from the installed data folder
// and writes its own files elsewhere; the help folder comes out the same.
#include "includes/include.h"

#include "fixture.h"

namespace {

TEST_F(IncludeTest, TemplatesComeFromTheDataFolderWhereverKelpraWrites)
{
    folder.Write("src\\myinclude.dba", CrLf(WorkedSource));
    AddInclude(folder.Win("src\\myinclude.dba"));
    const auto portable = Snapshot("help");

    const struct {
        const char* what;
        const char* listTemplate;  // where Includes.htm and Include2.htm lie
        const char* message;       // "" when the run goes through
    } cases[] = {
        {"templates in the data folder only", "share", ""},
        {"templates beside the writing folder only", "prog", "share\\Includes.htm"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder.Host("help"));
        folder.Write("help\\menu.htm", CrLf(Menu));
        folder.Write("help\\main.htm", CrLf(Main));
        folder.Write("help\\index.htm", CrLf(Index));
        folder.Write("db\\keywords.txt", CrLf({"PRINT", "CLS"}));
        std::filesystem::remove_all(folder.Host("share"));
        std::filesystem::remove_all(folder.Host("prog"));
        folder.Write(std::string(c.listTemplate) + "\\Includes.htm", CrLf(ListTemplate));
        folder.Write(std::string(c.listTemplate) + "\\Include2.htm", CrLf(PageTemplate));
        ListRelease(State.contextList);
        ListCreate(State.contextList);
        ScriptReset();
        State.dataFolder = folder.Win("share\\");

        AddInclude(folder.Win("src\\myinclude.dba"));
        if (*c.message) {
            ASSERT_EQ(TheScript().messages.size(), 1u) << c.what;
            EXPECT_EQ(TheScript().messages[0].text, "Unable to locate file> " + folder.Win(c.message))
                << c.what;
            EXPECT_FALSE(folder.Exists("help\\Includes.htm")) << c.what;
        } else {
            EXPECT_TRUE(TheScript().messages.empty()) << c.what;
            EXPECT_EQ(Snapshot("help"), portable) << c.what;
        }
    }
}

}  // namespace
