#pragma once

#include <string>

// The Add Include run: turns one include source into help pages under the
// help folder's "Includes" and links them into the help folder.
void AddInclude(const std::string& sourcePath);
