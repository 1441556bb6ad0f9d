// What the process knows of itself.
#pragma once

#include <string>

// The program's own file, in the Windows form.
std::string ModuleFileName();
