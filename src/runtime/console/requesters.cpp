// Message boxes, requesters, program start and clipboard without a window.
#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/console/console.h"
#include "runtime/hostpath.h"
#include "runtime/requesters.h"

namespace {

int answerYes = 0;

bool AsksYesOrNo(int flags)
{
    int buttons = flags & MessageButtons;
    return buttons == MessageYesNo || buttons == MessageYesNoCancel;
}

}  // namespace

void ConsoleAnswerYes(int yes)
{
    answerYes = yes ? 1 : 0;
}

int MessageAsk(const std::string& title, const std::string& text, int flags)
{
    std::fprintf(stderr, "%s: %s\n", HostTextFromProgram(title).c_str(), HostTextFromProgram(text).c_str());
    if (!AsksYesOrNo(flags)) return AnswerOk;
    std::fprintf(stderr, "%s: answered %s\n", title.c_str(), answerYes ? "Yes" : "No (--yes answers Yes)");
    return answerYes ? AnswerYes : AnswerNo;
}

std::string FileRequestOpen(const std::string&, const std::string&, const std::string&, int)
{
    return "";
}

std::string FolderRequest(const std::string&, const std::string&)
{
    return "";
}

// Nothing is started from the command line; the caller sees a failed start.
intptr_t ProgramRun(const std::string&, const std::string&, const std::string&)
{
    return 0;
}

// There is no desktop to hand a file to.
intptr_t DesktopOpen(const std::string&)
{
    return 0;
}

std::string ClipboardGetText()
{
    return "";
}

// The pauses separate file moves on the help folder, so they are real.
void Pause(int milliseconds)
{
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
