#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/ProgramArguments.h"

namespace tessarapane::program {
namespace {

using Mode = Invocation::Mode;

Invocation parse(std::vector<std::string> args) { return parseInvocation(args); }

TEST(ProgramArguments, NothingRunsTheTrayProgramAndHelpShowsUsage) {
  EXPECT_EQ(parse({}).mode, Mode::trayProgram);
  EXPECT_EQ(parse({"--help"}).mode, Mode::help);
  EXPECT_EQ(parse({"-h"}).mode, Mode::help);
  EXPECT_EQ(parse({"--help", "x"}).mode, Mode::badArguments);
  EXPECT_EQ(parse({"--verbose"}).mode, Mode::badArguments);
  EXPECT_EQ(parse({"start", "split2"}).mode, Mode::badArguments) << "commands need ctl in front";
}

TEST(ProgramArguments, CtlCommandsParseWithTheirArguments) {
  const std::vector<std::string> kinds = {"fullScreen", "split2",     "split3", "topBottom",
                                          "focusStack", "stackFocus", "split4"};
  for (const std::string& kind : kinds) {
    const Invocation invocation = parse({"ctl", "start", kind});
    ASSERT_EQ(invocation.mode, Mode::ctl) << kind;
    EXPECT_EQ(*invocation.command, (CtlCommand{CtlVerb::start, kind}));
  }
  for (const std::string direction : {"left", "right", "up", "down"}) {
    const Invocation invocation = parse({"ctl", "move", direction});
    ASSERT_EQ(invocation.mode, Mode::ctl) << direction;
    EXPECT_EQ(*invocation.command, (CtlCommand{CtlVerb::move, direction}));
  }
  EXPECT_EQ(*parse({"ctl", "grid"}).command, (CtlCommand{CtlVerb::grid, ""}));
  EXPECT_EQ(*parse({"ctl", "exit"}).command, (CtlCommand{CtlVerb::exit, ""}));
  EXPECT_EQ(*parse({"ctl", "state"}).command, (CtlCommand{CtlVerb::state, ""}));
}

TEST(ProgramArguments, BadCtlArgumentsAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {{"ctl"}, "needs a command"},
      {{"ctl", "launch"}, "\"launch\""},
      {{"ctl", "start"}, "split4"},                 // says what is expected
      {{"ctl", "start", "Split2"}, "\"Split2\""},   // raw values are case-sensitive
      {{"ctl", "start", "grid"}, "unknown layout kind"},
      {{"ctl", "start", "split2", "split3"}, "one argument"},
      {{"ctl", "move"}, "left|right|up|down"},
      {{"ctl", "move", "forward"}, "unknown direction"},
      {{"ctl", "grid", "now"}, "takes no argument"},
      {{"ctl", "exit", "all"}, "takes no argument"},
      {{"ctl", "state", "--json"}, "takes no argument"},
  };
  for (const Case& c : cases) {
    const Invocation invocation = parse(c.args);
    EXPECT_EQ(invocation.mode, Mode::badArguments) << c.args.back();
    EXPECT_FALSE(invocation.command.has_value()) << c.args.back();
    EXPECT_NE(invocation.error.find(c.mentions), std::string::npos) << invocation.error;
  }
}

TEST(ProgramArguments, UsageNamesEveryCommandKindAndDirection) {
  const std::string usage = usageText();
  for (const char* word : {"ctl start", "ctl grid", "ctl exit", "ctl move", "ctl state",
                           "fullScreen|split2|split3|topBottom|focusStack|stackFocus|split4", "left|right|up|down"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace tessarapane::program
