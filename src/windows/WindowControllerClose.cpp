// Closing another application's window: one attempt, the blocking-dialog
// check, and the retrying, confirming close operation.
#include <utility>

#include "tasks/NextWait.h"
#include "tasks/PollLoop.h"
#include "tasks/TaskSteps.h"
#include "windows/AXHelpers.h"
#include "windows/WindowCloseRun.h"
#include "windows/WindowController.h"

namespace tessarapane {

bool WindowController::hasBlockingModalUI(const ManagedWindow& window) {
  Accessibility& ax = *accessibility_;
  const AXCopyResult sheets = ax.copyAttributeValue(window.element, "AXSheets");
  if (sheets.error == AXError::success && sheets.value) {
    const auto* list = std::get_if<std::vector<AXElement>>(&*sheets.value);
    if (list && !list->empty()) return true;
  }
  const AXElement application = ax.createApplication(window.ownerPID);
  for (const AXElement& other : AXHelpers::windows(ax, application)) {
    if (other == window.element) continue;
    if (AXHelpers::boolean(ax, "AXModal", other) == true) return true;
    const auto subrole = AXHelpers::string(ax, "AXSubrole", other);
    if (subrole == "AXDialog" || subrole == "AXSystemDialog") return true;
  }
  return false;
}

WindowCloseResult WindowController::closeOnce(const ManagedWindow& window) {
  Accessibility& ax = *accessibility_;
  const AXCopyResult role = ax.copyAttributeValue(window.element, "AXRole");
  if (role.error != AXError::success) return WindowCloseResults::classify(role.error, false);
  if (!role.value) return WindowCloseResult::closed;

  const bool blocking = hasBlockingModalUI(window);
  const AXCopyResult button = ax.copyAttributeValue(window.element, "AXCloseButton");
  if (button.error != AXError::success) return WindowCloseResults::classify(button.error, blocking);

  const WindowCloseResult fallback = blocking ? WindowCloseResult::blockedByDialog : WindowCloseResult::noCloseControl;
  const auto* control = button.value ? std::get_if<AXElement>(&*button.value) : nullptr;
  if (!control || control->isNull()) return fallback;
  if (AXHelpers::boolean(ax, "AXEnabled", *control) == false) return fallback;
  return WindowCloseResults::classify(ax.performAction(*control, "AXPress"), blocking);
}

bool WindowController::confirmedClosed(const ManagedWindow& window) {
  if (!AXHelpers::string(*accessibility_, "AXRole", window.element)) return true;
  const auto onScreen = onScreenWindowIDs();
  return onScreen && onScreen->count(window.windowID) == 0 &&
         AXHelpers::boolean(*accessibility_, "AXMinimized", window.element) != true;
}

WindowCloseOperation WindowController::close(const ManagedWindow& window,
                                             std::function<void(WindowCloseResult)> completion) {
  auto run = std::make_shared<detail::CloseRun>(*this, window, std::move(completion));
  std::weak_ptr<detail::CloseRun> weakRun = run;
  DelayedTask task = runSteps(scheduler_, run,
                              Steps<detail::CloseRun>{
                                  .firstDelay = closeRetryDelays.front(),
                                  .step = [](detail::CloseRun& self) { return self.step(); },
                                  .stillWanted = nullptr,
                                  .onEnd =
                                      [weakRun](TaskEnd) {
                                        const auto self = weakRun.lock();
                                        if (self && self->result) self->deliver(*self->result);
                                      },
                              });
  return WindowCloseOperation(std::move(run), std::move(task));
}

namespace detail {

CloseRun::CloseRun(WindowController controller, ManagedWindow window,
                   std::function<void(WindowCloseResult)> completion)
    : controller(std::move(controller)), window(std::move(window)), completion(std::move(completion)) {}

NextWait CloseRun::step() {
  while (phase == Phase::attempting) {
    const WindowCloseResult attempt = controller.closeOnce(window);
    ++attempts;
    if (attempt == WindowCloseResult::requested) {
      phase = Phase::confirming;
      deadline = scheduler()->now() + WindowController::kCloseConfirmationPeriod;
      break;
    }
    if (attempt != WindowCloseResult::temporarilyUnavailable || attempts >= WindowController::closeRetryDelays.size()) {
      result = attempt;
      return NextWait::end(TaskEnd::finished);
    }
    const double delay = WindowController::closeRetryDelays[attempts];
    if (delay != 0.0) return NextWait::after(delay);
  }
  if (controller.confirmedClosed(window)) {
    result = WindowCloseResult::closed;
    return NextWait::end(TaskEnd::finished);
  }
  if (scheduler()->now() < deadline - kTaskTimeTolerance) {
    return NextWait::after(WindowController::kCloseConfirmationInterval);
  }
  result = WindowCloseResult::requested;
  return NextWait::end(TaskEnd::finished);
}

WindowCloseResult CloseRun::resultOfCancelledWait() const {
  return phase == Phase::confirming ? WindowCloseResult::requested : WindowCloseResult::temporarilyUnavailable;
}

void CloseRun::deliver(WindowCloseResult outcome) {
  auto handler = std::exchange(completion, nullptr);
  if (handler) handler(outcome);
}

}  // namespace detail

}  // namespace tessarapane
