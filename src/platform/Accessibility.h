#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/AXAttributeValue.h"
#include "platform/AXElement.h"
#include "platform/AXError.h"
#include "platform/ManagedWindow.h"
#include "platform/WindowManagerReport.h"

namespace tessarapane {

// An accessibility observer of one process. A value handle: equal handles are
// the same observer, which is how a notification is traced back to the
// registration that owns it.
struct AXObserver {
  std::uint64_t token = 0;

  friend bool operator==(const AXObserver&, const AXObserver&) = default;
};

// Receives one notification: the observer it came through, the element it
// concerns (the new window for "AXWindowCreated") and its name.
using AXObserverCallback =
    std::function<void(AXObserver observer, const AXElement& element, const std::string& notification)>;

struct AXObserverCreateResult {
  AXError error = AXError::success;
  std::optional<AXObserver> observer;  // none when creation failed
};

// Reading, changing and observing other applications' windows. Every call is
// made on the main thread and answers at once; nothing here throws. Element
// identity is AXElement equality. Attribute, action and notification names are
// the platform's strings ("AXRole", "AXRaise", "AXWindowCreated" ...).
class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // Whether this process may use accessibility at all; layouts start only
  // when it may. Never prompts.
  virtual bool isProcessTrusted() = 0;

  // The same test, asking the platform to prompt the user and list this
  // application in its settings. Callers ignore the answer.
  virtual bool isProcessTrustedWithPrompt() = 0;

  // Why the process is trusted or not, for the guide. The default knows only
  // the answer of isProcessTrusted.
  virtual WindowManagerReport windowManagerReport() {
    WindowManagerReport report;
    report.found = isProcessTrusted();
    return report;
  }

  // Runs `then` once whatever carries out this interface's writes (a window
  // manager taking requests in turn) has carried out every write made so far;
  // at once where writes take effect as they are made.
  virtual void whenWritesCarriedOut(std::function<void()> then) { then(); }

  // The application element of a process. Always an element; whether the
  // process answers shows only when its attributes are read.
  virtual AXElement createApplication(ProcessID pid) = 0;

  // The window server's number of a window element, where the platform can
  // name it (none: a list entry and an element are matched by frame and
  // title). Frames read a moment apart differ while a window moves; the
  // number does not.
  virtual std::optional<WindowID> windowNumber(const AXElement& /*element*/) { return std::nullopt; }

  // Code plus value. Callers treat a non-zero code or no value as absent, and
  // -25202 on "AXRole" as "the window is gone".
  virtual AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) = 0;

  // Success only when the platform accepted the write; the element may still
  // settle elsewhere, so callers read the attribute back.
  virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                                    const AXAttributeValue& value) = 0;

  // Whether the attribute can be written (e.g. a fixed-size window's "AXSize"
  // cannot).
  virtual AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) = 0;

  // The code is classified by the caller (closing relies on -25202, -25204,
  // -25211 ...).
  virtual AXError performAction(const AXElement& element, std::string_view action) = 0;

  // An observer for one process. Its callback is delivered on the main
  // thread, asynchronously (never from inside another call of this
  // interface), until destroyObserver.
  virtual AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) = 0;

  // Success or notificationAlreadyRegistered (-25209) mean the notification
  // is registered.
  virtual AXError addNotification(AXObserver observer, const AXElement& element,
                                  std::string_view notification) = 0;

  virtual AXError removeNotification(AXObserver observer, const AXElement& element,
                                     std::string_view notification) = 0;

  // No callback of this observer runs afterwards, not even one already
  // queued. Unknown observers are ignored.
  virtual void destroyObserver(AXObserver observer) = 0;
};

}  // namespace tessarapane
