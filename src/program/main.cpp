// tessarapane: the tray program, or with `ctl ...` a client of the running
// instance.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "program/CtlClient.h"
#include "program/ProgramArguments.h"
#include "program/TrayProgram.h"

int main(int argc, char** argv) {
  using namespace tessarapane::program;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const Invocation invocation = parseInvocation(args);
  switch (invocation.mode) {
    case Invocation::Mode::trayProgram:
      return runTrayProgram(argc, argv);
    case Invocation::Mode::help:
      std::fputs(usageText().c_str(), stdout);
      return kExitSuccess;
    case Invocation::Mode::badArguments:
      std::fprintf(stderr, "tessarapane: %s\n%s", invocation.error.c_str(), usageText().c_str());
      return kExitBadArguments;
    case Invocation::Mode::ctl: {
      QCoreApplication application(argc, argv);
      return runCtl(*invocation.command);
    }
  }
  return kExitBadArguments;
}
