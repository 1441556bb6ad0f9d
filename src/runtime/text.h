// Text and path operations. A text is a std::string of bytes in
// the ANSI code page; positions are 1-based and counts are in bytes.
#pragma once

#include <cstdint>
#include <string>

int TextLength(const std::string& text);
std::string TextHead(const std::string& text, int count);
std::string TextTail(const std::string& text, int count);
std::string TextSlice(const std::string& text, int position, int count);
int TextSearch(const std::string& text, const std::string& pattern, int startPosition);
std::string TextToUpper(const std::string& text);
// The ASCII letters of a text upper-cased in place, 1 when any was lower;
// and two texts equal but for the case of their ASCII letters. For plain
// ASCII text asked of often (names, folders, keywords): no copies.
int TextAsciiUpperInPlace(std::string& text);
int TextAsciiEqualsCaseBlind(const std::string& a, const std::string& b);
std::string TextToLower(const std::string& text);
std::string TextStripSpaces(const std::string& text);
std::string TextOfSpaces(int count);
std::string TextFromInteger(int32_t value);
int32_t TextToInteger(const std::string& text);
int TextEquals(const std::string& a, const std::string& b);
int TextGreater(const std::string& a, const std::string& b);

// 1 when the bytes are well-formed UTF-8 throughout (no overlong forms, no
// surrogates): the test by which a text of unknown origin is taken as UTF-8
// rather than Windows-1252.
int TextIsUtf8(const std::string& text);
// The well-formed UTF-8 character that starts at byte `at` (counted from 0):
// its length (1 to 4), with its code point in `code`; 0 when none starts
// there.
int TextUtf8Character(const std::string& text, size_t at, uint32_t& code);

// The end of the line that starts at `at`: its first CR, LF or NUL, or
// `stop`. The file services end lines at the same bytes (runtime/files.h).
const char* TextLineEnd(const char* at, const char* stop);

std::string PathFolderPart(const std::string& path);
std::string PathFileName(const std::string& path);
std::string PathExtension(const std::string& path);
// 1 when Windows would take the text as one name in a folder: no separator,
// no control byte or reserved character, no device name (CON, COM1.txt).
int PathNameAllowed(const std::string& name);
