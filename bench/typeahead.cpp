// Type-ahead on a context list of 100,000 keywords: one keystroke after
// another while "cmd04567" is typed, through the index and through a plain
// walk of the list (the baseline), and the index's rebuild after the list
// changed. Prints figures, asserts nothing.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "keywordlist.h"
#include "helpindex/contextlist.h"
#include "helpindex/typeahead.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

// The baseline: every keyword upper-cased and compared, in list order,
// until a screenful is found.
std::vector<std::string> PlainWalk(const std::string& typed, int most)
{
    std::vector<std::string> found;
    const std::string start = TextToUpper(typed);
    for (auto* element = State.contextList.first; element && static_cast<int>(found.size()) < most;
         element = element->next) {
        const std::string upper = TextToUpper(element->record.keyword);
        if (upper.compare(0, start.size(), start) == 0) found.push_back(element->record.keyword);
    }
    return found;
}

void Keystroke(benchmark::State& state)
{
    const std::string typed = BenchTyped.substr(0, static_cast<size_t>(state.range(0)));
    TypeAheadKeywords("x", 1);  // the index is built before the keystrokes
    for (auto _ : state) benchmark::DoNotOptimize(TypeAheadKeywords(typed, TypeAheadScreenful));
    state.SetLabel(typed);
}

void KeystrokePlainWalk(benchmark::State& state)
{
    const std::string typed = BenchTyped.substr(0, static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(PlainWalk(typed, TypeAheadScreenful));
    state.SetLabel(typed);
}

// The first keystroke after Add Include or a new letter anchor: the index
// is built anew.
void FirstKeystrokeAfterAChange(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        InsertContextSorted("CMD", "B:\\index.htm#CMD", KeywordCompare::UpperCased, SameKeyword::AddEntry);
        state.ResumeTiming();
        benchmark::DoNotOptimize(TypeAheadKeywords("cmd0", TypeAheadScreenful));
    }
}

BENCHMARK(Keystroke)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK(KeystrokePlainWalk)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstKeystrokeAfterAChange)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    FillBenchKeywordList();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ListRelease(State.contextList);
    return 0;
}
