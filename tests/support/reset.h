// One reset of every piece of global state the program keeps, run before
// every test of every suite (support/main.cpp), so that no test can leak an
// open file, a simulated full disk, a mapped drive or a queued event into
// the next.
#pragma once

// The program state, the caches of the search and the type-ahead, the file
// table, the fault injector, the noted file
// failure, the help-folder lock, the command line, the drive map (POSIX; on
// Windows the letters belong to the test folders that define them) and then
// the realization's own.
void ResetGlobalState();

// The user-interface realization's part: the scripted suites empty the
// script (support/reset_scripted.cpp); the suites of the real realizations
// start and end their layer in their fixtures (support/reset_none.cpp).
void ResetRealization();

// The full-text search's page cache and the type-ahead's keyword index
// (support/reset_caches.cpp).
void ResetCaches();
