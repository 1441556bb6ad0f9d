#pragma once

#include <string>

// Writes "vosks.html" beside the page with its link lines pointing into the
// help folder; returns the copy's path.
std::string MakeDisplayCopy(const std::string& pagePath);
// 1-based position of the first "#", 0 when there is none.
int AnchorPosition(const std::string& text);
