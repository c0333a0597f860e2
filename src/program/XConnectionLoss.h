#pragma once

#include <string>

namespace tessarapane::program {

// Losing the X server is told in the program's own line, once, whoever
// notices first: the backend's connection or the toolkit's. Left alone, the
// toolkit prints its own warning and Xlib's and ends the process.

// Prints "tessarapane: lost the connection to the X server (REASON);
// exiting" unless it was printed already; true when it printed.
bool reportLostXConnection(const std::string& reason);

// From now on the toolkit's report of a broken X connection becomes the line
// above and ends the process at once with status 1 (nothing of the layout is
// unsaved: settings are written at every change). Once the loss is told,
// the toolkit's further warnings are dropped.
void takeOverToolkitXConnectionLoss();

}  // namespace tessarapane::program
