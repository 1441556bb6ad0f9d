// The index page as arbitrary bytes: the context list built from it, the
// keyword lookups on it, its display copy and the letter anchor put into it,
// each against the rules written out plainly.
#include <cctype>
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
// `text` is the link text as the line has it.
ContextEntry ModelEntry(const std::string& line, std::string& text)
{
    ContextEntry entry;
    std::string rest = line.size() > 9 ? line.substr(9) : "";
    size_t quote = rest.find('"');
    if (quote == std::string::npos) return entry;
    // Pages are named as Windows opens them: in Windows-1252 where they can be.
    entry.page = kHelpFolder + ModelToAnsi(ModelPagePath("********" + rest.substr(0, quote)));
    rest = rest.substr(std::min(quote + 2, rest.size()));
    size_t less = rest.find('<');
    if (less != std::string::npos) text = rest.substr(0, less);
    entry.keyword = ModelUpperCase(text);
    return entry;
}

// A UTF-8 index page: no line that is not UTF-8, and one that is, or one
// that says charset=utf-8 (or utf8).
bool ModelIndexIsUtf8(const std::vector<std::string>& lines)
{
    bool utf8 = false, declared = false;
    for (const std::string& line : lines) {
        bool high = false;
        for (unsigned char c : line) high = high || c >= 0x80;
        if (high && !ModelReadsAsUtf8(line)) return false;
        utf8 = utf8 || high;
        const size_t at = line.find("harset");
        if (at == std::string::npos || at == 0 || (line[at - 1] != 'c' && line[at - 1] != 'C')) continue;
        std::string name = ModelLower(line.substr(at + 6, 12));
        name.erase(0, name.find_first_not_of("= \"'"));
        declared = declared || name.rfind("utf-8", 0) == 0 || name.rfind("utf8", 0) == 0;
    }
    return utf8 || declared;
}

bool OneCharacter(const std::string& text)
{
    return text.size() == 1 || (ModelReadsAsUtf8(text) && ModelCharacters(text).size() == 1);
}

// "http:", "mailto:" and the like: letters, digits, "+", "-" and "." before a
// colon, more than one of them (one is a drive letter).
bool HasScheme(const std::string& target)
{
    const size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = target[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
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
        } else if (OneCharacter(kw) && line.compare(0, kw.size(), kw) == 0 && start != "IN" &&
                   start != "DA") {
            out.insert(out.end(), {anchor, link});
            inserted = true;
        } else {
            out.push_back(line);
        }
    }
    return JoinCrLf(out);
}

// The display copy: the page line for line, a line that begins with a link
// having the help folder put in front of its target, unless the target is
// an address of its own (with a scheme).
std::string ModelDisplayCopy(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const bool link = line.compare(0, 9, "<a href=\"") == 0;
        const std::string rest = link ? line.substr(9) : "";
        out.push_back(link && !HasScheme(rest.substr(0, rest.find('"'))) ? "<a href=\"" + kHelpFolder + rest
                                                                         : line);
    }
    return JoinCrLf(out);
}

bool SameEntries(const std::vector<ContextEntry>& a, const std::vector<ContextEntry>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].keyword != b[i].keyword || a[i].page != b[i].page) return false;
    return true;
}

// A word finds the first entry whose link text has its characters, in either
// case and either encoding.
void CheckLookup(const std::vector<std::string>& texts, const std::string& word)
{
    size_t first = 0;
    while (first < texts.size() && ModelMatchKey(texts[first]) != ModelMatchKey(word)) ++first;
    const int found = FindContext(word);
    const ContextList& list = State.contextList;
    if (first == texts.size()) {
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
    std::vector<std::string> texts;
    for (const std::string& line : lines) {
        if (!IsLink(line)) continue;
        texts.emplace_back();
        entries.push_back(ModelEntry(line, texts.back()));
    }

    BuildContextList();
    CheckListLinks(State.contextList);
    FUZZ_CHECK(TheScript().messages.empty(), "the index page was readable, yet a message came");
    FUZZ_CHECK(SameEntries(ListEntries(State.contextList), entries),
               "the context list differs from the link lines of " + Shown(index));

    std::vector<std::string> words = {"PRINT", "", index.substr(size > 3 ? size - 3 : 0)};
    if (!entries.empty()) {
        words.push_back(ModelLower(entries[size % entries.size()].keyword));
        words.push_back(texts[size % entries.size()]);
    }
    for (const std::string& word : words) CheckLookup(texts, word);

    FUZZ_CHECK(MakeDisplayCopy(kHelpFolder + "index.htm") == kHelpFolder + "vosks.html",
               "the display copy has another name");
    FUZZ_CHECK(FuzzFolder().Read("vosks.html") == ModelDisplayCopy(lines),
               "the display copy is " + Shown(FuzzFolder().Read("vosks.html")));

    // The search hands over one character of its field, or nothing: the
    // last byte of the input that is no line end.
    size_t last = size;
    while (last > 0 && (data[last - 1] == '\r' || data[last - 1] == '\n' || data[last - 1] == 0)) --last;
    const std::string letter = last ? std::string(1, static_cast<char>(data[last - 1])) : "";
    // The letter goes into the index page in the page's own encoding.
    const std::string kw = ModelInEncoding(ModelUpperCase(letter), ModelIndexIsUtf8(lines));
    size_t place = 0;
    while (place < entries.size() && !ModelGreater(entries[place].keyword, kw)) ++place;
    entries.insert(entries.begin() + static_cast<long>(place),
                   ContextEntry{kw, kHelpFolder + "index.htm#" + kw, ""});

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
