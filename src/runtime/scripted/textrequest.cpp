#include "runtime/requesters.h"
#include "runtime/scripted/script.h"

std::string TextRequest(const std::string& title, const std::string& prompt, const std::string& text)
{
    Script& script = TheScript();
    script.requests.push_back(RecordedRequest{"text", title, text, prompt, 0});
    if (script.requesterAnswers.empty()) return "";
    std::string answer = script.requesterAnswers.front();
    script.requesterAnswers.pop_front();
    return answer;
}
