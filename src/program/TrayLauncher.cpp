#include "program/TrayLauncher.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace tessarapane::program {

namespace {

constexpr const char* kTrayExecutable = "tessarapane-tray";

// The tray program's folder relative to this executable's once installed.
#ifndef TESSARAPANE_TRAY_DIR_FROM_BIN
#define TESSARAPANE_TRAY_DIR_FROM_BIN "../libexec/tessarapane"
#endif

}  // namespace

int execTrayProgram(char** argv) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    std::fprintf(stderr, "tessarapane: cannot find the tray program: %s\n", error.message().c_str());
    return 1;
  }
  fs::path tray = self.parent_path() / kTrayExecutable;
  if (!fs::exists(tray, error)) tray = self.parent_path() / TESSARAPANE_TRAY_DIR_FROM_BIN / kTrayExecutable;
  ::execv(tray.c_str(), argv);
  std::fprintf(stderr, "tessarapane: cannot start the tray program %s: %s\n", tray.c_str(), std::strerror(errno));
  return 1;
}

}  // namespace tessarapane::program
