// The application object every benchmark program runs with (bench_main.cpp creates it).
#pragma once

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

}  // namespace benchapp
