#include "permission/PermissionGuideWindowController.h"

#include <gtest/gtest.h>

#include "PermissionSimFixture.h"
#include "permission/PermissionHelperHint.h"

namespace tessarapane {
namespace {

using testing_support::kFirstAccessibilityAddress;
using testing_support::PermissionTest;

using PermissionGuideTest = PermissionTest;

const std::string kFirstHint = "在上方列表打开 Tessarapane，或把图标拖进去";
const std::string kSecondHint = "仍无效？选中 Tessarapane 点“−”删除，再点授权";

TEST_F(PermissionGuideTest, ShowingDrawsTheMissingPermissionAndCentresOnce) {
  controller->show();
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->centerings, 1);
  EXPECT_EQ(window->frontings, 1);
  EXPECT_EQ(desktop->recorder().activations(), std::vector<ProcessID>{selfPID});
  ASSERT_FALSE(window->shown.empty());
  const PermissionGuideContent& content = window->shown.back();
  EXPECT_EQ(content.title, "设置 Tessarapane");
  EXPECT_EQ(content.subtitle, "开启以下权限后即可使用");
  ASSERT_EQ(content.rows.size(), 1u);
  EXPECT_EQ(content.rows[0].name, "辅助功能");
  EXPECT_EQ(content.rows[0].detail, "移动和调整其他 App 的窗口");
  EXPECT_EQ(content.rows[0].authorizeTitle, "授权");
  EXPECT_FALSE(content.rows[0].granted);
  EXPECT_EQ(content.closeButtonTitle, "稍后");
  EXPECT_FALSE(content.closeButtonIsDefault);

