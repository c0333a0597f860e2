// The command line: what each invocation runs or why it is refused, the usage text, and the journal lines.
#include <gtest/gtest.h>

#include "program/ProgramArguments.h"
#include "program/ProgramLog.h"

namespace tessarapane::program {
namespace {

using Mode = Invocation::Mode;

TEST(ProgramInvocation, EachCommandLineRunsACommandOrIsRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    Mode mode;
    std::optional<CtlCommand> command;
    std::string mentions;
  };
  std::vector<Case> cases = {
      {{}, Mode::trayProgram, {}, ""}, {{"--help"}, Mode::help, {}, ""}, {{"-h"}, Mode::help, {}, ""},
      {{"--help", "x"}, Mode::badArguments, {}, ""}, {{"--verbose"}, Mode::badArguments, {}, ""},
      {{"start", "split2"}, Mode::badArguments, {}, ""},  // commands need ctl in front
      {{"ctl", "grid"}, Mode::ctl, CtlCommand{CtlVerb::grid, ""}, ""}, {{"ctl", "exit"}, Mode::ctl, CtlCommand{CtlVerb::exit, ""}, ""},
      {{"ctl", "state"}, Mode::ctl, CtlCommand{CtlVerb::state, ""}, ""}, {{"ctl"}, Mode::badArguments, {}, "needs a command"},
      {{"ctl", "launch"}, Mode::badArguments, {}, "\"launch\""}, {{"ctl", "start"}, Mode::badArguments, {}, "split4"},
      {{"ctl", "start", "Split2"}, Mode::badArguments, {}, "\"Split2\""},
      {{"ctl", "start", "grid"}, Mode::badArguments, {}, "unknown layout kind"},
      {{"ctl", "start", "split2", "split3"}, Mode::badArguments, {}, "one argument"},
      {{"ctl", "move"}, Mode::badArguments, {}, "left|right|up|down"},
      {{"ctl", "move", "forward"}, Mode::badArguments, {}, "unknown direction"},
      {{"ctl", "grid", "now"}, Mode::badArguments, {}, "takes no argument"},
      {{"ctl", "state", "--json"}, Mode::badArguments, {}, "takes no argument"}};
  for (const char* kind : {"fullScreen", "split2", "split3", "topBottom", "focusStack", "stackFocus", "split4"}) {
    cases.push_back({{"ctl", "start", kind}, Mode::ctl, CtlCommand{CtlVerb::start, kind}, ""});
  }
  for (const char* direction : {"left", "right", "up", "down"}) {
    cases.push_back({{"ctl", "move", direction}, Mode::ctl, CtlCommand{CtlVerb::move, direction}, ""});
  }
  for (const Case& c : cases) {
    const Invocation invocation = parseInvocation(c.args);
    const std::string line = ::testing::PrintToString(c.args);
    EXPECT_EQ(std::pair(invocation.mode, invocation.command), std::pair(c.mode, c.command)) << line;
    EXPECT_NE(invocation.error.find(c.mentions), std::string::npos) << line << ": " << invocation.error;
    EXPECT_EQ(invocation.error.empty(), c.mode != Mode::badArguments) << line;
  }
  const std::string usage = usageText();
  for (const char* word : {"ctl start", "ctl grid", "ctl exit", "ctl move", "ctl state", "fullScreen|split2|split3|topBottom|"
                           "focusStack|stackFocus|split4", "left|right|up|down"}) EXPECT_NE(usage.find(word), std::string::npos) << word;
}

TEST(ProgramInvocation, JournalEntriesCarryTheLineSubsystemAndCategory) {
  EXPECT_EQ(journalEntry("org.tessarapane.Tessarapane", "Pause", "pause begin screenLocked"),
            "MESSAGE=org.tessarapane.Tessarapane [Pause] pause begin screenLocked\nPRIORITY=5\n"
            "SYSLOG_IDENTIFIER=tessarapane\nTESSARAPANE_SUBSYSTEM=org.tessarapane.Tessarapane\n"
            "TESSARAPANE_CATEGORY=Pause\n");
  // A line break cannot end a plain field: such a value goes with its length as 64-bit little endian.
  const std::string message = "s [c] a\nb";
  const std::string expected = "MESSAGE\n" + std::string(1, static_cast<char>(message.size())) + std::string(7, '\0') +
                               message + "\nPRIORITY=5\n";
  EXPECT_EQ(journalEntry("s", "c", "a\nb").substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace tessarapane::program
