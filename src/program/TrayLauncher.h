#pragma once

namespace tessarapane::program {

// Replaces this process by the tray program (tessarapane-tray, beside this
// executable in a build folder, in the install's libexec folder otherwise),
// with the same arguments and process id. Returns only when that fails: 1,
// after saying why on stderr.
int execTrayProgram(char** argv);

}  // namespace tessarapane::program
