// Message boxes, file and folder requesters, program start, clipboard, pause.
#pragma once

#include <cstdint>
#include <string>

// Message-box styles the program uses, and the answers it tests.
constexpr int MessageOk = 0;
constexpr int MessageYesNo = 4;
constexpr int MessageError = 0x10;
constexpr int MessageQuestion = 0x24;
constexpr int AnswerOk = 1;
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;

int MessageAsk(const std::string& title, const std::string& text, int flags);
// The chosen file's path (Windows form), or "" when cancelled. The filter
// list is "label|pattern|label|pattern..."; the index counts pairs from 0.
std::string FileRequestOpen(const std::string& title, const std::string& defaultFile,
                            const std::string& filterList, int filterIndex);
// The chosen folder, ending in exactly one "\", or "" when cancelled.
std::string FolderRequest(const std::string& title, const std::string& startFolder);
// Starts the program without waiting; the parameter text is one argument.
// Nonzero on success, 0 when it could not be started.
intptr_t ProgramRun(const std::string& program, const std::string& parameters,
                    const std::string& workingFolder);
std::string ClipboardGetText();
void Pause(int milliseconds);
