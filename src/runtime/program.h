// What the process knows of itself.
#pragma once

#include <string>

// The program's own file, in the Windows form.
std::string ModuleFileName();
// Who the process runs as: what keeps one user's programs apart from
// another's on the same machine.
std::string UserName();
