// Message boxes, file and folder requesters, program start, clipboard, pause.
#pragma once

#include <cstdint>
#include <string>

// Message-box styles: the platform's button sets (low four bits) and icons.
constexpr int MessageOk = 0;
constexpr int MessageOkCancel = 1;
constexpr int MessageAbortRetryIgnore = 2;
constexpr int MessageYesNoCancel = 3;
constexpr int MessageYesNo = 4;
constexpr int MessageRetryCancel = 5;
constexpr int MessageButtons = 0xF;
constexpr int MessageIconError = 0x10;
constexpr int MessageIconQuestion = 0x20;
constexpr int MessageIconWarning = 0x30;
constexpr int MessageIconInformation = 0x40;
constexpr int MessageIcons = 0xF0;
// The two styles with an icon that the program shows.
constexpr int MessageError = MessageOk | MessageIconError;
constexpr int MessageQuestion = MessageYesNo | MessageIconQuestion;
// The platform's answers: the button pressed.
constexpr int AnswerOk = 1;
constexpr int AnswerCancel = 2;
constexpr int AnswerAbort = 3;
constexpr int AnswerRetry = 4;
constexpr int AnswerIgnore = 5;
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;
// FileRequestOpen gives at most this many bytes of a path.
constexpr int RequestPathLimit = 9999;

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
// Opens a file (Windows form) or an outside address with what the desktop
// chooses for it (on Linux what xdg-open would choose); nonzero when
// something was started, 0 when the desktop has nothing for it.
intptr_t DesktopOpen(const std::string& fileOrAddress);
std::string ClipboardGetText();
void Pause(int milliseconds);

// A line of text the user types, for what a command needs beyond a file or
// a folder: the prompt above the field, the field filled with `text`. ""
// when cancelled (or nothing typed).
std::string TextRequest(const std::string& title, const std::string& prompt, const std::string& text);
// Its buttons' captions, where the platform's dialogs have none of their own.
constexpr const char* TextRequestOkText = "OK";
constexpr const char* TextRequestCancelText = "Cancel";
