#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarapane::program {

// Exit statuses of `tessarapane` and `tessarapane ctl`.
inline constexpr int kExitSuccess = 0;
// No running instance (or, for the tray program, it could not start).
inline constexpr int kExitNotRunning = 1;
inline constexpr int kExitBadArguments = 2;

// The requests `tessarapane ctl` sends to the running instance.
enum class CtlVerb { start, grid, exit, move, state };

struct CtlCommand {
  CtlVerb verb = CtlVerb::state;
  // The layout kind of start, the direction of move; empty otherwise.
  std::string argument;

  friend bool operator==(const CtlCommand&, const CtlCommand&) = default;
};

// What the command line asks for.
struct Invocation {
  enum class Mode { trayProgram, ctl, help, badArguments };

  Mode mode = Mode::trayProgram;
  std::optional<CtlCommand> command;  // with ctl
  std::string error;                  // with badArguments: what is wrong
};

// `args` without the program name: nothing runs the tray program, `ctl ...`
// a client command, -h/--help the usage.
Invocation parseInvocation(const std::vector<std::string>& args);

// The usage text, one line per form, ending in a newline.
std::string usageText();

}  // namespace tessarapane::program
