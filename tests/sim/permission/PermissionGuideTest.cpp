// The permission guide and its drag-helper pill, from the first showing to
// the permission arriving.
#include "permission/PermissionGuideWindowController.h"

#include <gtest/gtest.h>

#include "PermissionSim.h"
#include "permission/Permissions.h"
#include "sim/desktop/SimDesktopTest.h"

namespace tessarapane {

using testing_support::RecordingGuideWindow;
using testing_support::RecordingHelperPanel;

const std::string kMissing = "设置 Tessarapane: 开启以下权限后即可使用 辅助功能/移动和调整其他 App 的窗口:授权 [稍后]";
const std::string kReady = "设置 Tessarapane: 一切就绪 辅助功能/移动和调整其他 App 的窗口:granted [开始使用 ↩]";
const std::string kFirstHint = "text 在上方列表打开 Tessarapane，或把图标拖进去";
const std::string kSecondHint = "text 仍无效？选中 Tessarapane 点“−”删除，再点授权";
const std::string kSettingsBundle = "com.apple.systempreferences";
const std::string kAccessibilityAddress =
    "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility";

// The platform's settings application with its window, this application,
// an editor, and the guide; the permission is missing.
struct PermissionSim : testing_support::SimDesktopTest {
  void SetUp() override {
    desktop->setProcessTrusted(false);
    settingsPID = launchSettings();
    selfPID = launch("tessarapane", {}, [&](SimAppSpec& s) { s.pid = desktop->currentProcessID(); });
    editorPID = launch("editor");
    settingsWindow = open(settingsPID, Rect(200, 100, 800, 600));
    desktop->activateApplication(settingsPID);
    controller = make(14);
  }
  std::shared_ptr<PermissionGuideWindowController> make(int osMajorVersion) {
    auto made = PermissionGuideWindowController::create(platform, window, panel,
                                                        {"org.example.tessarapane", osMajorVersion});
    window->onClose = [weak = std::weak_ptr(made)] {
      if (const auto live = weak.lock()) live->windowWillClose();
    };
    return made;
  }
  ProcessID launchSettings() { return launch("Settings", {}, [](auto& s) { s.bundleIdentifier = kSettingsBundle; }); }
  using SimDesktopTest::open;
  WindowID open(ProcessID owner, Rect frame, std::int32_t layer = 0) {
    return open(owner, "", frame, [&](SimWindowSpec& s) { s.layer = layer; });
  }
  // The pill's changes over the next `seconds`.
  Lines pill(double seconds) {
    clock->advance(seconds);
    return panel->taken();
  }

