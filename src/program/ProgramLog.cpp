#include "program/ProgramLog.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tessarapane::program {

namespace {

constexpr const char* kJournalSocket = "/run/systemd/journal/socket";

// JOURNAL_STREAM names the device and inode of the journal stream stderr
// was connected to; lines there reach the journal already.
bool stderrIsJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");
  if (!stream || !*stream) return false;
  struct stat info {};
  if (fstat(STDERR_FILENO, &info) != 0) return false;
  unsigned long long device = 0;
  unsigned long long inode = 0;
  if (std::sscanf(stream, "%llu:%llu", &device, &inode) != 2) return false;
  return device == static_cast<unsigned long long>(info.st_dev) && inode == static_cast<unsigned long long>(info.st_ino);
}

void appendField(std::string& entry, std::string_view name, std::string_view value) {
  if (value.find('\n') == std::string_view::npos) {
    entry.append(name).append("=").append(value).append("\n");
    return;
  }
  entry.append(name).append("\n");
  std::uint64_t size = value.size();
  for (int i = 0; i < 8; ++i) entry.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
  entry.append(value).append("\n");
}

}  // namespace

std::string journalEntry(std::string_view subsystem, std::string_view category, std::string_view text) {
  std::string entry;
  std::string message;
  message.append(subsystem).append(" [").append(category).append("] ").append(text);
  appendField(entry, "MESSAGE", message);
  appendField(entry, "PRIORITY", "5");
  appendField(entry, "SYSLOG_IDENTIFIER", "tessarapane");
  appendField(entry, "TESSARAPANE_SUBSYSTEM", subsystem);
  appendField(entry, "TESSARAPANE_CATEGORY", category);
  return entry;
}

ProgramLog::ProgramLog() {
  if (stderrIsJournal() || access(kJournalSocket, W_OK) != 0) return;
  journal_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

ProgramLog::~ProgramLog() {
  if (journal_ >= 0) close(journal_);
}

void ProgramLog::write(std::string_view subsystem, std::string_view category, std::string_view text) {
  // One call per line, so lines from several sources do not interleave.
  std::string line;
  line.append(subsystem).append(" [").append(category).append("] ").append(text).append("\n");
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);

  if (journal_ < 0) return;
  const std::string entry = journalEntry(subsystem, category, text);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, kJournalSocket, sizeof(address.sun_path) - 1);
  // A journal that went away costs a failed send; the line is on stderr.
  sendto(journal_, entry.data(), entry.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
         sizeof(address));
}

}  // namespace tessarapane::program
