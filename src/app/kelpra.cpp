// The window program.
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "runtime/text.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Windows hands over one command-line text; its own splitting rules apply.
    (void)argc;
    (void)argv;
    CommandLineSet(GetCommandLineA());
#else
    CommandLineSetArguments(std::vector<std::string>(argv, argv + argc));
#endif
    return RunKelpra();
}
