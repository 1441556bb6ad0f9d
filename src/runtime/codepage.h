// Texts as characters. The program's texts are bytes, as their files have
// them: Dark Basic's pages, keywords and settings in Windows-1252 (the ANSI
// code page the program was made for), a newer help folder in UTF-8. A text
// whose bytes are well-formed UTF-8 (TextIsUtf8) is read as UTF-8, any other
// as Windows-1252; natural text in Windows-1252 is practically never valid
// UTF-8, so the two are told apart without being told.
#pragma once

#include <string>

// 1 when no byte of the text is above 0x7F. (TextIsUtf8, runtime/text.h,
// says whether the bytes are well-formed UTF-8.)
int TextIsAscii(const std::string& text);
// The text's characters in UTF-8: the form the host's names and Qt take.
std::string TextToUtf8(const std::string& text);
// The bytes read as Windows-1252, in UTF-8, whatever they look like: for a
// page that says it is Windows-1252.
std::string TextFromAnsiToUtf8(const std::string& bytes);
// The text's characters in Windows-1252 when every one of them has a byte
// there; otherwise the text unchanged. Texts from the host and the user
// come into the program so, as they would on Windows.
std::string TextToAnsi(const std::string& text);
// The text for a file in UTF-8 (utf8 nonzero) or in Windows-1252.
std::string TextInEncoding(const std::string& text, int utf8);
// TextToUpper's rule ("a"-"z" and U+00E0-U+00FF lose 0x20) applied to the
// characters, so a UTF-8 text keeps its bytes whole; a Windows-1252 text
// gets exactly TextToUpper.
std::string TextUpperCase(const std::string& text);
// One form for comparing without regard to case or encoding: two texts with
// the same characters, in either case and either encoding, give the same key.
std::string TextMatchKey(const std::string& text);
// The first character: one byte, or the whole UTF-8 sequence; "" for "".
std::string TextFirstCharacter(const std::string& text);

// What the lines of one file say of its encoding, noted line by line: bytes
// above 0x7F that are not UTF-8 make it Windows-1252; otherwise UTF-8 bytes
// or a declared "charset=utf-8" make it UTF-8.
struct EncodingVote {
    int utf8Lines = 0;
    int ansiLines = 0;
    int declaredUtf8 = 0;
};
void EncodingNoteLine(EncodingVote& vote, const std::string& line);
int EncodingIsUtf8(const EncodingVote& vote);
