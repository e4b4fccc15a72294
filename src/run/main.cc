#include "run/cli.h"

int main(int argc, char** argv) { return scenario::RunCommandLine(argc, argv); }
