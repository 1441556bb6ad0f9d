// The HTML reader on arbitrary pages: the text, the title and the links it
// takes out, and the escapes it writes back, against the rules they keep.
// Plain text without markup is checked against the text as a reader sees
// it, white space run together. No files.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "pages/html.h"
#include "runtime/text.h"
#include "support.h"

namespace {

bool IsWhite(unsigned char c)
{
    return c <= 0x20 || c == 0x7F;
}

// White space run together into single spaces, none at either end.
std::string ModelPlainText(const std::string& text)
{
    std::string out;
    bool space = false;
    for (char c : text) {
        if (IsWhite(static_cast<unsigned char>(c))) {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += ' ';
        space = false;
        out += c;
    }
    return out;
}

void CheckSpaced(const std::string& text, const char* what)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        FUZZ_CHECK(c >= 0x20 && c != 0x7F, std::string(what) + " holds a control byte: " + Shown(text));
        FUZZ_CHECK(c != ' ' || (i > 0 && i + 1 < text.size() && text[i + 1] != ' '),
                   std::string(what) + " has a space at an end or two in a row: " + Shown(text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string page = BytesOf(data, size);
    PageText text;
    ExtractPageText(page, text);
    CheckSpaced(text.text, "the text");
    CheckSpaced(text.title, "the title");
    // A page that names no charset, or Windows-1252, always comes out as
    // UTF-8; only a page that says UTF-8 and is not may keep stray bytes.
    if (DeclaredCharset(page) != PageCharset::Utf8) {
        FUZZ_CHECK(TextIsUtf8(text.text), "the text is not UTF-8: " + Shown(text.text));
        FUZZ_CHECK(TextIsUtf8(text.title), "the title is not UTF-8: " + Shown(text.title));
    }
    const bool plain = page.find_first_of("<&") == std::string::npos;
    bool ascii = true;
    for (char c : page) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (plain && ascii)
        FUZZ_CHECK(text.text == ModelPlainText(page), "plain text read as " + Shown(text.text));

    PageLinks links;
    ReadPageLinks(page, links);
    for (const PageLink& link : links.links) {
        FUZZ_CHECK(link.target.empty() || (static_cast<unsigned char>(link.target.front()) > 0x20 &&
                                           static_cast<unsigned char>(link.target.back()) > 0x20),
                   "a link target keeps its spaces: " + Shown(link.target));
        FUZZ_CHECK(!link.opensLinkLine || link.kind == LinkKind::Page, "a link line that is an image");
    }

    const std::string html = HtmlFromText(text.text + page);
    for (char c : html) {
        const unsigned char byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte < 0x80 && byte != '<' && byte != '>' && byte != '"',
                   "escaped text holds " + Shown(std::string(1, c)));
    }
    return 0;
}
