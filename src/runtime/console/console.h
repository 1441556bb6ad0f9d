// The console realization of the user-interface headers, for kelpra-cli:
// there is no window; message boxes go to standard error and are answered
// from the command line's --yes.
#pragma once

// Nonzero: Yes/No boxes answer Yes. The default is No, which ends nothing
// the user has not asked for.
void ConsoleAnswerYes(int yes);
