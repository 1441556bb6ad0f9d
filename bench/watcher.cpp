// What the page watcher costs per event while the browser stays on one page:
// the loop runs it after every message, many times a second.
#include <benchmark/benchmark.h>

#include "runtime/browser.h"
#include "runtime/scripted/script.h"
#include "runtime/window.h"
#include "shell/mainwindow.h"
#include "state/state.h"
#include "shell/watcher.h"

namespace {

void WatcherUnchangedAddress(benchmark::State& state)
{
    ScriptReset();
    ProgramStateClear();
    BrowserCreate(BrowserControl, 0, 31, 500, 230,
                  "C:\\Program Files\\Dark Basic Software\\Dark Basic\\help\\commands\\print.htm");
    State.lastAddress = ControlGetText(BrowserControl);
    for (auto _ : state) PageWatcher();
    // Any work beyond the comparison would show up here.
    if (!TheScript().navigations.empty() || !TheScript().statusHistory.empty())
        state.SkipWithError("the watcher acted on an unchanged address");
}
BENCHMARK(WatcherUnchangedAddress);

}  // namespace

BENCHMARK_MAIN();
