#include "runtime/scripted/script.h"

#include <fstream>
#include <iterator>

#include "runtime/browser.h"
#include "runtime/hostpath.h"
#include "runtime/links.h"
#include "runtime/text.h"

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
    if (result == CallbackDefault)
        script.events.push_front(ScriptedEvent{static_cast<int>(MessageSize), 0, ""});
}

std::string ScriptAddressOf(const std::string& pathOrAddress)
{
    if (pathOrAddress.empty()) return "";
    return BrowserEntryAddress(BrowserEntryOf(pathOrAddress));
}

void ScriptShowPending()
{
    BrowserCommit commit = HistoryCommit(script.browser, 0);
    if (!commit.layOut) return;
    HistoryLaidOut(script.browser);
    const BrowserEntry& shown = script.browser.entries[static_cast<size_t>(script.browser.current)];
    std::ifstream file(HostPathFromWindows(shown.path), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    script.layouts.push_back(RecordedLayout{ScriptShownAddress(), text});
}

void ScriptFollowLink(const std::string& link)
{
    const bool scheme = LinkHasScheme(link);
    bool file = scheme && TextEquals(TextToLower(TextHead(link, 5)), "file:");
    if (scheme && !file && !BrowserIsWebAddress(link)) {
        script.outsideAddress = link;
        return;
    }
    BrowserEntry entry = BrowserEntryOf(link);
    if (entry.path.empty()) entry.path = script.browser.shownPath;
    HistoryNavigate(script.browser, entry);
}

std::string ScriptShownAddress()
{
    const BrowserHistory& history = script.browser;
    if (history.current < 0) return "";
    return BrowserEntryAddress(history.entries[static_cast<size_t>(history.current)]);
}
