#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "backends/x11/X11Desktop.h"
#include "platform/Screens.h"

namespace tessarapane {

// The RandR monitors as screens, primary first, in toolkit space (origin at
// the primary's bottom-left corner, y up). The visible frame leaves out the
// edges that docks reserve with their struts.
class X11Screens final : public Screens,
                         public X11DesktopListener,
                         public std::enable_shared_from_this<X11Screens> {
 public:
  static std::shared_ptr<X11Screens> create(std::shared_ptr<X11Desktop> desktop);

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  Subscription subscribeScreenParametersChanged(std::function<void()> handler) override;

  // X11DesktopListener
  void eventArrived(const xcb_generic_event_t& event) override;
  void monitorsChanged() override;
  void clientAdded(xcb_window_t window, ProcessID pid) override;
  void clientRemoved(xcb_window_t window, ProcessID pid) override;

 private:
  explicit X11Screens(std::shared_ptr<X11Desktop> desktop);
  void notifyIfChanged();
  std::vector<Screen> readScreens();

  std::shared_ptr<X11Desktop> desktop_;
  std::vector<Screen> last_;
  // The screens as last read; dropped by any event that may change them.
  std::optional<std::vector<Screen>> known_;
  std::map<std::uint64_t, std::shared_ptr<std::function<void()>>> handlers_;
  std::uint64_t nextHandler_ = 1;
};

}  // namespace tessarapane
