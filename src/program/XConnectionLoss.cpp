#include "program/XConnectionLoss.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace tessarapane::program {

namespace {

std::atomic<bool> reported{false};
QtMessageHandler previousHandler = nullptr;

// The xcb platform plugin says "The X11 connection broke: ..." from Xlib's
// I/O error handler and "The X11 connection broke (error N). Did the X11
// server die?" from its event reader, then exits; either way the server's
// socket is gone, as the backend describes it.
void onToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("The X11 connection broke"))) {
    reportLostXConnection("the connection broke");
    std::_Exit(EXIT_FAILURE);
  }
  if (reported) return;
  if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

bool reportLostXConnection(const std::string& reason) {
  if (reported.exchange(true)) return false;
  std::fprintf(stderr, "tessarapane: lost the connection to the X server (%s); exiting\n", reason.c_str());
  std::fflush(stderr);
  return true;
}

void takeOverToolkitXConnectionLoss() { previousHandler = qInstallMessageHandler(onToolkitMessage); }

}  // namespace tessarapane::program
