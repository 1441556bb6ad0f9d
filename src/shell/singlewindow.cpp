#include "shell/singlewindow.h"

#include <string>

#include "helpindex/search.h"
#include "runtime/handover.h"
#include "runtime/window.h"
#include "shell/mainwindow.h"
#include "state/handover.h"
#include "state/state.h"

int HandOverToRunningWindow()
{
    if (!State.view.singleWindow) return 0;
    return HandOverSend(HandOverNameOfThisRun(), InitialSearchText());
}

void ListenForHandOvers()
{
    if (State.view.singleWindow) HandOverListen(HandOverNameOfThisRun());
}

void TakeHandOver()
{
    const std::string text = HandOverText(HandOverReceived());
    WindowBringToFront();
    // A start without a word only asks for the window; the field keeps its.
    if (text.empty()) return;
    ControlSetText(SearchField, text);
    SearchKeyword(0);
}
