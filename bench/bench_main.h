// The main of the benchmark programs. The machine is shared with builds
// and other programs, so one run of a benchmark says little: every
// benchmark runs several times, the runs of all benchmarks of the program
// in random turn, and the report gives mean, median and spread of the
// runs. Flags on the command line come later and win.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace ZavorBench {

inline int RunRepeatedAndInterleaved(int argc, char **argv, int repetitions) {
    std::string repeat = "--benchmark_repetitions=" + std::to_string(repetitions);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::vector<char *> args(argv, argv + argc);
    args.insert(args.begin() + (argc > 0 ? 1 : 0), {repeat.data(), interleave.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace ZavorBench
