// Reading help pages as HTML, over runtime/pagebytes.h: the text a reader
// sees, the links and images; and writing text into the pages the program makes. Texts come
// out as UTF-8 whatever the page was written in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/pagebytes.h"

// A text of the program (UTF-8 when well-formed, else Windows-1252) as UTF-8.
std::string Utf8FromText(const std::string& text);
// Upper-cased for matching, byte for byte in place: the ASCII letters and
// the accented Latin-1 letters (U+00E0 to U+00FE but U+00F7).
std::string FoldedForMatching(const std::string& utf8);
// The same in place, for a caller that keeps its room.
void FoldForMatching(std::string& utf8);

// The page as a reader sees it: the title and the body's text, with tags,
// comments, scripts and styles dropped, entities decoded and white space run
// together into single spaces.
struct PageText {
    std::string title;
    std::string text;
    // How much of the text stands inside links: most of it on a page of
    // contents or an index, little on one a reader reads.
    size_t linkText = 0;
    size_t spaces = 0;  // in the text, which has one word more when it is not empty
    // Where the text and the title are put together, kept from page to page.
    std::vector<char> room;
    std::vector<char> titleRoom;
};
void ExtractPageText(const std::string& bytes, PageText& page);
// The same with the text left where it was put together (page.text is not
// touched): no copy, for a reader that keeps it elsewhere before the next
// page.
std::string_view ExtractPageTextInPlace(const std::string& bytes, PageText& page);
// The same put together in room the caller made for it, of at least
// PageTextRoom(bytes.size()) bytes (page.room is not touched either).
size_t PageTextRoom(size_t bytes);
std::string_view ExtractPageTextInto(const std::string& bytes, PageText& page, char* room);

// Where a page leads: links (a, area, frame, iframe, link, script) and
// images (img, input, and the background of body, table and cells), each
// target as written in the page but decoded to UTF-8 (entities too).
enum class LinkKind { Page, Image };
struct PageLink {
    std::string target;
    LinkKind kind = LinkKind::Page;
    // The tag opens a line that begins exactly "<a href=": a link line of
    // the index page.
    int opensLinkLine = 0;
};
struct PageLinks {
    std::string base;  // the href of the first <base> tag; "" when none
    std::vector<PageLink> links;
};
void ReadPageLinks(const std::string& bytes, PageLinks& links);
// The links of many pages kept together, as the check keeps every page's:
// all targets in one string, one after another, rather than a string each.
struct StoredLink {
    uint32_t start = 0;  // of its target in `targets`
    uint32_t length = 0;
    LinkKind kind = LinkKind::Page;
    int opensLinkLine = 0;
};
struct LinkStore {
    std::string targets;
    std::vector<StoredLink> links;
};
// Adds the page's links to the store, and puts its <base> href in `base`.
void AppendPageLinks(const std::string& bytes, LinkStore& store, std::string& base);

// Text into an HTML page of the program's making: markup characters escaped
// and every character beyond ASCII as a numeric reference, so the page reads
// the same whatever charset the viewer takes it in.
std::string HtmlFromText(const std::string& utf8);

// The start of such a page, up to and with its <body> tag, in the help
// pages' own colours; and its end.
std::string PageHead(const std::string& title);
std::string PageFoot();
// Writes a page made by the program, line by line with CR LF ends, through
// the rewrite service (runtime/rewrite.h); 1 when it was written whole.
int WriteHtmlPage(const std::string& name, const std::string& html);
