// Runs a program as a user runs it from a shell (POSIX hosts).
#pragma once

#include <string>

struct CommandResult {
    int status = -1;  // the exit status; -1 when it did not exit by itself
    std::string out;  // what it wrote to standard output
};

// Runs a shell command line and waits for it.
CommandResult RunCommandLine(const std::string& command);
