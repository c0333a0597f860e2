// Acting on the outcome of a close request, and the alerts it may show.
#include <string>
#include <utility>

#include "coordinator/LayoutCoordinator.h"
#include "platform/Localizer.h"
#include "tasks/DelayedAction.h"

namespace tessarapane {

namespace {

// The text with its first "%@" replaced, after the lookup, as the platform's
// string formatting would.
std::string formatted(std::string text, const std::string& argument) {
  const std::size_t at = text.find("%@");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace

void LayoutCoordinator::handleCloseResult(WindowCloseResult result, const ManagedWindow& window) {
  switch (result) {
    case WindowCloseResult::requested: {
      closing.requested(window.windowID);
      DelayedTask followUp = runAfter(
          platform.scheduler, shared_from_this(),
          DelayedAction<LayoutCoordinator>{
              .delay = kCloseFollowUpDelay,
              .action =
                  [window](LayoutCoordinator& self) {
                    if (self.isGone(window)) {
                      self.closing.destroyed(window.windowID);
                    } else if (const std::optional<WindowIDSet> onScreen = self.windowController.onScreenWindowIDs();
                               onScreen && self.windowController.isClosed(window, *onScreen)) {
                      self.closing.destroyed(window.windowID);
                    } else {
                      // Still open (a prompt inside the window): an ordinary
                      // managed window again.
                      self.closing.stillOpen(window.windowID);
                    }
                    if (const std::shared_ptr<RunningLayout> run = self.running) run->dropClosedWindows();
                  },
              .stillWanted = nullptr,
              .onEnd = nullptr,
          });
      closing.start(window.windowID, std::move(followUp));
      return;
    }
    case WindowCloseResult::closed:
      closing.destroyed(window.windowID);
      if (const std::shared_ptr<RunningLayout> run = running) run->dropClosedWindows();
      return;
    case WindowCloseResult::blockedByDialog:
      showMessage(localized("请先处理对话框"),
                  formatted(localized("“%@”当前有一个打开、保存或确认对话框正在等待处理。请先完成或取消该对话框，再关闭"
                                      "窗口；窗口布局管理不受影响。"),
                            window.appName));
      return;
    case WindowCloseResult::temporarilyUnavailable:
      showMessage(localized("暂时无法关闭窗口"),
                  localized("macOS 辅助功能服务暂时没有响应。Tessarapane 已自动重试，请稍后再试。"));
      return;
    case WindowCloseResult::accessibilityDisabled:
      if (onAccessibilityMissing) onAccessibilityMissing();
      return;
    case WindowCloseResult::noCloseControl:
      showMessage(localized("这个窗口不提供关闭控制"),
                  localized("Tessarapane 仍可管理它的位置和大小，但该窗口没有提供系统关闭按钮。为避免误关窗口或退出整个 "
                            "App，请使用该 App 自己的关闭按钮。"));
      return;
    case WindowCloseResult::failed:
      showMessage(localized("无法关闭窗口"),
                  localized("macOS 拒绝了这次关闭请求。请先切换到该窗口并处理其中的提示，然后重试。"));
      return;
  }
}

void LayoutCoordinator::showMessage(std::string_view title, std::string_view message) {
  if (messageRedirect) {
    messageRedirect(title, message);
    return;
  }
  if (platform.alerts) platform.alerts->runModal(title, message, {localized("好")});
}

}  // namespace tessarapane
