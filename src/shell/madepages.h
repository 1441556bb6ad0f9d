// Pages the program makes for the user and shows in the browser: the
// full-text search's results and the help-folder check's report.
#pragma once

// Asks for words and shows the pages of the help folder that hold them all.
void SearchPagesCommand();
// Checks the help folder and shows what needs putting right.
void CheckFolderCommand();
