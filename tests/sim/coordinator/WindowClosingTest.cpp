// What closing a tab leads to, for each outcome of the close request.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

class WindowClosing : public CoordinatorSim {
 protected:
  // Clicks the close button of the window's tab.
  void clickClose(WindowID window) {
    for (int pane = 0; pane < static_cast<int>(paneIDs().size()); ++pane) {
      const IDs ids = paneIDs()[static_cast<std::size_t>(pane)];
      for (int tab = 0; tab < static_cast<int>(ids.size()); ++tab) {
        if (ids[static_cast<std::size_t>(tab)] == window) {
          tabBar(pane)->clickClose(tab);
          return;
        }
      }
    }
    ADD_FAILURE() << "no tab for window " << window;
  }

  bool isManaged(WindowID window) const {
    for (const IDs& pane : paneIDs()) {
      if (std::find(pane.begin(), pane.end(), window) != pane.end()) return true;
    }
    return false;
  }
};

TEST_F(WindowClosing, OutcomesTheUserMustKnowAboutShowTheirMessageAndKeepTheTab) {
  const ProcessID notes = launch("Notes");
  const ProcessID editor = launch("Editor");
  const WindowID withSheet = open(notes, "draft");
  const WindowID busy = open(editor, "busy", Rect(100, 100, 800, 600),
                             [](SimWindowSpec& desc) { desc.behavior.cannotCompleteCount = 100; });
  const WindowID noButton = open(editor, "panel", Rect(100, 100, 800, 600),
                                 [](SimWindowSpec& desc) { desc.closeButton.present = false; });
  const WindowID refused = open(editor, "refused");
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  desktop->attachSheet(withSheet, Rect(200, 150, 400, 200));
  accessibility->scriptAction = [refused](const AXElement& element, std::string_view action) -> std::optional<AXError> {
    if (action == "AXPress" && SimElements::windowNumber(element) == refused) return AXError::failure;
    return std::nullopt;
  };

  struct Expected {
    WindowID window;
    std::string title;
    std::string message;
  };
  const std::vector<Expected> cases = {
      {withSheet, "请先处理对话框",
       "“Notes”当前有一个打开、保存或确认对话框正在等待处理。请先完成或取消该对话框，再关闭窗口；窗口布局管理不受影响。"},
      {busy, "暂时无法关闭窗口", "macOS 辅助功能服务暂时没有响应。Tessarapane 已自动重试，请稍后再试。"},
      {noButton, "这个窗口不提供关闭控制",
       "Tessarapane 仍可管理它的位置和大小，但该窗口没有提供系统关闭按钮。为避免误关窗口或退出整个 "
       "App，请使用该 App 自己的关闭按钮。"},
      {refused, "无法关闭窗口", "macOS 拒绝了这次关闭请求。请先切换到该窗口并处理其中的提示，然后重试。"},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(expected.title);
    desktop->alerts()->clear();
    clickClose(expected.window);
    settle();
    ASSERT_EQ(desktop->alerts()->shown().size(), 1U);
    const auto& shown = desktop->alerts()->shown().front();
    EXPECT_EQ(shown.title, expected.title);
    EXPECT_EQ(shown.message, expected.message);
    EXPECT_EQ(shown.buttons, (std::vector<std::string>{"好"}));
    EXPECT_TRUE(isManaged(expected.window));
    EXPECT_TRUE(coordinator->closingWindowIDs.empty());
    EXPECT_TRUE(coordinator->closeTasks.empty());
  }
  EXPECT_EQ(accessibilityMissingCalls, 0);
}

TEST_F(WindowClosing, WithAccessibilitySwitchedOffThePermissionPathIsTakenInsteadOfAMessage) {
  const ProcessID editor = launch("Editor");
  const WindowID window = open(editor, "a");
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  accessibility->scriptAction = [](const AXElement&, std::string_view action) -> std::optional<AXError> {
    if (action == "AXPress") return AXError::apiDisabled;
    return std::nullopt;
  };

  clickClose(window);
  settle();

  EXPECT_EQ(accessibilityMissingCalls, 1);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  EXPECT_TRUE(isManaged(window));
}

TEST_F(WindowClosing, AWindowThatAsksForConfirmationStaysATab) {
  const ProcessID editor = launch("Editor");
  const WindowID window = open(editor, "unsaved", Rect(100, 100, 800, 600), [](SimWindowSpec& desc) {
    desc.behavior.closeResponse = SimCloseResponse::asksConfirmation;
  });
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();

  clickClose(window);
  // The close request waits 0.6 s for the window to go, then 0.2 s more.
  advance(0.7);
  EXPECT_TRUE(coordinator->closingWindowIDs.count(window));
  EXPECT_TRUE(coordinator->closeTasks.contains(window));
  advance(0.15);
  EXPECT_FALSE(coordinator->closingWindowIDs.count(window));
  EXPECT_TRUE(coordinator->closeTasks.empty());
  EXPECT_TRUE(isManaged(window));
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

TEST_F(WindowClosing, AWindowThatGoesLateIsDroppedByTheFollowUp) {
  const ProcessID editor = launch("Editor");
  const WindowID stays = open(editor, "stays");
  const WindowID slow = open(editor, "slow", Rect(100, 100, 800, 600), [](SimWindowSpec& desc) {
    desc.behavior.closeResponse = SimCloseResponse::closesAfterDelay;
    desc.behavior.closeDelay = 0.7;
  });
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  // Only the follow-up can tell: the layout hears of the window's end late.
  desktop->setNotificationLatency(100.0);

  clickClose(slow);
  advance(0.75);
  EXPECT_FALSE(desktop->windowExists(slow));
  EXPECT_TRUE(isManaged(slow));
  EXPECT_TRUE(coordinator->closingWindowIDs.count(slow));
  advance(0.1);

  EXPECT_EQ(paneIDs(), (PaneIDs{{stays}}));
  EXPECT_TRUE(coordinator->closingWindowIDs.empty());
  EXPECT_TRUE(coordinator->destroyedWindowIDs.empty());
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

}  // namespace
}  // namespace tessarapane
