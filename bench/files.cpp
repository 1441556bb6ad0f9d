// Copies a 50 MB text file line by line through the file numbers and, in the
// same run, block by block with plain system calls, and prints how the two
// speeds compare. Help pages are rewritten line by line, so that path must
// stay within a small factor of a raw copy.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/hostpath.h"
#include "support/testfolder.h"

namespace {

constexpr size_t kFileSize = 50u << 20;
std::string folder;  // host folder of drive B:

// Lines of HTML-like lengths, CR LF ended, with a few bare LF ends mixed in.
void MakeSource()
{
    std::mt19937 random(1);
    std::string bytes;
    bytes.reserve(kFileSize + 256);
    while (bytes.size() < kFileSize) {
        size_t length = random() % 120;
        for (size_t i = 0; i < length; ++i) bytes += static_cast<char>(' ' + random() % 95);
        bytes += random() % 16 ? "\r\n" : "\n";
    }
    FILE* out = std::fopen((folder + "/source.txt").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

void LineCopy(benchmark::State& state)
{
    for (auto _ : state) {
        if (!FileOpenRead(1, "B:\\source.txt") || !FileCreate(2, "B:\\lines.txt")) {
            state.SkipWithError("cannot open the files");
            break;
        }
        while (!FileAtEnd(1)) {
            FileSelect(1);
            std::string line = FileReadLine();
            FileSelect(2);
            FileWriteLine(line);
        }
        FileClose(1);
        FileClose(2);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

void PlainCopy(benchmark::State& state)
{
    std::vector<char> block(64 * 1024);
    for (auto _ : state) {
        int in = open((folder + "/source.txt").c_str(), O_RDONLY);
        int out = open((folder + "/plain.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ssize_t got;
        while ((got = read(in, block.data(), block.size())) > 0)
            if (write(out, block.data(), static_cast<size_t>(got)) != got) break;
        close(in);
        close(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

// Keeps each benchmark's throughput for the closing comparison.
class Reporter : public benchmark::ConsoleReporter {
public:
    Reporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            auto found = run.counters.find("bytes_per_second");
            if (found != run.counters.end()) speeds[run.run_name.function_name] = found->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> speeds;
};

}  // namespace

BENCHMARK(LineCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    TestFolder scratch('B');
    folder = scratch.root;
    MakeSource();

    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double lines = reporter.speeds["LineCopy"];
    double plain = reporter.speeds["PlainCopy"];
    if (lines > 0 && plain > 0)
        std::printf("line copy %.0f MB/s, plain copy %.0f MB/s, ratio %.2f (at least 0.20 wanted)\n",
                    lines / 1e6, plain / 1e6, lines / plain);
    benchmark::Shutdown();
    return 0;
}
