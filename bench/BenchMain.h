#pragma once

#include <QString>

#include <optional>

// Every benchmark program starts in the shared main of BenchMain.cpp: it allocates
// through jemalloc with the program's settings, makes the Qt application the benchmark
// needs (none, QGuiApplication or QApplication, on the offscreen platform) and then
// hands over to the benchmark's runBenchmark.
//
// A benchmark measured by Google Benchmark registers its cases and runs them with
// runRegisteredBenchmarks; the others time their steps and print the figures.
int runBenchmark(int argc, char** argv);

// Google Benchmark's command line, then every registered case selected by it: the exit
// status of the program.
int runRegisteredBenchmarks(int argc, char** argv);

// The most memory the program has held so far, in mebibytes.
double peakRssMB();

// A Python yardstick run on a file: the seconds its "seconds N" line gives, its other
// lines printed indented; nothing when it cannot run.
std::optional<double> pythonSeconds(const QString& script, const QString& file);
