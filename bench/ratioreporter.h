// Google Benchmark's console report, keeping each benchmark's times by its
// function's name so that a program can print them beside its baseline:
// the median of repeated runs, or the last run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            // Of repetitions, the median stands for the benchmark; the
            // mean, the deviation and the cv do not.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            realTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
            cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> realTimes;
    std::map<std::string, double> cpuTimes;
};
