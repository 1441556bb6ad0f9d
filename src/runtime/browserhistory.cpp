#include "runtime/browserhistory.h"

#include <cctype>

#include "runtime/browser.h"
#include "runtime/links.h"

namespace {

bool IsFileAddress(const std::string& text)
{
    if (text.size() < 5) return false;
    for (size_t i = 0; i < 5; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != "file:"[i]) return false;
    return true;
}

// What follows "file:" and its slashes: a drive path, or a share ("//"
// then the server) after two slashes or five.
std::string FileAddressRest(const std::string& address)
{
    size_t slashes = 5;
    while (slashes < address.size() && (address[slashes] == '/' || address[slashes] == '\\')) ++slashes;
    std::string rest = address.substr(slashes);
    bool drive = rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    return drive || slashes - 5 == 3 ? rest : "//" + rest;
}

}  // namespace

// Browsers write a file's address in more than one way: Windows's own
// component as "file:///C:/A%20B/x.htm", Wine's as "file://C:\A B\x.htm".
BrowserEntry BrowserEntryOf(const std::string& pathOrAddress)
{
    BrowserEntry entry;
    bool address = IsFileAddress(pathOrAddress);
    if (!address && LinkHasScheme(pathOrAddress)) {
        entry.path = pathOrAddress;
        return entry;
    }
    std::string text = address ? FileAddressRest(pathOrAddress) : pathOrAddress;
    size_t hash = text.find('#');
    if (hash != std::string::npos) {
        entry.anchor = text.substr(hash + 1);
        text.resize(hash);
    }
    if (address) AppendPagePath(entry.path, text.data(), text.data() + text.size());
    else entry.path = text;
    return entry;
}

std::string BrowserEntryAddress(const BrowserEntry& entry)
{
    if (LinkHasScheme(entry.path)) return entry.path;
    return BrowserAddressFromPath(entry.path, entry.anchor);
}

const BrowserEntry* HistoryTarget(const BrowserHistory& history)
{
    if (history.pending.active) return &history.pending.entry;
    if (history.current < 0) return nullptr;
    return &history.entries[static_cast<size_t>(history.current)];
}

void HistoryNavigate(BrowserHistory& history, const BrowserEntry& entry)
{
    BrowserPending next;
    next.active = true;
    next.entry = entry;
    next.entry.scroll = 0;
    const BrowserEntry* target = HistoryTarget(history);
    if (target && target->path == entry.path && entry.page.empty()) next.entry.page = target->page;
    history.pending = next;
}

int HistoryStep(BrowserHistory& history, int direction)
{
    int from = history.pending.active && history.pending.index >= 0 ? history.pending.index : history.current;
    int to = from + direction;
    if (from < 0 || to < 0 || to >= static_cast<int>(history.entries.size())) return 0;
    history.pending = BrowserPending{true, to, history.entries[static_cast<size_t>(to)], false};
    return 1;
}

void HistoryStop(BrowserHistory& history)
{
    history.pending = BrowserPending{};
}

void HistoryReload(BrowserHistory& history)
{
    if (history.current < 0) return;
    history.pending =
        BrowserPending{true, history.current, history.entries[static_cast<size_t>(history.current)], true};
}

void HistoryShowCopy(BrowserHistory& history, const std::string& copyPath, const std::string& page)
{
    if (!history.pending.active) HistoryReload(history);
    if (!history.pending.active) return;
    history.pending.entry.path = copyPath;
    history.pending.entry.page = page;
    history.pending.reread = true;
}

BrowserCommit HistoryCommit(BrowserHistory& history, int scrollOfShown)
{
    BrowserCommit commit;
    if (!history.pending.active) return commit;
    BrowserPending next = history.pending;
    history.pending = BrowserPending{};
    if (history.current >= 0) history.entries[static_cast<size_t>(history.current)].scroll = scrollOfShown;
    if (next.index >= 0) {
        commit.returning = true;
        // The scroll saved just now, when the step stays on this entry.
        next.entry.scroll = history.entries[static_cast<size_t>(next.index)].scroll;
        history.entries[static_cast<size_t>(next.index)] = next.entry;
        history.current = next.index;
    } else {
        history.entries.resize(static_cast<size_t>(history.current) + 1);
        history.entries.push_back(next.entry);
        history.current = static_cast<int>(history.entries.size()) - 1;
    }
    commit.done = true;
    commit.layOut =
        next.reread || next.entry.path != history.shownPath || next.entry.page != history.shownPage;
    return commit;
}

void HistoryLaidOut(BrowserHistory& history)
{
    if (history.current < 0) return;
    const BrowserEntry& shown = history.entries[static_cast<size_t>(history.current)];
    history.shownPath = shown.path;
    history.shownPage = shown.page;
}
