#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// The main of a benchmark that draws widgets: on the offscreen platform unless told another.
inline int runOffscreenBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
