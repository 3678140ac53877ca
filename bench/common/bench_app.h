// The application object every benchmark program runs with (bench_main.cpp creates it).
#pragma once

#include <benchmark/benchmark.h>

class QGuiApplication;

namespace benchapp {

// The program's application, alive for the whole run like the program's own.
QGuiApplication& App();

// Seconds of wall-clock time and of CPU time (this thread's, or a process's).
struct Seconds {
  double wall = 0;
  double cpu = 0;
};
// The wall clock and this thread's CPU clock now.
Seconds Now();

// The counters of a document benchmark: its pages, and the cost per page between `start` and
// `end` over the state's iterations: ms_per_page in this thread's CPU time (what the load of a
// shared machine distorts least), ms_per_page_wall in wall-clock time.
void PageCounters(benchmark::State& state, int pages, const Seconds& start, const Seconds& end);

}  // namespace benchapp
