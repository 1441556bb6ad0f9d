#include "runtime/scripted/script.h"

#include "runtime/browser.h"

namespace {

Script script;
int lastEventId = 0;

}  // namespace

// Shared with the window layer, which stores the id of each event handed out.
int& ScriptLastEventId()
{
    return lastEventId;
}

Script& TheScript()
{
    return script;
}

void ScriptReset()
{
    script = Script{};
    lastEventId = 0;
}

void ScriptResize(int width, int height)
{
    script.areaWidth = width;
    script.areaHeight = height;
    intptr_t result = CallbackDefault;
    if (script.callback) {
        uintptr_t size = (static_cast<uintptr_t>(height & 0xFFFF) << 16) | (width & 0xFFFF);
        result = script.callback(WindowHandle(), MessageSize, 0, static_cast<intptr_t>(size));
    }
    // A size message the callback lets through comes back as an event, as
    // the window layer reports it; it is the very next thing the loop sees.
    if (result == CallbackDefault) script.events.push_front(ScriptedEvent{static_cast<int>(MessageSize), 0});
}

std::string ScriptAddressOf(const std::string& pathOrAddress)
{
    if (pathOrAddress.empty()) return "";
    const std::string scheme = "file:///";
    std::string path = pathOrAddress.compare(0, scheme.size(), scheme) == 0
                           ? pathOrAddress.substr(scheme.size())
                           : pathOrAddress;
    // The first "#" starts the anchor, as it does for a real browser.
    size_t hash = path.find('#');
    std::string anchor = hash == std::string::npos ? "" : path.substr(hash + 1);
    if (hash != std::string::npos) path.resize(hash);
    return BrowserAddressFromPath(path, anchor);
}
