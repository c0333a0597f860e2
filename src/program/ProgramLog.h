#pragma once

#include <string>
#include <string_view>

#include "platform/Log.h"

namespace tessarapane::program {

// The program's diagnostic lines: "subsystem [category] text" on stderr, and
// the journal (with the subsystem and category as fields) when it listens
// and stderr does not already go there.
class ProgramLog final : public Log {
 public:
  ProgramLog();
  ~ProgramLog() override;

  ProgramLog(const ProgramLog&) = delete;
  ProgramLog& operator=(const ProgramLog&) = delete;

  void write(std::string_view subsystem, std::string_view category, std::string_view text) override;

  bool writesToJournal() const { return journal_ >= 0; }

 private:
  int journal_ = -1;
};

// One journal entry in the journal's native datagram format. Values with a
// line break use the length-prefixed form.
std::string journalEntry(std::string_view subsystem, std::string_view category, std::string_view text);

}  // namespace tessarapane::program
