#pragma once

#include <functional>
#include <utility>

namespace tessarapane {

// Ends one subscription, timer, monitor or installed handler of the platform.
// Move-only; cancelling happens at most once, on cancel() or on destruction,
// so a handle that goes out of scope never leaves a callback behind. A
// default-made handle is inactive: that is also how a backend reports that it
// could not install the thing at all. Backends make the cancel action safe to
// run after they themselves are gone.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}

  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;

  Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      cancel();
      cancel_ = std::exchange(other.cancel_, nullptr);
    }
    return *this;
  }

  ~Subscription() { cancel(); }

  // Idempotent. The action is taken out first, so a cancel action that
  // re-enters (or destroys) its own handle does not run twice.
  void cancel() {
    if (auto action = std::exchange(cancel_, nullptr)) action();
  }

  bool isActive() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

}  // namespace tessarapane
