// Message boxes, requesters, program start and clipboard for tests: every
// call is recorded, answers come from the script's queues.
#include "runtime/requesters.h"
#include "runtime/scripted/script.h"

namespace {

// Unanswered boxes get the answer that ends nothing: OK, or No.
int DefaultAnswer(int flags)
{
    int buttons = flags & MessageButtons;
    return (buttons == MessageYesNo || buttons == MessageYesNoCancel) ? AnswerNo : AnswerOk;
}

std::string NextRequesterAnswer()
{
    auto& answers = TheScript().requesterAnswers;
    if (answers.empty()) return "";
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

int MessageAsk(const std::string& title, const std::string& text, int flags)
{
    Script& script = TheScript();
    script.messages.push_back(RecordedMessage{title, text, flags});
    if (script.messageAnswers.empty()) return DefaultAnswer(flags);
    int answer = script.messageAnswers.front();
    script.messageAnswers.pop_front();
    return answer;
}

std::string FileRequestOpen(const std::string& title, const std::string& defaultFile,
                            const std::string& filterList, int filterIndex)
{
    TheScript().requests.push_back(RecordedRequest{"open", title, defaultFile, filterList, filterIndex});
    return NextRequesterAnswer();
}

std::string FolderRequest(const std::string& title, const std::string& startFolder)
{
    TheScript().requests.push_back(RecordedRequest{"folder", title, startFolder, "", 0});
    return NextRequesterAnswer();
}

intptr_t ProgramRun(const std::string& program, const std::string& parameters,
                    const std::string& workingFolder)
{
    TheScript().runs.push_back(RecordedRun{program, parameters, workingFolder});
    return TheScript().programRunResult;
}

intptr_t DesktopOpen(const std::string& fileOrAddress)
{
    TheScript().desktopOpens.push_back(fileOrAddress);
    return TheScript().desktopOpenResult;
}

std::string ClipboardGetText()
{
    return TheScript().clipboard;
}

void Pause(int milliseconds)
{
    TheScript().pauses.push_back(milliseconds);
    // A real pause lets the browser get on with its navigation.
    ScriptShowPending();
}
