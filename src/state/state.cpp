#include "state/state.h"

ProgramState State;

void ProgramStateClear()
{
    ListRelease(State.contextList);
    // The list's change count never goes back: what is built from the list
    // (the type-ahead index) tells by it that the list is another.
    const long long changes = State.contextList.changes;
    State = ProgramState{};
    State.contextList.changes = changes;
}
