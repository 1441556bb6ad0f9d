// The window program.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "runtime/commandline.h"
#include "runtime/window.h"
#include "shell/startup.h"
#include "state/texts.h"

int main(int argc, char** argv)
{
    // Answered before anything of the window starts, so they work without a
    // display.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(KelpraHelpText, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s%s\n", KelpraVersionText, KELPRA_VERSION);
        return 0;
    }
    // Said in one line, before Qt would abort over it.
    if (!WindowDisplayAvailable()) {
        std::fputs(NoDisplayText, stderr);
        return 1;
    }
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
