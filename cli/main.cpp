// tavo: the command line of the goal-programming workbench.
#include "cli/app.h"

int main(int argc, char** argv) { return tavo::cli::Main(argc, argv); }
