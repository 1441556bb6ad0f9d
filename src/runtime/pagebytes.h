// A help page's bytes as a web browser reads them: the charset it is written
// in, its tags, attributes and character references, and its <base>. Every
// reader of pages (the browsers, the display copy, the check, the full-text
// search) decides these the same way through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

enum class PageCharset { Unknown, Utf8, Windows1252 };

// The charset the page names, lower-cased: "utf-8" for a byte-order mark,
// else the first <meta> charset before the body (comments skipped, within
// the first 64 KB); "" when it names none.
std::string DeclaredCharsetName(const std::string& bytes);
// UTF-8 and the Windows-1252 family (ISO-8859-1, Latin-1, ASCII) by their
// names; any other name is Unknown.
PageCharset CharsetFromName(const std::string& name);
PageCharset DeclaredCharset(const std::string& bytes);
// The charset the page is read in: the one it declares, else UTF-8 when the
// bytes are well-formed UTF-8 and Windows-1252 otherwise, as old pages are.
PageCharset PageCharsetOf(const std::string& bytes);
// The bytes as UTF-8 in that charset; an Unknown one is decided as above.
std::string Utf8FromCharset(const std::string& bytes, PageCharset charset);

// The href of the page's first <base> before the body, as UTF-8, references decoded and the
// spaces around it dropped; "" when it has none.
std::string PageBaseHref(const std::string& bytes);

// Reading markup: positions are byte offsets into the page.
inline unsigned char LowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

inline bool IsAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool IsAsciiAlnum(unsigned char c)
{
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

inline bool IsHtmlSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// A tag's name, lower-cased, at most as long as any name looked for.
struct TagName {
    char name[12] = {};
    size_t end = 0;  // just after the name in the page
};

// The page's bytes from `at` on begin with the lower-case word, in any case.
bool BeginsWithWord(std::string_view page, size_t at, std::string_view lower);
// Just after the '>' that ends the tag whose inside starts at `from`; a '>'
// inside quotes does not end it. An unclosed quote ends at the next '>'.
size_t TagEnd(std::string_view page, size_t from);
// Just after a comment that starts at `at`, or after a declaration.
size_t MarkupDeclarationEnd(std::string_view page, size_t at);
// Where the closing tag of a script, a style or a title whose content starts
// at `from` begins, and just after it: what lies between is no markup.
size_t RawTextClose(std::string_view page, size_t from, std::string_view lowerName);
size_t RawTextEnd(std::string_view page, size_t from, std::string_view lowerName);
TagName ReadTagName(std::string_view page, size_t at);
// Inline, with the first letters compared before the rest: every tag of
// every page is asked after several names.
inline bool NameIs(const TagName& tag, const char* name)
{
    return tag.name[0] == name[0] && std::strcmp(tag.name, name) == 0;
}
// The character reference at `at` (an '&'): its length and its character,
// or 0 when it is a plain '&'. A missing ';' is forgiven, as browsers do.
size_t ReadCharacterReference(std::string_view page, size_t at, uint32_t& code);
// Character references in a text that is UTF-8 already.
std::string DecodeReferences(std::string_view value);
// The raw value of the named attribute between a tag's name and its end.
bool AttributeValue(std::string_view page, size_t from, size_t end, const char* lowerName,
                    std::string_view& value);
// An attribute's value as UTF-8, references decoded and the spaces around
// it dropped, as a browser takes a link's target.
std::string AttributeText(std::string_view value, PageCharset charset);
// The same into a string whose room is kept: most values are plain.
void AttributeTextInto(std::string_view value, PageCharset charset, std::string& text);
