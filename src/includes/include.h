#pragma once

#include <string>

#include "includes/scanner.h"

// The Add Include run: turns one include source into help pages under the
// help folder's "Includes" and links them into the help folder.
void AddInclude(const std::string& sourcePath);

// Writes the function's page from the page template's working copy, reading
// the function's comment block as it goes.
void WriteFunctionPage(IncludeFunction& function, const IncludeScan& scan, IncludeScanner& scanner);
