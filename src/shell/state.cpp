#include "shell/state.h"

ProgramState State;

void ProgramStateClear()
{
    State = ProgramState{};
}
