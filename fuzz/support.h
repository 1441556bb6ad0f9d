// What the fuzz targets share: the one test folder of the process, small
// independent models of the rules the targets check the real code against,
// and a check that stops the run with a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "state/state.h"
#include "testfolder.h"

// Prints where and what went wrong and aborts, which libFuzzer reports as a
// crash together with the input that caused it.
[[noreturn]] void FuzzFail(const char* file, int line, const std::string& what);
#define FUZZ_CHECK(condition, what)                           \
    do {                                                      \
        if (!(condition)) FuzzFail(__FILE__, __LINE__, what); \
    } while (0)

// The process's test folder, mapped to T: (created on first use).
TestFolder& FuzzFolder();
// Removes everything inside the test folder, keeping the folder itself.
void ClearFuzzFolder();
std::string BytesOf(const uint8_t* data, size_t size);
// Makes printable what a failure message quotes.
std::string Shown(const std::string& text);

// The lines a read loop gets that reads a line and then stops once the file
// is at its end: CR LF, a lone CR, a lone LF and NUL each end a line; the
// last line needs no end; an empty file still gives one empty line.
std::vector<std::string> ExpectedLines(const std::string& bytes);
// The lines, each followed by CR LF: what every rewrite writes.
std::string JoinCrLf(const std::vector<std::string>& lines);
// True when every CR is followed by LF, every LF follows a CR and the bytes
// end with CR LF (or are empty).
bool OnlyCrLfEnds(const std::string& bytes);

// The text rules, written out plainly.
std::string ModelUpper(const std::string& text);
std::string ModelLower(const std::string& text);
bool ModelGreater(const std::string& a, const std::string& b);
std::string ModelPagePath(const std::string& address);
// The link text of an index-page link line as the index rewrite reads it.
std::string ModelLinkText(const std::string& line);

// Texts as characters: UTF-8 when a text has bytes above 0x7F and they are
// well-formed UTF-8 (RFC 3629), Windows-1252 otherwise.
bool ModelReadsAsUtf8(const std::string& text);
std::u32string ModelCharacters(const std::string& text);
std::string ModelUtf8Of(const std::u32string& characters);
// ModelUpper's rule on characters: a UTF-8 text stays UTF-8, and so does a
// Windows-1252 one whose capitals would read as UTF-8.
std::string ModelUpperCase(const std::string& text);
// The upper-cased characters in UTF-8: equal for texts that differ only in
// case and encoding.
std::string ModelMatchKey(const std::string& text);
// A UTF-8 text in Windows-1252 when every character has a byte there;
// anything else unchanged.
std::string ModelToAnsi(const std::string& text);
// The text in UTF-8 (utf8 set) or in Windows-1252.
std::string ModelInEncoding(const std::string& text, bool utf8);

// The list's links agree with each other and with its count.
void CheckListLinks(const ContextList& list);
// The list's entries in order.
std::vector<ContextEntry> ListEntries(const ContextList& list);
