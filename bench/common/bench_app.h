// The application object every benchmark program runs with (bench_main.cpp creates it).
#pragma once

class QGuiApplication;

namespace benchapp {

// The program's application, alive for the whole run like the program's own.
QGuiApplication& App();

}  // namespace benchapp
