#include "pages/fulltext.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "pages/helpfolder.h"
#include "pages/html.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "runtime/textblocks.h"
#include "state/state.h"
#include "support/faults.h"
#include "support/testfolder.h"

namespace {

namespace fs = std::filesystem;

std::string Page(const std::string& title, const std::string& body, const std::string& head = "")
{
    return "<html><head>" + head + "<title>" + title + "</title></head>\r\n<body>\r\n" + body +
           "\r\n</body></html>\r\n";
}

// A change made to the help folder between searches, and the pages a
// search for the word then finds.
struct FolderChange {
    const char* what;
    std::function<void()> make;
    const char* word;
    std::vector<std::string> paths;
};

// A search watches the help folder's folders; the watch ends before the
// test's folder goes, which Wine refuses to remove while it is watched.
class SearchedFolder : public ::testing::Test {
protected:
    void TearDown() override { FullTextReset(); }

    TestFolder folder;
};

class FullText : public SearchedFolder {
protected:
    // Six bytes of cls.htm rewritten in place: the same size, a new time.
    void RewriteCls(const char* from, const char* to) const
    {
        std::fstream page(folder.Host("commands/cls.htm"), std::ios::in | std::ios::out | std::ios::binary);
        page.seekp(static_cast<std::streamoff>(folder.Read("commands\\cls.htm").find(from)));
        page.write(to, 6);
    }

