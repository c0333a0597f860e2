#include "program/ProgramArguments.h"

#include <cstddef>

#include "layout/LayoutKind.h"
#include "layout/PaneMoveDirection.h"
#include "text/Utf8Text.h"

namespace tessarapane::program {

namespace {

template <class Values>
std::string joined(const Values& values, std::string_view separator) {
  std::string text;
  for (const auto& value : values) {
    if (!text.empty()) text.append(separator);
    text.append(rawValue(value));
  }
  return text;
}

Invocation bad(std::string error) {
  Invocation invocation;
  invocation.mode = Invocation::Mode::badArguments;
  invocation.error = std::move(error);
  return invocation;
}

Invocation ctl(CtlVerb verb, std::string argument = {}) {
  Invocation invocation;
  invocation.mode = Invocation::Mode::ctl;
  invocation.command = CtlCommand{verb, std::move(argument)};
  return invocation;
}

// A verb with no argument must come alone.
Invocation bare(const std::vector<std::string>& args, CtlVerb verb) {
  if (args.size() > 2) return bad("ctl " + args[1] + " takes no argument, got \"" + args[2] + "\"");
  return ctl(verb);
}

}  // namespace

Invocation parseInvocation(const std::vector<std::string>& args) {
  if (args.empty()) return Invocation{};
  if (args[0] == "-h" || args[0] == "--help") {
    if (args.size() > 1) return bad("--help takes no argument");
    Invocation invocation;
    invocation.mode = Invocation::Mode::help;
    return invocation;
  }
  if (args[0] != "ctl") return bad("unknown argument \"" + args[0] + "\"");
  if (args.size() < 2) return bad("ctl needs a command");

  const std::string& verb = args[1];
  if (verb == "grid") return bare(args, CtlVerb::grid);
  if (verb == "exit") return bare(args, CtlVerb::exit);
  if (verb == "state") return bare(args, CtlVerb::state);
  if (verb == "start" || verb == "move") {
    const bool start = verb == "start";
    const std::string expected =
        start ? joined(kAllLayoutKinds, "|") : joined(kAllPaneMoveDirections, "|");
    if (args.size() < 3) return bad("ctl " + verb + " needs one of " + expected);
    if (args.size() > 3) return bad("ctl " + verb + " takes one argument, got " + std::to_string(args.size() - 2));
    const std::string& value = args[2];
    const bool known = start ? fromRawValue<LayoutKind>(value).has_value()
                             : fromRawValue<PaneMoveDirection>(value).has_value();
    if (!known) {
      return bad(std::string(start ? "unknown layout kind " : "unknown direction ") + Utf8Text::quoted(value, 200) +
                 " (expected " + expected + ")");
    }
    return ctl(start ? CtlVerb::start : CtlVerb::move, value);
  }
  return bad("unknown ctl command " + Utf8Text::quoted(verb, 200));
}

std::string usageText() {
  return "usage: tessarapane                      run the tray program on $DISPLAY\n"
         "       tessarapane ctl start <kind>     start a tab layout; kind: " +
         joined(kAllLayoutKinds, "|") +
         "\n"
         "       tessarapane ctl grid             start the grid layout\n"
         "       tessarapane ctl exit             leave the running layout\n"
         "       tessarapane ctl move <direction> move the focused tab; direction: " +
         joined(kAllPaneMoveDirections, "|") +
         "\n"
         "       tessarapane ctl state            print the running layout as JSON\n";
}

}  // namespace tessarapane::program
