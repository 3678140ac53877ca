// vexon: the Kestrin program.
#include "app/program/Module1.h"

int main(int argc, char** argv) { return Module1::Main(argc, argv); }
