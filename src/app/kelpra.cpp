// The window program.
#include <string>
#include <vector>

#include "runtime/text.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    CommandLineSetArguments(std::vector<std::string>(argv, argv + argc));
    return RunKelpra();
}
