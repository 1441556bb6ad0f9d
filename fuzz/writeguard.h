// Linked in with the linker's --wrap for the calls that make, change or
// remove files by name: each name is checked against the allowed folder
// before the call goes through.
#pragma once

#include <string>
#include <vector>

// Host folder inside which names may be written; "" allows everything.
void WriteGuardAllow(const std::string& hostFolder);
// The names written outside the allowed folder since the last call.
std::vector<std::string> WriteGuardTakeViolations();
