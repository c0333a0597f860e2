#include "backends/x11/X11ManagerCatchUp.h"

#include <algorithm>
#include <utility>

namespace tessarapane {

namespace {
// Sizes the probe window takes in turn; one per request in flight.
constexpr std::uint32_t kWidths = 64;
}  // namespace

X11ManagerCatchUp::X11ManagerCatchUp(std::shared_ptr<X11Desktop> desktop, std::shared_ptr<Scheduler> scheduler)
    : desktop_(std::move(desktop)), scheduler_(std::move(scheduler)) {}

X11ManagerCatchUp::~X11ManagerCatchUp() {
  X11Connection& x = desktop_->x();
  if (window_ != XCB_NONE && x.isConnected()) {
    xcb_destroy_window(x.raw(), window_);
    x.flush();
  }
}

void X11ManagerCatchUp::after(std::function<void()> then) {
  X11Connection& x = desktop_->x();
  if (!scheduler_ || !x.isConnected()) {
    if (scheduler_) scheduler_->postToMainThread(std::move(then));
    else then();
    return;
  }
  if (window_ == XCB_NONE) {
    // Never mapped, so never shown or managed; the manager still sees its
    // configure requests, since it redirects those of every top-level window.
    window_ = xcb_generate_id(x.raw());
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_create_window(x.raw(), XCB_COPY_FROM_PARENT, window_, x.root(), -100, -100, kWidths + 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
  }
  lastWidth_ = lastWidth_ % kWidths + 1;
  xcb_configure_window(x.raw(), window_, XCB_CONFIG_WINDOW_WIDTH, &lastWidth_);
  x.flush();
  const std::uint32_t width = lastWidth_;
  Subscription timeout = scheduler_->scheduleOnce(kLongestWait, [weak = weak_from_this(), width] {
    if (const auto self = weak.lock()) self->caughtUp(width);
  });
  waiting_.push_back(Waiting{width, std::move(then), std::move(timeout)});
}

void X11ManagerCatchUp::eventArrived(const xcb_generic_event_t& event) {
  if ((event.response_type & 0x7F) != XCB_CONFIGURE_NOTIFY || waiting_.empty()) return;
  const auto& configured = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
  if (configured.window == window_) caughtUp(configured.width);
}

void X11ManagerCatchUp::caughtUp(std::uint32_t width) {
  const auto asked = std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& w) { return w.width == width; });
  // Already answered, or a size the manager chose.
  if (asked == waiting_.end()) return;
  const auto end = std::next(asked);
  std::deque<Waiting> done(std::make_move_iterator(waiting_.begin()), std::make_move_iterator(end));
  waiting_.erase(waiting_.begin(), end);
  // Not from inside the event's dispatch: the callers read the desktop.
  for (Waiting& w : done) {
    w.timeout.cancel();
    scheduler_->postToMainThread(std::move(w.then));
  }
}

}  // namespace tessarapane
