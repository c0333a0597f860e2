#pragma once

#include "program/ProgramArguments.h"

namespace tessarapane::program {

// Sends one command to the running instance over the session bus and waits
// for its answer; prints the state JSON on stdout and any failure on
// stderr. Returns the exit status: 0 done, 1 no instance (or it failed), 2 a
// refused argument. Uses libdbus alone, so a call loads no toolkit.
int runCtl(const CtlCommand& command);

}  // namespace tessarapane::program
