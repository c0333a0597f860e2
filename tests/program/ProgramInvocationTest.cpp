// The command line: what each invocation runs or why it is refused, the usage text, and the journal lines.
#include <gtest/gtest.h>

#include <sstream>

#include "program/ProgramArguments.h"
#include "program/ProgramLog.h"

namespace tessarapane::program {
namespace {

// Each command line (its words split at spaces): what it runs, or the whole reason it is refused.
TEST(ProgramInvocation, EachCommandLineRunsACommandOrIsRefusedWithAReason) {
  std::vector<std::string> lines = {"", "--help", "-h", "--help x", "--verbose", "start split2", "ctl", "ctl launch", "ctl start",
                                    "ctl start Split2", "ctl start grid", "ctl start split2 split3", "ctl move",
                                    "ctl move forward", "ctl grid now", "ctl state --json"};
  // Each of these runs as it reads.
  std::vector<std::string> valid = {"ctl grid", "ctl exit", "ctl state"};
  for (const char* kind : {"fullScreen", "split2", "split3", "topBottom", "focusStack", "stackFocus", "split4"}) {
    valid.push_back(std::string("ctl start ") + kind);
  }
  for (const char* direction : {"left", "right", "up", "down"}) valid.push_back(std::string("ctl move ") + direction);
  lines.insert(lines.end(), valid.begin(), valid.end());
  std::vector<std::string> outcomes;
  for (const std::string& line : lines) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word);
    const Invocation invocation = parseInvocation(args);
    static const char* const kModes[] = {"tray", "ctl", "help", "refused"};
    static const char* const kVerbs[] = {"start", "grid", "exit", "move", "state"};
    std::string outcome = line + " -> " + kModes[static_cast<int>(invocation.mode)];
    if (invocation.command) outcome += std::string(" ") + kVerbs[static_cast<int>(invocation.command->verb)];
    if (invocation.command && !invocation.command->argument.empty()) outcome += " " + invocation.command->argument;
    outcomes.push_back(outcome + (invocation.error.empty() ? "" : ": " + invocation.error));
  }
  const std::string kinds = "fullScreen|split2|split3|topBottom|focusStack|stackFocus|split4", directions = "left|right|up|down";
  std::vector<std::string> expected = {
      " -> tray", "--help -> help", "-h -> help", "--help x -> refused: --help takes no argument",
      "--verbose -> refused: unknown argument \"--verbose\"", "start split2 -> refused: unknown argument \"start\"",
      "ctl -> refused: ctl needs a command", "ctl launch -> refused: unknown ctl command \"launch\"",
      "ctl start -> refused: ctl start needs one of " + kinds,
      "ctl start Split2 -> refused: unknown layout kind \"Split2\" (expected " + kinds + ")",
      "ctl start grid -> refused: unknown layout kind \"grid\" (expected " + kinds + ")",
      "ctl start split2 split3 -> refused: ctl start takes one argument, got 2",
      "ctl move -> refused: ctl move needs one of " + directions,
      "ctl move forward -> refused: unknown direction \"forward\" (expected " + directions + ")",
      "ctl grid now -> refused: ctl grid takes no argument, got \"now\"",
      "ctl state --json -> refused: ctl state takes no argument, got \"--json\""};
  for (const std::string& line : valid) expected.push_back(line + " -> " + line);
  EXPECT_EQ(outcomes, expected);
  for (const char* word : {"ctl start", "ctl grid", "ctl exit", "ctl move", "ctl state", kinds.c_str(), directions.c_str()}) {
    EXPECT_NE(usageText().find(word), std::string::npos) << word;
  }
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
