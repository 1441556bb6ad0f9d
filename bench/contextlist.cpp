// Building the context list from a large index page, beside a plain line scan
// of the same file, and a lookup that misses. Prints figures, asserts nothing.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "helpindex/contextlist.h"
#include "helpindex/search.h"
#include "runtime/files.h"
#include "runtime/hostpath.h"
#include "ratioreporter.h"
#include "state/state.h"
#include "support/testfolder.h"

namespace {

constexpr int LinkLines = 100000;
std::string hostFolder;  // host folder of drive B:

void WriteIndexPage()
{
    std::ofstream out(hostFolder + "/index.htm", std::ios::binary);
    out << "<html><head><title>Dark Basic Index</title></head><body>\r\n";
    char line[128];
    for (int i = 0; i < LinkLines; ++i) {
        if (i % 4000 == 0) out << static_cast<char>('A' + i / 4000) << "<BR>\r\n";
        std::snprintf(line, sizeof line, "<a href=\"commands/cmd%06d.htm\">Cmd%06d</a><BR>\r\n", i, i);
        out << line;
    }
    out << "</body></html>\r\n";
}

void PlainLineScan(benchmark::State& state)
{
    for (auto _ : state) {
        std::ifstream in(hostFolder + "/index.htm", std::ios::binary);
        std::string line;
        int links = 0;
        while (std::getline(in, line))
            if (line.compare(0, 8, "<a href=") == 0) links += 1;
        benchmark::DoNotOptimize(links);
    }
}

// The same count through the runtime's own line reads: the floor under the
// list build, which reads the file the same way.
void RuntimeLineScan(benchmark::State& state)
{
    for (auto _ : state) {
        int links = 0;
        if (FileOpenRead(1, "B:\\index.htm")) {
            do {
                if (IsLinkLine(FileReadLine())) links += 1;
            } while (!FileAtEnd(1));
            FileClose(1);
        }
        benchmark::DoNotOptimize(links);
    }
}

void BuildList(benchmark::State& state)
{
    State.helpFolder = "B:\\";
    for (auto _ : state) {
        BuildContextList();
        state.PauseTiming();
        state.counters["entries"] = State.contextList.count;
        ListRelease(State.contextList);
        state.ResumeTiming();
    }
}

// A word as long as every keyword, so each one is compared in full.
void FindMissingWord(benchmark::State& state)
{
    State.helpFolder = "B:\\";
    BuildContextList();
    for (auto _ : state) benchmark::DoNotOptimize(FindContext("cmd12345x"));
    ListRelease(State.contextList);
}

BENCHMARK(PlainLineScan)->Unit(benchmark::kMillisecond);
BENCHMARK(RuntimeLineScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildList)->Unit(benchmark::kMillisecond);
BENCHMARK(FindMissingWord)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    TestFolder scratch('B');
    hostFolder = scratch.root;
    WriteIndexPage();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* baseline : {"PlainLineScan", "RuntimeLineScan"}) {
        double scanReal = reporter.realTimes[baseline];
        double scanCpu = reporter.cpuTimes[baseline];
        if (scanReal > 0 && scanCpu > 0)
            std::printf("BuildContextList / %s of %d link lines: %.2fx real, %.2fx CPU\n", baseline,
                        LinkLines, reporter.realTimes["BuildList"] / scanReal,
                        reporter.cpuTimes["BuildList"] / scanCpu);
    }
    benchmark::Shutdown();
    return 0;
}
