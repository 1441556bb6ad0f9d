#include "runtime/commandline.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, FromOneText)
{
    struct Case {
        const char* line;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\k.exe\" \"a b\" c", {"a b", "c"}},
        {"k.exe", {}},
        {"", {}},
        {"k.exe   print   ", {"print"}},
        {"k.exe \"open", {"open"}},
        {"k.exe \"a\"b", {"a", "b"}},
        {"k.exe a\"b c\"", {"a\"b", "c\""}},
        {"k.exe \"\" x", {"", "x"}},
    };
    for (const auto& c : cases) {
        CommandLineSet(c.line);
        for (const auto& want : c.want) EXPECT_EQ(CommandLineArgument(), want) << c.line;
        EXPECT_EQ(CommandLineArgument(), "") << c.line;
        EXPECT_EQ(CommandLineArgument(), "") << c.line;
    }
}

TEST(CommandLine, FromHostArguments)
{
    CommandLineSetArguments({"/usr/bin/kelpra", "a \"b\"", "c"});
    EXPECT_EQ(CommandLineArgument(), "a \"b\"");
    EXPECT_EQ(CommandLineArgument(), "c");
    EXPECT_EQ(CommandLineArgument(), "");
    // Setting a new command line starts counting again.
    CommandLineSetArguments({"kelpra", "x"});
    EXPECT_EQ(CommandLineArgument(), "x");
    CommandLineSetArguments({});
    EXPECT_EQ(CommandLineArgument(), "");
}

}  // namespace