  // An open guide is only brought forward.
  controller->show();
  EXPECT_EQ(window->centerings, 1);
  EXPECT_EQ(window->frontings, 2);
}

TEST_F(PermissionGuideTest, GrantingIsNoticedWithinHalfASecondAndBringsTheGuideForward) {
  controller->show();
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  ASSERT_TRUE(panel->visible);

  clock->advance(0.1);  // 0.3 s after showing
  desktop->setProcessTrusted(true);
  clock->advance(0.19);
  EXPECT_FALSE(controller->model()->isReady());
  EXPECT_TRUE(panel->visible);

  clock->advance(0.02);  // the poll at 0.5 s
  EXPECT_TRUE(controller->model()->isReady());
  EXPECT_FALSE(panel->visible);
  EXPECT_FALSE(controller->dragHelper()->isFollowing());
  EXPECT_EQ(window->frontings, 2);
  const PermissionGuideContent& content = window->shown.back();
  EXPECT_TRUE(content.rows[0].granted);
  EXPECT_EQ(content.subtitle, "一切就绪");
  EXPECT_EQ(content.closeButtonTitle, "开始使用");
  EXPECT_TRUE(content.closeButtonIsDefault);

  // Staying granted is not news.
  clock->advance(2.0);
  EXPECT_EQ(window->frontings, 2);
  EXPECT_TRUE(controller->model()->isPolling());
}

TEST_F(PermissionGuideTest, AClosedGuideIsNotBroughtBackWhenGranted) {
  controller->show();
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  controller->close();
  EXPECT_FALSE(controller->model()->isPolling());
  EXPECT_FALSE(controller->dragHelper()->isFollowing());
  EXPECT_FALSE(panel->visible);

  desktop->setProcessTrusted(true);
  clock->advance(5.0);
  EXPECT_FALSE(window->visible);
  EXPECT_EQ(window->frontings, 1);
  EXPECT_EQ(panel->frames.size(), 1u) << "no following after closing";

  // Refreshing a hidden guide that notices the grant stops the helper only.
  controller->model()->refresh();
  EXPECT_TRUE(controller->model()->isReady());
  EXPECT_FALSE(window->visible);
  EXPECT_EQ(window->frontings, 1);
}

TEST_F(PermissionGuideTest, ANewerPlatformNamesThePermissionDifferently) {
  PermissionGuideWindowController::Options options;
  options.osMajorVersion = 27;
  const auto newer = PermissionGuideWindowController::create(platform, window, panel, options);
  EXPECT_EQ(newer->content().rows[0].name, "设备控制和数据访问");
  options.osMajorVersion = 26;
  EXPECT_EQ(PermissionGuideWindowController::create(platform, window, panel, options)->content().rows[0].name,
            "辅助功能");
}

TEST_F(PermissionGuideTest, AuthorisingPromptsOpensSettingsAndShowsThePill) {
  controller->show();
  EXPECT_EQ(panel->label, kFirstHint);
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(desktop->permissionPrompts(), 1);
  EXPECT_EQ(desktop->recorder().openedAddresses(), std::vector<std::string>{kFirstAccessibilityAddress});
  EXPECT_FALSE(panel->visible) << "the pill waits for the first tick";

  clock->advance(0.2);
  // Settings window at (200, 100, 800, 600) top-down is (200, 200) bottom-up;
  // its 232-point sidebar leaves 568 points of content starting at 432.
  EXPECT_TRUE(panel->visible);
  EXPECT_EQ(panel->current, Rect(566, 208, 300, 36));
  EXPECT_EQ(panel->orderings, 1);

  // Unchanged ticks neither move nor re-order the panel.
  clock->advance(1.0);
  EXPECT_EQ(panel->frames.size(), 1u);
  EXPECT_EQ(panel->orderings, 1);
}

TEST_F(PermissionGuideTest, TheSecondHintAppearsAfterTenSeconds) {
  controller->authorize(AppPermission::accessibility);
  clock->advance(9.9);
  EXPECT_EQ(panel->label, kFirstHint);
  clock->advance(0.4);
  EXPECT_EQ(panel->label, kSecondHint);
  EXPECT_EQ(panel->texts, (std::vector<std::string>{kFirstHint, kSecondHint}));

  // Authorising again starts the ten seconds afresh.
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  EXPECT_EQ(panel->label, kFirstHint);
  EXPECT_EQ(text(PermissionHelperHint::removeAndAuthorize), kSecondHint);
}

TEST_F(PermissionGuideTest, ThePillFollowsTheSettingsWindowAndHidesBehindOtherApplications) {
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  ASSERT_TRUE(panel->visible);

  desktop->moveWindow(settingsWindow, Rect(300, 200, 800, 600));
  clock->advance(0.2);
  EXPECT_EQ(panel->current, Rect(666, 108, 300, 36));

  desktop->activateApplication(editorPID);
  clock->advance(0.2);
  EXPECT_FALSE(panel->visible);

  desktop->activateApplication(selfPID);
  clock->advance(0.2);
  EXPECT_TRUE(panel->visible);

  desktop->activateApplication(editorPID);
  clock->advance(0.2);
  desktop->activateApplication(settingsPID);
  clock->advance(0.2);
  EXPECT_TRUE(panel->visible);
  EXPECT_EQ(panel->current, Rect(666, 108, 300, 36));

  // The settings application quits: nothing to follow.
  desktop->quitApplication(settingsPID);
  desktop->activateApplication(selfPID);
  clock->advance(0.2);
  EXPECT_FALSE(panel->visible);
  EXPECT_TRUE(controller->dragHelper()->isFollowing());
}

TEST_F(PermissionGuideTest, AWidePillIsNarrowedToTheContentArea) {
  panel->width = 700;
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  EXPECT_EQ(panel->current, Rect(444, 208, 544, 36));

  // A 600-point window: 200-point sidebar, 400 - 24 points of pill.
  desktop->moveWindow(settingsWindow, Rect(200, 100, 600, 600));
  clock->advance(0.2);
  EXPECT_EQ(panel->current, Rect(412, 208, 376, 36));
}

TEST_F(PermissionGuideTest, TheLargestOrdinarySettingsWindowIsTheOne) {
  open(settingsPID, Rect(0, 0, 1000, 800), 3);    // not an ordinary layer
  open(settingsPID, Rect(50, 50, 1200, 150));     // too low
  open(settingsPID, Rect(50, 50, 200, 700));      // too narrow
  open(editorPID, Rect(0, 0, 1400, 850));         // another application's
  const auto frame = PermissionDragHelper::settingsWindowFrame(*platform.workspace, *platform.screens,
                                                               *platform.windowServer);
  EXPECT_EQ(frame, std::optional<Rect>(Rect(200, 200, 800, 600)));

  // An equally large window in front of it does not take over.
  open(settingsPID, Rect(100, 100, 600, 800));
  EXPECT_EQ(PermissionDragHelper::settingsWindowFrame(*platform.workspace, *platform.screens, *platform.windowServer),
            std::optional<Rect>(Rect(100, 0, 600, 800)));
}

TEST_F(PermissionGuideTest, NoSettingsWindowHidesThePill) {
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  ASSERT_TRUE(panel->visible);

  desktop->failNextWindowListReads(1);
  clock->advance(0.2);
  EXPECT_FALSE(panel->visible);
  clock->advance(0.2);
  EXPECT_TRUE(panel->visible);

  desktop->closeWindow(settingsWindow);
  desktop->activateApplication(settingsPID);
  clock->advance(0.2);
  EXPECT_FALSE(panel->visible);

  // Without any screen there is no settings frame either.
  open(settingsPID, Rect(200, 100, 800, 600));
  clock->advance(0.2);
  ASSERT_TRUE(panel->visible);
  desktop->setDisplays({});
  clock->advance(0.2);
  EXPECT_FALSE(panel->visible);
}

TEST_F(PermissionGuideTest, ThePillStaysOnTheScreenOfTheSettingsWindow) {
  // A second display to the right, with its own 25-point menu bar.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{2, Rect(1440, 0, 1000, 900), Rect(1440, 0, 1000, 875)}});
  desktop->moveWindow(settingsWindow, Rect(1440 + 500, 200, 800, 600));  // hanging off the right edge
  controller->authorize(AppPermission::accessibility);
  clock->advance(0.2);
  // Centred over the content it would sit at x = 2306; the second screen's
  // visible frame ends at 2440.
  EXPECT_EQ(panel->current, Rect(2140, 108, 300, 36));

  // A window whose centre is on no screen goes by the main (first) screen.
  desktop->moveWindow(settingsWindow, Rect(2500, 200, 800, 600));
  clock->advance(0.2);
  EXPECT_EQ(panel->current, Rect(1140, 108, 300, 36));
}

TEST_F(PermissionGuideTest, TheGuideAndHelperAreHeldWeakly) {
  controller->show();
  controller->authorize(AppPermission::accessibility);
  const std::weak_ptr<PermissionGuideModel> model = controller->model();
  const std::weak_ptr<PermissionDragHelper> helper = controller->dragHelper();
  controller.reset();
  EXPECT_TRUE(model.expired());
  EXPECT_TRUE(helper.expired());
  desktop->setProcessTrusted(true);
  EXPECT_TRUE(clock->advance(2.0));
  EXPECT_EQ(window->frontings, 1);
}

}  // namespace
}  // namespace tessarapane
