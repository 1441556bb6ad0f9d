// A help folder at T:\help\, the program folder at T:\prog\ and a settings
// file pointing at them; the real start-up and loop run on queued events.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "runtime/commandline.h"
#include "runtime/requesters.h"
#include "runtime/scripted/script.h"
#include "runtime/text.h"
#include "shell/startup.h"
#include "state/state.h"
#include "support/testfolder.h"

inline ScriptedEvent Menu(int id)
{
    return {EventMenu, id, ""};
}
inline ScriptedEvent Control(int id)
{
    return {EventControl, id, ""};
}
// A message the loop does nothing for, such as a mouse move.
inline ScriptedEvent Idle()
{
    return {512, 0, ""};
}
// The user clicks a link in the page shown (then the mouse's message).
inline ScriptedEvent Click(const std::string& link)
{
    return {512, 0, link};
}

class ShellTest : public ::testing::Test {
protected:
    TestFolder t;

    void SetUp() override
    {
        ScriptReset();
        CommandLineSet("kelpra.exe");
        t.Write("help\\index.htm", CrLf({"<html>", "<a href=\"commands/print.htm\">Print</a><BR>",
                                         "<a href=\"index.htm#A\">Arrays</a><BR>", "Z<BR>", "</html>"}));
        t.Write("help\\Menu.htm", CrLf({"<a href=\"index.htm\">Index</a>"}));
        t.Write("help\\glossary.htm", CrLf({"glossary"}));
        t.Write("help\\main.htm", CrLf({"main"}));
        t.Write("help\\commands\\print.htm", CrLf({"<a href=\"main.htm\">Main</a>"}));
        t.Write("keywords.txt", CrLf({"PRINT"}));
        t.Write("prog\\HelpMain.htm", CrLf({"help on help"}));
        t.Write("prog\\Kelpra.ini", Ini(""));
    }

    static std::string Ini(const std::string& more)
    {
        return "[Setup]\r\nHelp=T:\\help\\\r\nkeywords=T:\\keywords.txt\r\n" + more;
    }

    int Run(const std::vector<ScriptedEvent>& events)
    {
        for (const ScriptedEvent& event : events) TheScript().events.push_back(event);
        State.programFolder = t.Win("prog\\");
        return RunKelpra();
    }

    // Every file under T:\ with its bytes.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(t.root))
            if (entry.is_regular_file()) {
                std::string relative = std::filesystem::relative(entry.path(), t.root).string();
                files[relative] = t.Read(relative);
            }
        return files;
    }

    // Where the browser ends, once it has shown what it was last sent to.
    static std::string Address()
    {
        ScriptShowPending();
        return ScriptShownAddress();
    }
};
