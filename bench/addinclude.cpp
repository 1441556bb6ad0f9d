// An Add Include run of an include with 300 functions into the example help
// folder whose index page has grown to 20,000 lines, beside the same run
// with its flushes taken as done (what the rewrites cost without waiting
// for the disk) and a plain copy of the bytes the run rewrites. Prints
// figures, asserts nothing.
//
// The scripted realization records the 20 ms pauses instead of sleeping, so
// the wall time here is the work alone; "pause_ms" is what the pauses add to
// a real run (the console and window realizations sleep). "flushes" counts
// the flushes to the disk per function; "flush_ms" is what one costs here,
// from the difference between the two runs.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "helpindex/contextlist.h"
#include "includes/include.h"
#include "runtime/files.h"
#include "runtime/hostpath.h"
#include "runtime/scripted/script.h"
#include "state/state.h"
#include "support/faults.h"
#include "support/testfolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int Functions = 300;
constexpr int IndexLines = 20000;

std::string root;  // host folder mapped to drive B:

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The example's index page with sorted filler commands added until it has
// IndexLines lines, under letter headings like the real one.
std::string GrownIndex(const std::string& original)
{
    std::vector<std::string> head, links, tail;
    std::istringstream in(original);
    std::string line;
    bool inLinks = false, afterLinks = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        bool isLink = line.rfind("<a href=", 0) == 0;
        bool isHeading = line.size() == 5 && line.compare(1, 4, "<BR>") == 0;
        if (isLink) {
            inLinks = true;
            links.push_back(line);
        } else if (isHeading && !afterLinks) {
            inLinks = true;
        } else if (inLinks || afterLinks) {
            afterLinks = true;
            tail.push_back(line);
        } else {
            head.push_back(line);
        }
    }
    char buffer[160];
    for (int i = 0; static_cast<int>(head.size() + links.size() + tail.size()) + 26 < IndexLines; ++i) {
        char letter = static_cast<char>('A' + i % 26);
        std::snprintf(buffer, sizeof buffer, "<a href=\"commands\\%c%05d.htm\">%c%05d COMMAND</a><BR>",
                      letter + 32, i, letter, i);
        links.push_back(buffer);
    }
    auto text = [](const std::string& link) { return link.substr(link.find("\">") + 2); };
    std::sort(links.begin(), links.end(), [&](const auto& a, const auto& b) { return text(a) < text(b); });
    std::string out;
    for (const auto& l : head) out += l + "\r\n";
    char letter = 0;
    for (const auto& link : links) {
        char first = text(link)[0];
        if (first != letter) out += std::string(1, letter = first) + "<BR>\r\n";
        out += link + "\r\n";
    }
    for (const auto& l : tail) out += l + "\r\n";
    return out;
}

std::string GeneratedInclude()
{
    std::string source = "` Generated routines for the benchmark\r\nglobal Counter as integer\r\n\r\n";
    char buffer[200];
    for (int i = 0; i < Functions; ++i) {
        std::snprintf(buffer, sizeof buffer,
                      "function Gen%03d(a, b)\r\n` Adds a and b, then counts call %d.\r\n"
                      "` Returns the sum.\r\n   Counter = Counter + 1\r\nendfunction a + b\r\n\r\n",
                      i, i);
        source += buffer;
    }
    return source;
}

void SetUpFolders()
{
    // Removed when the program ends.
    static TestFolder scratch('B');
    if (!root.empty()) return;
    root = scratch.root;
    // The source tree, wherever the build folder is and however the
    // compiler was handed the file's name (a compiler cache makes it relative).
    const fs::path source = KELPRA_SOURCE_DIR;
    fs::copy(source / "examples" / "help", root + "/pristine", fs::copy_options::recursive);
    WriteBytes(root + "/pristine/index.htm", GrownIndex(ReadBytes(root + "/pristine/index.htm")));
    fs::create_directories(root + "/prog");
    for (const char* name : {"Includes.htm", "Include2.htm"})
        fs::copy_file(source / "data" / name, root + "/prog/" + name);
    WriteBytes(root + "/src/generated.dba", GeneratedInclude());
    WriteBytes(root + "/keywords.pristine", ReadBytes(source / "examples" / "keywords.txt"));
}

