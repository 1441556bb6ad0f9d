// Lines as every rewrite writes them (each ends in CR LF), and the worked
// example of an include run that several suites check byte for byte.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

std::string CrLf(std::initializer_list<std::string> lines);
std::string CrLf(const std::vector<std::string>& lines);
// Bytes written line by line, back into lines.
std::vector<std::string> SplitCrLf(const std::string& bytes);
bool Contains(const std::vector<std::string>& lines, const std::string& line);
// A page written between a template's head and tail.
std::vector<std::string> Framed(std::vector<std::string> head, const std::vector<std::string>& body,
                                const std::vector<std::string>& tail);

// The include source myinclude.dba of the worked example: a description
// line, one lead-in line, one function with a comment block.
extern const std::vector<std::string> WorkedSource;
// What the run writes between the page template's head and tail: the
// include page and the function page Init.htm.
extern const std::vector<std::string> WorkedIncludePage;
extern const std::vector<std::string> WorkedFunctionPage;
