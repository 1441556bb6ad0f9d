#include "runtime/scripted/script.h"
#include "runtime/window.h"
#include "support/reset.h"

void ResetRealization()
{
    ScriptReset();
    RuntimeStart();
}
