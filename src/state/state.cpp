#include "state/state.h"

ProgramState State;

void ProgramStateClear()
{
    ListRelease(State.contextList);
    State = ProgramState{};
}
