#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/x11/X11ClientInfo.h"
#include "backends/x11/X11Desktop.h"
#include "backends/x11/X11ManagerCatchUp.h"
#include "platform/Accessibility.h"
#include "platform/Scheduler.h"

namespace tessarapane {

// The accessibility interface over the window manager's clients: a window
// element is a managed client window (its token is the window id), the
// application element of a pid stands for that process's clients, and the
// window's title-bar buttons are controls. Frames are outer frames (the
// window manager's decorations included), in accessibility space.
class X11Accessibility final : public Accessibility,
                               public X11DesktopListener,
                               public std::enable_shared_from_this<X11Accessibility> {
 public:
  // With a scheduler, a position written just before the size of the same
  // window goes to the window manager with it as one request (a frame is
  // written as position, then size): one configure instead of two, each of
  // which the client must answer with a redraw. A position written alone is
  // sent on the loop's next turn, or before anything else this interface is
  // asked. Without a scheduler every write is sent at once.
  static std::shared_ptr<X11Accessibility> create(std::shared_ptr<X11Desktop> desktop,
                                                  std::shared_ptr<Scheduler> scheduler = nullptr);

  bool isProcessTrusted() override;
  bool isProcessTrustedWithPrompt() override;
  WindowManagerReport windowManagerReport() override;
  void whenWritesCarriedOut(std::function<void()> then) override;
  AXElement createApplication(ProcessID pid) override;
  std::optional<WindowID> windowNumber(const AXElement& element) override;
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override;
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXAttributeValue& value) override;
  AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) override;
  AXError performAction(const AXElement& element, std::string_view action) override;
  AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) override;
  AXError addNotification(AXObserver observer, const AXElement& element, std::string_view notification) override;
  AXError removeNotification(AXObserver observer, const AXElement& element,
                             std::string_view notification) override;
  void destroyObserver(AXObserver observer) override;

  // Elements as this backend makes them.
  static AXElement windowElement(ProcessID pid, xcb_window_t window);
  enum class Control : std::uint8_t { close = 1, minimize = 2, zoom = 3 };
  static AXElement controlElement(ProcessID pid, xcb_window_t window, Control control);

  // X11DesktopListener
  void clientAdded(xcb_window_t window, ProcessID pid) override;
  void clientRemoved(xcb_window_t window, ProcessID pid) override;
  void activeWindowChanged(xcb_window_t window, ProcessID pid) override;
  void titleChanged(xcb_window_t window, ProcessID pid) override;

 private:
  explicit X11Accessibility(std::shared_ptr<X11Desktop> desktop);

  AXCopyResult readApplication(ProcessID pid, std::string_view attribute);
  AXCopyResult readWindow(const AXElement& element, std::string_view attribute);
  AXCopyResult readControl(const AXElement& element, std::string_view attribute);
  AXError writeApplication(ProcessID pid, std::string_view attribute, const AXAttributeValue& value);
  AXError writeWindow(const AXElement& element, std::string_view attribute, const AXAttributeValue& value);
  AXError pressControl(const AXElement& element);

  // The window's modal transients that are showing (its sheets).
  std::optional<std::vector<AXElement>> sheetsOf(xcb_window_t window, Deadline deadline);
  // Where the process's focus is: its active window, else its top-most client.
  std::optional<xcb_window_t> focusedWindowOf(ProcessID pid, Deadline deadline);
  bool processExists(ProcessID pid);
  // A client as the desktop's cache knows it, or read now. A pass over the
  // windows asks about each window one attribute at a time (role, type,
  // states, frame, controls); one batch per window serves them all instead of
  // a round trip each. After a move or resize this process asked for,
  // everything but the frame itself (extents included) stays current.
  ClientInfo client(xcb_window_t window, unsigned fields);
  void forget(xcb_window_t window);
  void frameChanging(xcb_window_t window);
  // Root coordinates of a move held until the size follows.
  struct PendingMove {
    std::int32_t x = 0;
    std::int32_t y = 0;
  };
  void sendMove(xcb_window_t window, std::uint32_t flags, PendingMove move, std::uint32_t width,
                std::uint32_t height);
  void flushPendingMoves();
  // Unmapped by its client and no longer in the window manager's list: the
  // window closed as far as anyone can tell, though the X window may live on
  // to be shown again. A window on another desktop or iconic is unmapped
  // too, but stays listed.
  bool isWithdrawn(const ClientInfo& info);
  bool isMaximized(const ClientInfo& info);
  void removeMaximized(const ClientInfo& info);

  struct Registration {
    AXElement element;
    std::string notification;
  };
  struct ObserverEntry {
    ProcessID pid = 0;
    std::shared_ptr<AXObserverCallback> callback;
    std::vector<Registration> registrations;
  };
  void deliver(ProcessID pid, const AXElement& registeredOn, const AXElement& subject, const std::string& name);

  // Maximised windows asked to restore: their decorations at the time.
  struct Restoring {
    std::array<std::uint32_t, 4> extents{};
    double time = 0.0;
  };

  std::shared_ptr<X11Desktop> desktop_;
  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<X11ManagerCatchUp> catchUp_;
  std::map<xcb_window_t, PendingMove> pendingMoves_;
  bool flushPosted_ = false;
  std::map<xcb_window_t, Restoring> restoring_;
  std::map<std::uint64_t, ObserverEntry> observers_;
  std::uint64_t nextObserver_ = 1;
};

}  // namespace tessarapane