void FreshHelpFolder()
{
    fs::remove_all(root + "/help");
    fs::copy(root + "/pristine", root + "/help", fs::copy_options::recursive);
    fs::copy_file(root + "/keywords.pristine", root + "/keywords.txt", fs::copy_options::overwrite_existing);
    ProgramStateClear();
    ScriptReset();
    State.programFolder = "B:\\prog\\";
    State.dataFolder = State.programFolder;
    State.helpFolder = "B:\\help\\";
    State.keywordsFile = "B:\\keywords.txt";
    BuildContextList();
}

// What one run writes, from the files it leaves: each function's step
// rewrites the index page and the keywords file as they stood then, and
// writes its own page. (Their backups are second names of the old
// versions, where the file system allows, and copy nothing.)
long long BytesRewritten()
{
    const long long index = static_cast<long long>(fs::file_size(root + "/help/index.htm"));
    const long long keywords = static_cast<long long>(fs::file_size(root + "/keywords.txt"));
    long long total = 0;
    char buffer[160];
    long long indexAt = index, keywordsAt = keywords;
    for (int i = Functions - 1; i >= 0; --i) {
        std::snprintf(buffer, sizeof buffer, "<a href=\"Includes\\Gen%03d.htm\">GEN%03d</a><BR>\r\n", i, i);
        const long long line = static_cast<long long>(std::string(buffer).size());
        const long long keyword = 8;  // "GEN000" and CR LF
        total += indexAt + keywordsAt;
        indexAt -= line;
        keywordsAt -= keyword;
    }
    for (const auto& entry : fs::directory_iterator(root + "/help/Includes"))
        total += static_cast<long long>(entry.file_size());
    return total;
}

double workWithFlushesMs = 0;
double workWithoutFlushesMs = 0;

// One run per iteration; `flushing` says whether the flushes wait for the
// disk.
void RunAddInclude(benchmark::State& state, bool flushing)
{
    SetUpFolders();
    long long bytes = 0;
    int pauseMs = 0;
    std::vector<double> works;
    long flushes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshHelpFolder();
        if (flushing) FaultsOff();
        else FaultsQuiet();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        AddInclude("B:\\src\\generated.dba");
        works.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        flushes = FaultsCounted(FileOperation::Flush);
        const auto& pauses = TheScript().pauses;
        pauseMs = std::accumulate(pauses.begin(), pauses.end(), 0);
        bytes = BytesRewritten();
        state.ResumeTiming();
    }
    FaultsOff();
    // The median run, as a run disturbed by other work on the machine would
    // move a mean.
    std::sort(works.begin(), works.end());
    const double workMs = works.empty() ? 0 : works[works.size() / 2];
    (flushing ? workWithFlushesMs : workWithoutFlushesMs) = workMs;
    // A real run sleeps through the pauses on top of the work.
    state.counters["work_ms"] = workMs;
    state.counters["pause_ms"] = pauseMs;
    state.counters["flushes"] = static_cast<double>(flushes) / Functions;
    if (flushing && workWithoutFlushesMs > 0 && flushes > 0)
        state.counters["flush_ms"] = (workMs - workWithoutFlushesMs) / static_cast<double>(flushes);
    state.counters["rewritten_bytes"] = static_cast<double>(bytes);
    state.counters["rewritten_per_s"] =
        benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_AddIncludeWithoutWaitingForTheDisk(benchmark::State& state)
{
    RunAddInclude(state, false);
}
BENCHMARK(BM_AddIncludeWithoutWaitingForTheDisk)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_AddInclude(benchmark::State& state)
{
    RunAddInclude(state, true);
}
BENCHMARK(BM_AddInclude)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same number of bytes, copied as whole files: the floor for a rewrite.
void BM_PlainCopyOfTheSameBytes(benchmark::State& state)
{
    SetUpFolders();
    FreshHelpFolder();
    AddInclude("B:\\src\\generated.dba");
    const long long bytes = BytesRewritten();
    const fs::path from = root + "/help/index.htm";
    const long long size = static_cast<long long>(fs::file_size(from));
    for (auto _ : state) {
        for (long long copied = 0; copied < bytes; copied += size)
            fs::copy_file(from, root + "/copy.htm", fs::copy_options::overwrite_existing);
    }
    state.counters["copied_per_s"] =
        benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlainCopyOfTheSameBytes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
