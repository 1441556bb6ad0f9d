// The hand-over for tests: what is sent and listened under is recorded, a
// running window is the script's say, arriving texts come from its queue.
#include "runtime/handover.h"
#include "runtime/scripted/script.h"

int HandOverSend(const std::string& name, const std::string& text)
{
    TheScript().handOversSent.emplace_back(name, text);
    return TheScript().runningWindowTakes;
}

int HandOverListen(const std::string& name)
{
    TheScript().handOverListening = name;
    return 1;
}

std::string HandOverReceived()
{
    auto& arriving = TheScript().handOversArriving;
    if (arriving.empty()) return "";
    std::string text = arriving.front();
    arriving.pop_front();
    return text.substr(0, HandOverReceiveLimit);
}

void WindowBringToFront()
{
    ++TheScript().broughtToFront;
}
