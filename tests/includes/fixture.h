// A help folder, a program folder with small templates and a keywords file
// on drive T:, an empty program state and a fresh script.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/scripted/script.h"
#include "runtime/window.h"
#include "state/state.h"
#include "support/faults.h"
#include "support/testfolder.h"

class IncludeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        State.programFolder = folder.Win("prog\\");
        State.dataFolder = State.programFolder;
        State.helpFolder = folder.Win("help\\");
        State.keywordsFile = folder.Win("db\\keywords.txt");
        folder.Write("prog\\Includes.htm", CrLf(ListTemplate));
        folder.Write("prog\\Include2.htm", CrLf(PageTemplate));
        folder.Write("help\\menu.htm", CrLf(Menu));
        folder.Write("help\\main.htm", CrLf(Main));
        folder.Write("help\\index.htm", CrLf(Index));
        folder.Write("db\\keywords.txt", CrLf({"PRINT", "CLS"}));
        ListCreate(State.contextList);
    }

    std::vector<std::string> Lines(const std::string& relative) const
    {
        return SplitCrLf(folder.Read(relative));
    }

    // Every file under the folder with its bytes, by host name.
    std::map<std::string, std::string> Snapshot(const std::string& relative) const
    {
        std::map<std::string, std::string> files;
        namespace fs = std::filesystem;
        const fs::path root = folder.Host(relative);
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            std::string name = fs::relative(entry.path(), root).generic_string();
            files[name] = entry.is_directory() ? "<folder>" : folder.Read(relative + "\\" + name);
        }
        return files;
    }

    std::set<std::string> Names(const std::string& relative) const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Host(relative)))
            names.insert(entry.path().filename().string());
        return names;
    }

    TestFolder folder;

    const std::vector<std::string> ListTemplate = {"<html>", "<BR>", "your includes:", "<br>", "</html>"};
    const std::vector<std::string> PageTemplate = {"<head>", "<BR>", "<tail>"};
    const std::vector<std::string> Menu = {"<html>", "<a href=\"main.htm\">Commands Menu</a><br>", "</html>"};
    const std::vector<std::string> Main = {"<html>", "17. <a href=\"x.htm\">Seventeen</a><br>",
                                           "18. <a href=\"y.htm\">Eighteen</a><br>", "</html>"};
    const std::vector<std::string> Index = {"<html>",
                                            "Index of commands",
                                            "A<BR>",
                                            "<a href=\"commands\\abs.htm\">ABS</a><BR>",
                                            "B<BR>",
                                            "<a href=\"commands\\box.htm\">BOX</a><BR>",
                                            "<a href=\"commands\\print.htm\">PRINT</a><BR>",
                                            "</html>"};
};