    void SetUp() override
    {
        State.helpFolder = folder.Win();
        folder.Write("commands\\print.htm", Page("PRINT", "<p>PRINT writes text. Print again.</p>"));
        folder.Write("commands\\sprint.htm",
                     Page("SPRINT", "<p>Sprinting is fast, and so is a blueprint.</p>"));
        folder.Write("commands\\cls.htm",
                     Page("CLS", "<p>Clears the screen; PRINT then starts at the top. print, print!</p>"));
        folder.Write("glossary.htm",
                     Page("Glossary", "<dl><dt>printing</dt><dd>Putting text on the screen.</dd>"));
        folder.Write(
            "old.htm",
            Page("Old &amp; 1252", "<script>var print = 1;</script><p>Caf\xe9 &eacute;cran</p><!-- print -->",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"));
        folder.Write("utf8.htm", Page("Caf\xc3\xa9 <b>",
                                      "<p>\xc3\x89"
                                      "CRAN caf\xc3\xa9</p>",
                                      "<meta charset=\"utf-8\">"));
        // Copies and other files are not pages of their own.
        folder.Write("commands\\vosks.html", Page("PRINT", "<p>print print print print</p>"));
        folder.Write("Includes\\vosk2.htm", Page("Include Files", "print"));
        folder.Write("readme.txt", "print print");
    }

    std::vector<std::string> Paths(const std::string& query)
    {
        std::vector<std::string> paths;
        for (const SearchHit& hit : SearchHelpFolder(query).hits) paths.push_back(hit.path);
        return paths;
    }
};

TEST_F(FullText, PagesWithAllTheWordsTitleMatchesFirstThenByOccurrences)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        // print.htm has it in its title; cls.htm three times, glossary.htm once
        // ("printing"); "sprint", a script and a comment do not count.
        {"print", {"commands\\print.htm", "commands\\cls.htm", "glossary.htm"}},
        {"PRINT screen", {"commands\\cls.htm", "glossary.htm"}},
        {"print print  PRINT", {"commands\\print.htm", "commands\\cls.htm", "glossary.htm"}},
        {"sprint", {"commands\\sprint.htm"}},
        {"caf\xc3\xa9", {"utf8.htm", "old.htm"}},  // typed as UTF-8
        {"CAF\xe9", {"utf8.htm", "old.htm"}},      // typed in Windows-1252
        {"\xc3\xa9"
         "cran",
         {"old.htm", "utf8.htm"}},
        {"1252", {"old.htm"}},
        {"var", {}},
        {"print nowhere", {}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& [query, paths] : cases) EXPECT_EQ(Paths(query), paths) << query;
    SearchResults results = SearchHelpFolder("print");
    ASSERT_EQ(results.hits.size(), 3u);
    EXPECT_EQ(results.hits[0].title, "PRINT");
    EXPECT_EQ(results.hits[0].titleWords, 1);
    EXPECT_EQ(results.hits[1].occurrences, 3);
    EXPECT_EQ(results.words, (std::vector<std::string>{"print"}));
}

TEST_F(FullText, SnippetsMarkEveryWordTheyShow)
{
    std::string body;
    for (int i = 0; i < 40; ++i) body += "filler" + std::to_string(i) + " ";
    body += "the SCREEN and the Sync command, screens synced";
    for (int i = 0; i < 40; ++i) body += " tail" + std::to_string(i);
    folder.Write("long.htm", Page("Long", body));
    SearchResults results = SearchHelpFolder("screen sync");
    ASSERT_EQ(results.hits.size(), 1u);
    const SearchHit& hit = results.hits[0];
    EXPECT_LE(hit.snippet.size(), SnippetLength + 8);
    EXPECT_EQ(hit.snippet.rfind("\xe2\x80\xa6 ", 0), 0u);                   // cut at the front...
    EXPECT_EQ(hit.snippet.substr(hit.snippet.size() - 3), "\xe2\x80\xa6");  // ...and at the back
    std::vector<std::string> marked;
    for (const TextMark& mark : hit.marks) marked.push_back(hit.snippet.substr(mark.start, mark.length));
    EXPECT_EQ(marked, (std::vector<std::string>{"SCREEN", "Sync", "screen", "sync"}));
    EXPECT_TRUE(TextIsUtf8(hit.snippet));
}

TEST_F(FullText, ResultsPageLinksEachPageAndEscapesWhatItShows)
{
    const std::string page = SearchResultsPage(SearchHelpFolder("caf\xc3\xa9"));
    for (char c : page) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "bytes beyond ASCII in the page";
    EXPECT_NE(page.find("<a href=\"file:///T:/utf8.htm\">Caf&#233; &lt;b&gt;</a>"), std::string::npos)
        << page;
    EXPECT_NE(page.find("<b><font color=\"Yellow\">Caf&#233;</font></b>"), std::string::npos) << page;
    EXPECT_NE(page.find("2 pages found."), std::string::npos);
    // Written for a browser that shows files: the same bytes, CR LF lines.
    EXPECT_EQ(WriteHtmlPage(folder.Win("results.htm"), page), 1);
    EXPECT_EQ(folder.Read("results.htm"), page);
    EXPECT_EQ(WriteHtmlPage(folder.Win("no folder\\results.htm"), page), 0);
    FaultFailWritesAfter(100);
    EXPECT_EQ(WriteHtmlPage(folder.Win("full.htm"), page), 0);
    FaultFailWritesAfter(-1);
    EXPECT_NE(SearchResultsPage(SearchHelpFolder("nowhere")).find("No page of the help folder"),
              std::string::npos);
    State.helpFolder = folder.Win("missing\\");
    EXPECT_NE(SearchResultsPage(SearchHelpFolder("print")).find("cannot be read"), std::string::npos);
}

// A made page takes the place of the one shown before only when it is
// complete, and is never written through a link out of its folder.
TEST_F(FullText, MadePagesReplaceTheirOldVersionWhole)
{
    struct Case {
        const char* what;
        bool link;         // the page's name is a link to a file outside
        int failAfter;     // the nth write fails (-1: none)
        int written;       // what WriteHtmlPage gives
        const char* kept;  // the old page's bytes afterwards; "" for the new
    };
    const Case cases[] = {
        {"replaced", false, -1, 1, ""},
        {"full disk", false, 0, 0, "old page"},
#ifndef _WIN32
        {"link out", true, -1, 0, "old page"},
#endif
    };
    const std::string page = SearchResultsPage(SearchHelpFolder("print"));
    for (const Case& c : cases) {
        folder.Write("made\\outside.htm", "old page");
        fs::remove(folder.Host("made/in/results.htm"));
        folder.Write(c.link ? "made\\in\\x" : "made\\in\\results.htm", "old page");
        if (c.link) fs::create_symlink(folder.Host("made/outside.htm"), folder.Host("made/in/results.htm"));
        FaultFailWritesAfter(c.failAfter);
        EXPECT_EQ(WriteHtmlPage(folder.Win("made\\in\\results.htm"), page), c.written) << c.what;
        FaultFailWritesAfter(-1);
        const std::string kept =
            c.link ? folder.Read("made\\outside.htm") : folder.Read("made\\in\\results.htm");
        EXPECT_EQ(kept, *c.kept ? c.kept : page) << c.what;
    }
}

TEST_F(FullText, PagesAreReadOnceAndAgainOnlyWhenTheyChange)
{
    ASSERT_EQ(Paths("print").size(), 3u);
    // An unchanged page is not read again: what the cache holds is searched.
    for (CachedPage& cached : FullTextPageCache().pages)
        if (cached.path == "glossary.htm") cached.title += " cachedOnly";
    EXPECT_EQ(Paths("cachedonly"), (std::vector<std::string>{"glossary.htm"}));

    folder.Write("glossary.htm", Page("Glossary", "<p>Rewritten, longer than it was: vertex.</p>"));
    EXPECT_EQ(Paths("vertex"), (std::vector<std::string>{"glossary.htm"}));
    EXPECT_TRUE(Paths("cachedonly").empty());
    // The same size and the old write time: replaced all the same.
    const auto written = fs::last_write_time(folder.Host("commands/cls.htm"));
    std::string cls = folder.Read("commands\\cls.htm");
    cls.replace(cls.find("Clears"), 6, "Wipes ");
    folder.Write("new.tmp", cls);
    fs::last_write_time(folder.Host("new.tmp"), written);
    fs::rename(folder.Host("new.tmp"), folder.Host("commands/cls.htm"));
    EXPECT_EQ(Paths("wipes"), (std::vector<std::string>{"commands\\cls.htm"}));

    fs::remove(folder.Host("commands/print.htm"));
    folder.Write("commands\\input.htm", Page("INPUT", "print a prompt"));
    EXPECT_EQ(Paths("print"), (std::vector<std::string>{"commands\\cls.htm", "commands\\input.htm"}));
    // Another help folder is read from nothing.
    TestFolder other('U');
    other.Write("index.htm", Page("Index", "print"));
    State.helpFolder = other.Win();
    EXPECT_EQ(Paths("print"), (std::vector<std::string>{"index.htm"}));
    EXPECT_EQ(FullTextPageCache().pages.size(), 1u);
}

TEST_F(FullText, TextOfChangedPagesIsGivenBackAsPagesChange)
{
    // A megabyte of text, changed again and again: the text of its earlier
    // versions must not pile up without end.
    std::string words;
    while (words.size() < 1024 * 1024) words += "filler ";
    for (int version = 0; version < 14; ++version) {
        folder.Write("big.htm", Page("Big", words + "marker" + std::to_string(version)));
        ASSERT_EQ(Paths("marker" + std::to_string(version)), (std::vector<std::string>{"big.htm"}));
        if (version > 0) {
            EXPECT_TRUE(Paths("marker" + std::to_string(version - 1)).empty());
        }
    }
    EXPECT_LT(TextBlocksUsed(FullTextPageCache().blocks),
              2 * (words.size() + 64 * 1024) + TextBlockSize + words.size());
    EXPECT_EQ(Paths("print").size(), 3u);  // the other pages' text moved along
}

// Once the help folder is watched, a later search lists nothing while
// nothing changed, and still finds every kind of change at once.
TEST_F(FullText, ALaterSearchSeesEveryChangeWithoutListingTheFolder)
{
    const FolderChange changes[] = {
        {"rewritten in place, same size",
         [&] { RewriteCls("Clears", "Wipes "); },
         "wipes",
         {"commands\\cls.htm"}},
        {"added",
         [&] { folder.Write("commands\\input.htm", Page("INPUT", "quokka")); },
         "quokka",
         {"commands\\input.htm"}},
        {"added in a new folder",
         [&] { folder.Write("new\\deep\\page.htm", Page("Deep", "wombat")); },
         "wombat",
         {"new\\deep\\page.htm"}},
        {"changed in the new folder",
         [&] { folder.Write("new\\deep\\page.htm", Page("Deep", "numbat")); },
         "numbat",
         {"new\\deep\\page.htm"}},
        {"renamed",
         [&] { fs::rename(folder.Host("commands/input.htm"), folder.Host("commands/prompt.htm")); },
         "quokka",
         {"commands\\prompt.htm"}},
        {"removed", [&] { fs::remove(folder.Host("commands/prompt.htm")); }, "quokka", {}},
    };
    Paths("print");
    Paths("print");
    for (const FolderChange& change : changes) {
        change.make();
        EXPECT_EQ(Paths(change.word), change.paths) << change.what;
        Paths("print");  // the watch runs through a whole reading again
        FaultsQuiet();
        EXPECT_EQ(Paths(change.word), change.paths) << change.what;
#ifndef _WIN32
        EXPECT_EQ(FaultsLooks(), 0) << change.what;
#endif
    }
}

// The first search reads pages before it lists their sizes; a change made
// before the next search lists them is seen all the same.
TEST_F(FullText, AChangeRightAfterTheFirstSearchIsSeen)
{
    const FolderChange changes[] = {
        {"rewritten in place, same size",
         [&] { RewriteCls("Clears", "Wipes "); },
         "wipes",
         {"commands\\cls.htm"}},
        {"added",
         [&] { folder.Write("commands\\input.htm", Page("INPUT", "quokka")); },
         "quokka",
         {"commands\\input.htm"}},
        {"removed", [&] { fs::remove(folder.Host("commands/input.htm")); }, "quokka", {}},
        {"rewritten again", [&] { RewriteCls("Wipes ", "Erases"); }, "wipes", {}},
    };
    for (const FolderChange& change : changes) {
        FullTextReset();
        Paths("print");
        change.make();
        EXPECT_EQ(Paths(change.word), change.paths) << change.what;
        EXPECT_EQ(Paths(change.word), change.paths) << change.what;
    }
}

#ifndef _WIN32
TEST_F(FullText, PipesAndLinkLoopsDoNotStopASearch)
{
    ASSERT_EQ(mkfifo(folder.Host("pipe.htm").c_str(), 0600), 0);
    fs::create_directory_symlink(folder.root, folder.Host("commands/loop"));
    fs::create_symlink(folder.Host("commands/print.htm"), folder.Host("linked.htm"));
    EXPECT_EQ(Paths("print"), (std::vector<std::string>{"commands\\print.htm", "linked.htm",
                                                        "commands\\cls.htm", "glossary.htm"}));
}
#endif

// A made-up help folder as readers meet one: an index and a contents page
// made of links, command pages in running text, a French page with
// typographic quotes, a page whose side bar names what its text explains.
// The pages a reader wants come first, and snippets come from running text.
using FullTextRanking = SearchedFolder;

TEST_F(FullTextRanking, ReadersFindWhatTheyLookFor)
{
    State.helpFolder = folder.Win();
    std::string index, contents;
    for (const char* name : {"PRINT", "PRINT IMAGE", "PRINT TEXT", "SCREEN", "SYNC", "STRING", "F-STRINGS"})
        index += std::string("<a href=\"c.htm\">") + name + "</a><br>\r\n";
    for (int i = 0; i < 30; ++i)
        index += "<a href=\"c.htm\">Other command " + std::to_string(i) + "</a><br>\r\n";
    contents = index;
    folder.Write("index.htm", Page("Index", index));
    folder.Write("contents.htm", Page("Contents", "<h1>Print and screen</h1>" + contents));
    folder.Write("commands\\print.htm",
                 Page("PRINT",
                      "<p>The print command writes text on the screen at the cursor. Each print "
                      "moves the cursor down a line unless a semicolon ends it.</p>"));
    folder.Write("commands\\text.htm",
                 Page("TEXT",
                      "<p>Text draws words at a place of the screen; unlike print it keeps the "
                      "cursor where it was. The screen is synced by the sync command.</p>"));
    folder.Write("python\\fstrings.htm",
                 Page("Formatted string literals",
                      "<p>An f-string is a string literal prefixed with f. The f-string holds expressions in "
                      "braces.</p>"));
    folder.Write("python\\strings.htm",
                 Page("Strings",
                      "<p>A string is a sequence of characters. Strings are written in quotes; a "
                      "function f may take a string, and the result of f is printed.</p>"));
    folder.Write("fr\\disque.htm", Page("Disque",
                                        "<p>Le disque d\xe2\x80\x99"
                                        "amor\xc3\xa7"
                                        "age d\xc3\xa9marre "
                                        "\xc2\xab"
                                        "vite\xc2\xbb et le secteur d\xe2\x80\x99"
                                        "amor\xc3\xa7"
                                        "age suit.</p>",
                                        "<meta charset=\"utf-8\">"));
    std::string sidebar = "<div>";
    for (const char* link : {"Sync Screen", "Screen Sync", "Sync Rate", "Draw Screen", "Get Image",
                             "Paste Image", "Load Bitmap", "Make Object", "Position Camera"})
        sidebar += std::string("<a href=\"x.htm\">") + link + "</a> ";
    sidebar += "</div>";
    folder.Write(
        "commands\\sync.htm",
        Page("SYNC", sidebar + "<p>Call sync once a loop: it draws the screen you have built, and the screen "
                               "then waits for the next sync.</p>"));
    folder.Write("commands\\far.htm",
                 Page(
                     "Far", "<p>The screen of the machine is described here at length. " + [] {
                         std::string filler;
                         for (int i = 0; i < 60; ++i) filler += "filler words go here ";
                         return filler;
                     }() + "Only at the end do we speak of sync.</p>"));
    struct Case {
        const char* query;
        std::vector<std::string> top;  // the first results, in order
    };
    const Case cases[] = {
        {"print", {"commands\\print.htm", "commands\\text.htm"}},
        {"f-string", {"python\\fstrings.htm"}},
        {"amor\xc3\xa7"
         "age",
         {"fr\\disque.htm"}},
        {"d\xe2\x80\x99"
         "amor\xc3\xa7"
         "age",
         {"fr\\disque.htm"}},
        {"vite", {"fr\\disque.htm"}},
        {"screen sync", {"commands\\sync.htm", "commands\\text.htm"}},
        {"sync", {"commands\\sync.htm"}},
    };
    for (const Case& c : cases) {
        const SearchResults results = SearchHelpFolder(c.query);
        std::vector<std::string> top;
        for (size_t i = 0; i < results.hits.size() && i < c.top.size(); ++i)
            top.push_back(results.hits[i].path);
        EXPECT_EQ(top, c.top) << c.query;
    }
    // The pages made of links hold the word too, but below every page of text.
    std::vector<std::string> print;
    for (const SearchHit& hit : SearchHelpFolder("print").hits) print.push_back(hit.path);
    ASSERT_GE(print.size(), 4u);
    EXPECT_EQ(std::set<std::string>(print.end() - 2, print.end()),
              (std::set<std::string>{"contents.htm", "index.htm"}));
    // The side bar's links come first in the page; the sentence is shown.
    for (const SearchHit& hit : SearchHelpFolder("sync").hits)
        if (hit.path == "commands\\sync.htm") {
            EXPECT_EQ(hit.snippet.find("Sync Screen"), std::string::npos) << hit.snippet;
        }
}

// Characters, upper-cased as the search compares them (the ASCII letters
// and the accented Latin-1 ones), the slow way.
std::vector<uint32_t> ModelCharacters(const std::string& utf8)
{
    std::vector<uint32_t> characters;
    for (size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const size_t length = lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        uint32_t c = length == 1 ? lead : lead & (length == 2 ? 0x1F : 0x0F);
        for (size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
        characters.push_back(c);
        at += length;
    }
    return characters;
}

// Letters and digits make words; the currency and sub-script signs here do not.
bool ModelWordCharacter(uint32_t c)
{
    return std::isalnum(static_cast<int>(c < 0x80 ? c : 0)) || (c >= 0x80 && (c < 0x2000 || c > 0x2BFF));
}

// How often the query's words begin words of the text (a word of one
// character standing alone), all of them counted; 0 when one is missing.
int ModelCount(const std::string& text, const std::string& query)
{
    const std::vector<uint32_t> page = ModelCharacters(text);
    std::vector<std::vector<uint32_t>> words(1);
    for (uint32_t c : ModelCharacters(query)) {
        if (ModelWordCharacter(c)) words.back().push_back(c);
        else if (!words.back().empty()) words.emplace_back();
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    int total = 0;
    for (const auto& word : words) {
        if (word.empty()) continue;
        int count = 0;
        for (size_t at = 0; at + word.size() <= page.size(); ++at) {
            if (!std::equal(word.begin(), word.end(), page.begin() + static_cast<std::ptrdiff_t>(at)))
                continue;
            if (at > 0 && ModelWordCharacter(page[at - 1])) continue;
            const size_t end = at + word.size();
            if (word.size() == 1 && end < page.size() && ModelWordCharacter(page[end])) continue;
            ++count;
        }
        if (count == 0) return 0;
        total += count;
    }
    return total;
}

using FullTextModel = SearchedFolder;

TEST_F(FullTextModel, CountsAgreeWithASlowScanOnRandomText)
{
    State.helpFolder = folder.Win();
    std::mt19937 random(5);
    // Accented letters in both cases, and two signs that end words though
    // their last bytes differ as a letter's two cases do (U+20AC, U+208C).
    const std::vector<std::string> letters = {
        "a", "b", "A", "B", "\xc3\xa9", "\xc3\x89", "\xe2\x82\xac", "\xe2\x82\x8c", " ", " ", "."};
    // Every page is written again in the second round: the later search
    // reads them all anew, as many as the first search did.
    std::vector<std::string> texts(40);
    for (int round = 0; round < 2; ++round) {
        for (int page = 0; page < 40; ++page) {
            std::string text;
            for (size_t length = random() % 400; text.size() < length;) {
                const std::string& letter = letters[random() % letters.size()];
                if (letter != " " || (!text.empty() && text.back() != ' ')) text += letter;
            }
            while (!text.empty() && text.back() == ' ') text.pop_back();
            texts[page] = text;
            const std::string name = "p" + std::to_string(page) + ".htm";
            folder.Write(name, "<meta charset=utf-8><title>t</title>" + text);
            fs::last_write_time(folder.Host(name),
                                fs::file_time_type::clock::now() + std::chrono::hours(round));
        }
        for (int query = 0; query < 150; ++query) {
            std::string word;
            for (size_t length = 1 + random() % 5; length > 0; --length)
                word += letters[random() % letters.size()];
            // The scan split between two threads, and on one alone.
            FullTextPageCache().splitText = 0;
            SearchResults results = SearchHelpFolder(word);
            std::map<std::string, int> found;
            for (const SearchHit& hit : results.hits) found[hit.path] = hit.occurrences;
            for (size_t page = 0; page < texts.size(); ++page) {
                const std::string path = "p" + std::to_string(page) + ".htm";
                ASSERT_EQ(found.count(path) ? found[path] : 0, ModelCount(texts[page], word))
                    << "word " << word << " in " << path << ", round " << round;
            }
            FullTextPageCache().splitText = SIZE_MAX;
            const SearchResults alone = SearchHelpFolder(word + " " + word.substr(0, 1));
            FullTextPageCache().splitText = 0;
            const SearchResults split = SearchHelpFolder(word + " " + word.substr(0, 1));
            ASSERT_EQ(split.hits.size(), alone.hits.size()) << word;
            for (size_t hit = 0; hit < split.hits.size(); ++hit) {
                EXPECT_EQ(split.hits[hit].path, alone.hits[hit].path) << word;
                EXPECT_EQ(split.hits[hit].score, alone.hits[hit].score) << word;
                EXPECT_EQ(split.hits[hit].occurrences, alone.hits[hit].occurrences) << word;
            }
        }
    }
}

// Several words are looked for in one pass over a page: one word the start
// of another, words sharing letters, at either end of a text, in either
// case and encoding, count as they do one by one.
TEST_F(FullTextModel, SeveralWordsCountAsEachAlone)
{
    State.helpFolder = folder.Win();
    const std::pair<std::string, std::string> pages[] = {
        {"a", "Screenshot object"},
        {"b", "objects on screen"},
        {"c", "screen"},
        {"d", "obj screen"},
        {"e", "OBJECT SCREEN OBJECT"},
        {"f", "xscreen object"},
        {"g",
         "caf\xe9 cr\xe8me br\xfbl\xe9"
         "e"},
        {"h", "<meta charset=utf-8>CAF\xc3\x89 CR\xc3\x88ME"},
        {"i", "reread ready"},
    };
    for (const auto& [name, text] : pages) folder.Write(name + ".htm", "<title>t</title>" + text);
    const std::pair<std::string, std::map<std::string, int>> queries[] = {
        {"screen object", {{"a.htm", 2}, {"b.htm", 2}, {"e.htm", 3}}},
        {"object screen", {{"a.htm", 2}, {"b.htm", 2}, {"e.htm", 3}}},
        {"scr screen", {{"a.htm", 2}, {"b.htm", 2}, {"c.htm", 2}, {"d.htm", 2}, {"e.htm", 2}}},
        {"on screen", {{"b.htm", 2}}},
        {"object objects", {{"b.htm", 2}}},
        // Letters the words share at other places in them.
        {"ready reread", {{"i.htm", 2}}},
        {"reread ready", {{"i.htm", 2}}},
        {"caf\xc3\xa9 CR\xc3\x88ME", {{"g.htm", 2}, {"h.htm", 2}}},
    };
    for (const auto& [query, wanted] : queries) {
        std::map<std::string, int> found;
        for (const SearchHit& hit : SearchHelpFolder(query).hits) found[hit.path] = hit.occurrences;
        EXPECT_EQ(found, wanted) << query;
    }
}

TEST(HelpFolderNames, PagesOfTheirOwnAndCopies)
{
    const std::pair<std::string, bool> cases[] = {
        {"index.htm", true},
        {"Commands\\PRINT.HTML", true},
        {"a.HtM", true},
        {"x.htmx", false},
        {"htm", false},
        {"notes.txt", false},
        {"vosks.html", false},
        {"commands\\Vosks.Html", false},
        {"myvosks.html", true},
        {"Includes\\VOSK2.htm", false},
        {"includes\\vosks.htm", false},
        {"commands\\vosk2.htm", true},
        {"vosks.htm", true},
        {"Includes\\sub\\vosk2.htm", true},
    };
    for (const auto& [path, own] : cases) EXPECT_EQ(IsOwnPage({path, 0, 0, 0}), own ? 1 : 0) << path;
    EXPECT_EQ(IsOwnPage({"folder.htm", 1, 0, 0}), 0);
}

}  // namespace
