#include <gtest/gtest.h>

#include <string>

#include "program/ProgramLog.h"

namespace tessarapane::program {
namespace {

TEST(ProgramLog, JournalEntriesCarryTheLineSubsystemAndCategory) {
  const std::string entry = journalEntry("org.tessarapane.Tessarapane", "Pause", "pause begin screenLocked");
  EXPECT_EQ(entry,
            "MESSAGE=org.tessarapane.Tessarapane [Pause] pause begin screenLocked\n"
            "PRIORITY=5\n"
            "SYSLOG_IDENTIFIER=tessarapane\n"
            "TESSARAPANE_SUBSYSTEM=org.tessarapane.Tessarapane\n"
            "TESSARAPANE_CATEGORY=Pause\n");

  // A line break cannot end a plain field: such a value goes with its
  // length as 64-bit little endian.
  const std::string broken = journalEntry("s", "c", "a\nb");
  const std::string message = "s [c] a\nb";
  std::string expected = "MESSAGE\n";
  expected.push_back(static_cast<char>(message.size()));
  expected.append(7, '\0');
  expected.append(message).append("\n");
  EXPECT_EQ(broken.substr(0, expected.size()), expected);
  EXPECT_NE(broken.find("\nPRIORITY=5\n"), std::string::npos);
}

}  // namespace
}  // namespace tessarapane::program
