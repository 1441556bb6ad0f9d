#include "runtime/commandline.h"

#include "runtime/hostpath.h"

namespace {

// Arguments of the command line after the program's own path, and how many
// calls have asked for one so far.
std::vector<std::string> commandArguments;
size_t commandCounter = 0;

}  // namespace

std::string CommandLineArgument()
{
    size_t k = commandCounter++;
    return k < commandArguments.size() ? commandArguments[k] : "";
}

void CommandLineSet(const std::string& commandLine)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = commandLine.size();
    while (true) {
        while (i < n && commandLine[i] == ' ') ++i;
        if (i >= n) break;
        if (commandLine[i] == '"') {
            size_t close = commandLine.find('"', i + 1);
            if (close == std::string::npos) close = n;
            tokens.push_back(commandLine.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            size_t space = commandLine.find(' ', i);
            if (space == std::string::npos) space = n;
            tokens.push_back(commandLine.substr(i, space - i));
            i = space;
        }
    }
    commandArguments.assign(tokens.begin() + (tokens.empty() ? 0 : 1), tokens.end());
    commandCounter = 0;
}

void CommandLineSetArguments(const std::vector<std::string>& arguments)
{
    commandArguments.clear();
    for (size_t i = 1; i < arguments.size(); ++i)
        commandArguments.push_back(ProgramTextFromHost(arguments[i]));
    commandCounter = 0;
}
