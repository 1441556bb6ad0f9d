// This test program run again as a second process, for one test, to see
// what a process that dies part-way leaves behind, or two of them at once.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using ChildEnvironment = std::vector<std::pair<std::string, std::string>>;

// Starts the test `test` (a --gtest_filter pattern) of this program with
// these variables added to its environment; its output is dropped.
intptr_t ChildStart(const std::string& test, const ChildEnvironment& environment);
// Its exit code, or -1 when it did not exit by itself.
int ChildWait(intptr_t child);
// Its exit code; ChildNotStarted when it could not be started.
constexpr int ChildNotStarted = -2;
int ChildRun(const std::string& test, const ChildEnvironment& environment);

// In the child: the value of one of those variables, "" when not set.
std::string ChildSetting(const std::string& name);
