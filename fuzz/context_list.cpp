// The index page as arbitrary bytes: the context list built from it, the
// keyword lookups on it, its display copy and the letter anchor put into it,
// each against the rules written out plainly.
#include <cstdint>
#include <string>
#include <vector>

#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "helpindex/indexlinks.h"
#include "helpindex/search.h"
#include "runtime/browser.h"
#include "runtime/scripted/script.h"
#include "support.h"

namespace {

const std::string kHelpFolder = "T:\\";

// An entry as a link line gives it; fields the line does not reach stay empty.
ContextEntry ModelEntry(const std::string& line)
{
    ContextEntry entry;
    std::string rest = line.size() > 9 ? line.substr(9) : "";
    size_t quote = rest.find('"');
    if (quote == std::string::npos) return entry;
    entry.page = kHelpFolder + ModelPagePath("********" + rest.substr(0, quote));
    rest = rest.substr(std::min(quote + 2, rest.size()));
    size_t less = rest.find('<');
    if (less != std::string::npos) entry.keyword = ModelUpper(rest.substr(0, less));
    return entry;
}

bool IsLink(const std::string& line)
{
    return line.compare(0, 8, "<a href=") == 0;
}

// The index page with the letter's anchor and link put in where they belong.
std::string ModelIndexWithAnchor(const std::vector<std::string>& lines, const std::string& kw)
{
    const std::string anchor = "<A NAME=\"" + kw + "\"></A>";
    const std::string link = "<a href=\"index.htm#" + kw + "\">" + kw + "</a><BR>";
    std::vector<std::string> out;
    bool inserted = false;
    for (const std::string& line : lines) {
        const std::string start = ModelUpper(line.substr(0, 2));
        if (inserted) {
            out.push_back(line);
        } else if (IsLink(line)) {
            if (ModelGreater(ModelLinkText(line), kw)) {
                out.insert(out.end(), {anchor, link});
                inserted = true;
            }
            out.push_back(line);
        } else if (kw.size() == 1 && !line.empty() && line[0] == kw[0] && start != "IN" && start != "DA") {
            out.insert(out.end(), {anchor, link});
            inserted = true;
        } else {
            out.push_back(line);
        }
    }
    return JoinCrLf(out);
}

// The display copy: the page line for line, a line that begins with a link
// having the help folder put in front of its target.
std::string ModelDisplayCopy(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back(line.compare(0, 9, "<a href=\"") == 0 ? "<a href=\"" + kHelpFolder + line.substr(9)
                                                            : line);
    return JoinCrLf(out);
}

bool SameEntries(const std::vector<ContextEntry>& a, const std::vector<ContextEntry>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].keyword != b[i].keyword || a[i].page != b[i].page) return false;
    return true;
}

void CheckLookup(const std::vector<ContextEntry>& entries, const std::string& word)
{
    size_t first = 0;
    while (first < entries.size() && ModelUpper(entries[first].keyword) != ModelUpper(word)) ++first;
    const int found = FindContext(word);
    const ContextList& list = State.contextList;
    if (first == entries.size()) {
        FUZZ_CHECK(found == 0, "FindContext found " + Shown(word) + ", which is not in the list");
        return;
    }
    FUZZ_CHECK(found == 1, "FindContext missed " + Shown(word));
    FUZZ_CHECK(list.currentIndex == static_cast<int>(first) + 1,
               "FindContext of " + Shown(word) + " stopped at entry " + std::to_string(list.currentIndex) +
                   ", not the first match " + std::to_string(first + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string index = BytesOf(data, size);
    ClearFuzzFolder();
    FuzzFolder().Write("index.htm", index);
    FuzzFolder().MakeFolder("prog");
    ProgramStateClear();
    State.helpFolder = kHelpFolder;
    State.programFolder = "T:\\prog\\";
    State.keywordsFile = "T:\\keywords.txt";
    ScriptReset();
    BrowserCreate(10, 0, 0, 100, 100, "");

    const std::vector<std::string> lines = ExpectedLines(index);
    std::vector<ContextEntry> entries;
    for (const std::string& line : lines)
        if (IsLink(line)) entries.push_back(ModelEntry(line));

    BuildContextList();
    CheckListLinks(State.contextList);
    FUZZ_CHECK(TheScript().messages.empty(), "the index page was readable, yet a message came");
    FUZZ_CHECK(SameEntries(ListEntries(State.contextList), entries),
               "the context list differs from the link lines of " + Shown(index));

    std::vector<std::string> words = {"PRINT", "", index.substr(size > 3 ? size - 3 : 0)};
    if (!entries.empty()) words.push_back(ModelLower(entries[size % entries.size()].keyword));
    for (const std::string& word : words) CheckLookup(entries, word);

    FUZZ_CHECK(MakeDisplayCopy(kHelpFolder + "index.htm") == kHelpFolder + "vosks.html",
               "the display copy has another name");
    FUZZ_CHECK(FuzzFolder().Read("vosks.html") == ModelDisplayCopy(lines),
               "the display copy is " + Shown(FuzzFolder().Read("vosks.html")));

    // The search hands over one character of its field, or nothing: the
    // last byte of the input that is no line end.
    size_t last = size;
    while (last > 0 && (data[last - 1] == '\r' || data[last - 1] == '\n' || data[last - 1] == 0)) --last;
    const std::string letter = last ? std::string(1, static_cast<char>(data[last - 1])) : "";
    const std::string kw = ModelUpper(letter);
    size_t place = 0;
    while (place < entries.size() && !ModelGreater(entries[place].keyword, kw)) ++place;
    entries.insert(entries.begin() + static_cast<long>(place),
                   ContextEntry{kw, kHelpFolder + "index.htm#" + kw});

    InsertIndexLink(letter);
    CheckListLinks(State.contextList);
    FUZZ_CHECK(SameEntries(ListEntries(State.contextList), entries),
               "the letter's entry for " + Shown(kw) + " is not in its sorted place");
    FUZZ_CHECK(FuzzFolder().Exists("index.htm"), "index.htm is gone");
    FUZZ_CHECK(!FuzzFolder().Exists("index.new"), "index.new was left behind");
    const std::string rewritten = FuzzFolder().Read("index.htm");
    FUZZ_CHECK(OnlyCrLfEnds(rewritten), "the new index.htm has a line end other than CR LF");
    FUZZ_CHECK(rewritten == ModelIndexWithAnchor(lines, kw),
               "the anchor for " + Shown(kw) + " went to the wrong place: " + Shown(rewritten));
    const auto& navigations = TheScript().navigations;
    FUZZ_CHECK(navigations.size() == 1 && navigations[0] == kHelpFolder + "index.htm#" + kw,
               "the browser was not sent to the new anchor");

    ListRelease(State.contextList);
    return 0;
}