  std::shared_ptr<RecordingGuideWindow> window = std::make_shared<RecordingGuideWindow>();
  std::shared_ptr<RecordingHelperPanel> panel = std::make_shared<RecordingHelperPanel>();
  std::shared_ptr<PermissionGuideWindowController> controller;
  ProcessID settingsPID = 0, selfPID = 0, editorPID = 0;
  WindowID settingsWindow = 0;
};

TEST_F(PermissionSim, GrantingWhileTheGuideIsOpenIsNoticedAndBringsItForward) {
  controller->show();
  controller->show();  // an open guide is only brought forward
  EXPECT_EQ(window->taken(), (Lines{kMissing, "center", "front", kMissing, "front"}));
  EXPECT_EQ(desktop->recorder().activations(), (std::vector<ProcessID>{selfPID, selfPID}));

  // Authorising prompts, opens the settings and shows the pill at the first
  // tick, over the settings' content area: (200, 200) bottom-up, a 232-point
  // sidebar, 568 points of content from 432.
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(desktop->permissionPrompts(), 1);
  EXPECT_EQ(desktop->recorder().openedAddresses(), Lines{kAccessibilityAddress});
  EXPECT_EQ(pill(0.19), Lines{kFirstHint});  // labelled from the start, shown at the first tick
  EXPECT_EQ(pill(0.1), (Lines{"frame (566, 208, 300, 36)", "front"}));  // 0.29 s after showing

  // Granted now; the poll at 0.5 s notices it.
  desktop->setProcessTrusted(true);
  clock->advance(0.2);
  EXPECT_EQ(window->taken(), Lines{});
  EXPECT_EQ(pill(2.0), Lines{"hide"});  // and staying granted is no news
  EXPECT_EQ(window->taken(), (Lines{kReady, "front"}));

  // Closing stops the polling; a later grant does not reopen it.
  controller->close();
  EXPECT_EQ(window->taken(), Lines{"close"});
  EXPECT_FALSE(controller->model()->isPolling());
  desktop->setProcessTrusted(false);
  controller->model()->refresh();
  desktop->setProcessTrusted(true);
  controller->model()->refresh();
  EXPECT_EQ(window->taken(), (Lines{kMissing, kReady}));

  // The system renamed the permission with major version 27.
  EXPECT_EQ(make(27)->content().rows.at(0).name, "设备控制和数据访问");
}

TEST_F(PermissionSim, ThePillFollowsTheSettingsWindowWhileItOrThisApplicationIsInFront) {
  // Looked at between the ticks, which come every 0.2 s.
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(pill(0.3), (Lines{kFirstHint, "frame (566, 208, 300, 36)", "front"}));
  desktop->moveWindow(settingsWindow, Rect(300, 200, 800, 600));
  EXPECT_EQ(pill(0.2), Lines{"frame (666, 108, 300, 36)"});
  desktop->activateApplication(editorPID);
  EXPECT_EQ(pill(0.2), Lines{"hide"});
  desktop->activateApplication(selfPID);
  EXPECT_EQ(pill(0.2), Lines{"front"});
  desktop->activateApplication(settingsPID);
  // No window to follow: the list unreadable once, the window closed, no
  // screens; following goes on.
  desktop->failNextWindowListReads(1);
  EXPECT_EQ(pill(0.4), (Lines{"hide", "front"}));
  desktop->setDisplays({});
  EXPECT_EQ(pill(0.2), Lines{"hide"});
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)}});
  desktop->quitApplication(settingsPID);
  desktop->activateApplication(selfPID);
  EXPECT_EQ(pill(0.2), Lines{});
  EXPECT_TRUE(controller->dragHelper()->isFollowing());

  // After ten seconds the second hint; authorising again starts afresh.
  settingsPID = launchSettings();
  settingsWindow = open(settingsPID, Rect(200, 100, 800, 600));
  EXPECT_EQ(pill(8.2), (Lines{"frame (566, 208, 300, 36)", "front"}));
  EXPECT_EQ(pill(0.4), Lines{kSecondHint});
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(pill(0.2), Lines{kFirstHint});

  // The pill stays on the screen of the settings window (a second display
  // with its own menu bar), or the main screen when the window's centre is
  // on none.
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{2, Rect(1440, 0, 1000, 900), Rect(1440, 0, 1000, 875)}});
  desktop->moveWindow(settingsWindow, Rect(1940, 200, 800, 600));
  EXPECT_EQ(pill(0.2), Lines{"frame (2140, 108, 300, 36)"});
  desktop->moveWindow(settingsWindow, Rect(2500, 200, 800, 600));
  EXPECT_EQ(pill(0.2), Lines{"frame (1140, 108, 300, 36)"});

  // Closing the guide stops the pill; the controller holds the rest only
  // weakly.
  window->close();
  EXPECT_EQ(pill(1.0), Lines{"hide"});
  controller->authorize(AppPermission::accessibility);
  const std::weak_ptr<PermissionDragHelper> helper = controller->dragHelper();
  controller.reset();
  EXPECT_TRUE(helper.expired());
  EXPECT_EQ(pill(1.0), Lines{});
}

TEST_F(PermissionSim, TheLargestOrdinarySettingsWindowIsFollowed) {
  open(settingsPID, Rect(0, 0, 1000, 800), 3);  // not an ordinary layer
  open(settingsPID, Rect(50, 50, 1200, 150));   // too low
  open(settingsPID, Rect(50, 50, 200, 700));    // too narrow
  open(editorPID, Rect(0, 0, 1400, 850));       // another application's
  open(settingsPID, Rect(100, 100, 600, 800));  // as large and in front: this one
  desktop->activateApplication(settingsPID);
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(pill(0.3), (Lines{kFirstHint, "frame (350, 8, 300, 36)", "front"}));
  // The next settings address is tried when the first does not open.
  desktop->refuseAddress(kAccessibilityAddress);
  EXPECT_TRUE(Permissions::openSettings(AppPermission::accessibility, *platform.workspace));
  desktop->refuseAddress("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
  EXPECT_FALSE(Permissions::openSettings(AppPermission::accessibility, *platform.workspace));
  EXPECT_EQ(desktop->recorder().openedAddresses().size(), 5u);
}

}  // namespace tessarapane
