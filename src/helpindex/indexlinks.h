#pragma once

#include <string>

// Adds an anchor and a link for the keyword to the index page, and an entry
// to the context list.
void InsertIndexLink(const std::string& keyword);
