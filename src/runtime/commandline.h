// The program's command line, handed over by the host at start and read one
// argument at a time.
#pragma once

#include <string>
#include <vector>

// The next argument of the program's command line; "" once they are used up.
std::string CommandLineArgument();
// The command line as Windows hands it over: one text, split by the
// argument rules (quotes group, the first token is the program itself).
void CommandLineSet(const std::string& commandLine);
// The command line as a POSIX host hands it over: already split, argv[0]
// first. Arguments keep their spaces and quotes, and come in as the
// program's texts (ProgramTextFromHost).
void CommandLineSetArguments(const std::vector<std::string>& arguments);
