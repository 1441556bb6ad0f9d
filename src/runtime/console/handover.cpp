// kelpra-cli has no window: it neither hands over nor listens, and runs
// each command on its own.
#include "runtime/handover.h"
#include "runtime/requesters.h"

int HandOverSend(const std::string&, const std::string&)
{
    return 0;
}

int HandOverListen(const std::string&)
{
    return 0;
}

std::string HandOverReceived()
{
    return "";
}

void WindowBringToFront() {}

// Its commands take their words from the command line, never from a
// requester; like the file requesters, this one is cancelled.
std::string TextRequest(const std::string&, const std::string&, const std::string&)
{
    return "";
}
