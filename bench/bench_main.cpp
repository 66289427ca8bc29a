// The benchmarks' entry point: the log is discarded, so that its lines
// neither flood the report nor take part in what is measured.

#include <benchmark/benchmark.h>

#include "core/log.h"

int main(int argc, char** argv)
{
    SetLogSink(nullptr);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
