// tessarapane-tray: the tray program, started by `tessarapane` (which keeps
// the toolkit out of `tessarapane ctl`).
#include "program/TrayProgram.h"

int main(int argc, char** argv) { return tessarapane::program::runTrayProgram(argc, argv); }
