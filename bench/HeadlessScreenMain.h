// The main() of benchmarks that draw: a headless 240x320 screen in a device
// folder of their own unless CORVANE_DEVICE names one.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("CORVANE_SCREEN", "240x320", 1);
    ::setenv("CORVANE_DISPLAY", "headless", 1);
    if (std::getenv("CORVANE_DEVICE") == nullptr)
        ::setenv("CORVANE_DEVICE", "/tmp/corvane-bench-device", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
