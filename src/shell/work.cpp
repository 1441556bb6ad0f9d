#include "shell/work.h"

#include <chrono>
#include <string>

#include "runtime/window.h"
#include "runtime/handover.h"
#include "runtime/text.h"
#include "shell/viewcommands.h"
#include "state/texts.h"

namespace {

// How long a slice of work runs before the window has its turn: short
// enough for drawing and typing to feel immediate.
constexpr long long SliceMilliseconds = 40;
// Events taken in one turn, so that a stream of them (a window dragged
// about) cannot keep the work from going on.
constexpr int EventsPerTurn = 100;

long long Milliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Commands, the close box and hand-overs wait for the loop; Stop stops.
void TakeEvent(int code, int id)
{
    WorkState& work = State.work;
    if (code == EventMenu && id == MenuStop) {
        work.stopped = 1;
        return;
    }
    if (code == EventClose) work.stopped = 1;
    if (code == EventControl || code == EventMenu || code == EventClose || code == EventHandOver)
        work.held.push_back({code, id});
}

}  // namespace

void WorkBegin(const char* what)
{
    State.work.what = what;
    State.work.stopped = 0;
    State.work.lastTurn = 0;
    BusyCursorSet(1);
}

int WorkGoesOn(int done, int total)
{
    WorkState& work = State.work;
    const long long now = Milliseconds();
    // The window's first turn comes before the first page.
    if (done > 0 && now - work.lastTurn < SliceMilliseconds) return work.stopped ? 0 : 1;
    work.lastTurn = now;
    StatusBarSetText(
        0, 0, work.what + TextFromInteger(done) + WorkOfText + TextFromInteger(total) + WorkPagesText, 0);
    for (int taken = 0; taken < EventsPerTurn; ++taken) {
        const int code = EventPoll();
        if (code == 0) break;
        TakeEvent(code, code == EventMenu ? EventMenuId() : EventControlId());
    }
    return work.stopped ? 0 : 1;
}

int WorkEnd()
{
    BusyCursorSet(0);
    StatusBarSetText(0, 0, State.currentPage, 0);
    const int finished = State.work.stopped ? 0 : 1;
    State.work.stopped = 0;
    return finished;
}

HeldEvent NextEvent()
{
    std::deque<HeldEvent>& held = State.work.held;
    if (!held.empty()) {
        const HeldEvent event = held.front();
        held.pop_front();
        return event;
    }
    const int code = EventWait();
    return {code, code == EventMenu ? EventMenuId() : EventControlId()};
}
