#include "backends/x11/StderrLog.h"

#include <cstdio>
#include <string>

namespace tessarapane {

void StderrLog::write(std::string_view subsystem, std::string_view category, std::string_view text) {
  // One call per line, so lines from several sources do not interleave.
  std::string line;
  line.reserve(subsystem.size() + category.size() + text.size() + 5);
  line.append(subsystem).append(" [").append(category).append("] ").append(text).append("\n");
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace tessarapane
