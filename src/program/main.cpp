// tessarapane: the command line. With `ctl ...` a client of the running
// instance over libdbus; with no arguments it becomes the tray program. This
// executable links no toolkit, so a `ctl` call (often bound to a key) loads
// only what it needs.
#include <cstdio>
#include <string>
#include <vector>

#include "program/CtlClient.h"
#include "program/ProgramArguments.h"
#include "program/TrayLauncher.h"

int main(int argc, char** argv) {
  using namespace tessarapane::program;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const Invocation invocation = parseInvocation(args);
  switch (invocation.mode) {
    case Invocation::Mode::trayProgram:
      return execTrayProgram(argv);
    case Invocation::Mode::help:
      std::fputs(usageText().c_str(), stdout);
      return kExitSuccess;
    case Invocation::Mode::badArguments:
      std::fprintf(stderr, "tessarapane: %s\n%s", invocation.error.c_str(), usageText().c_str());
      return kExitBadArguments;
    case Invocation::Mode::ctl:
      return runCtl(*invocation.command);
  }
  return kExitBadArguments;
}
