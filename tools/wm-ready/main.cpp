// tessarapane-wm-ready [--timeout SECONDS]: waits until the window manager on
// $DISPLAY answers requests, so a script starts its clients only then.
// Exit status 0 when it answers, 1 (with the reason) when it did not in time.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "WindowManagerProbe.h"

int main(int argc, char** argv) {
  double timeout = 20.0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      char* end = nullptr;
      timeout = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(timeout > 0)) {
        std::fprintf(stderr, "tessarapane-wm-ready: --timeout takes a number of seconds\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "usage: tessarapane-wm-ready [--timeout SECONDS]\n");
      return 2;
    }
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const auto state = tessarapane::tools::waitForWindowManager(connection, timeout);
  xcb_disconnect(connection);
  if (state == tessarapane::tools::WindowManagerState::ready) return 0;
  std::fprintf(stderr, "tessarapane-wm-ready: %s\n", tessarapane::tools::describe(state));
  return 1;
}
