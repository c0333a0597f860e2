// The guide from a desktop without a window manager, through one that lacks
// a feature, to one that has everything.
#include "permission/PermissionGuideWindowController.h"

#include <gtest/gtest.h>

#include "PermissionSim.h"
#include "sim/desktop/SimDesktopTest.h"

namespace tessarapane {

using testing_support::RecordingGuideWindow;

const std::string kNoWindowManager =
    "设置 Tessarapane: 开启以下权限后即可使用 窗口管理器/没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器"
    "（例如 openbox、xfwm4 或 KWin），Tessarapane 会自动继续。:重新检查 [稍后]";
const std::string kLacking =
    "设置 Tessarapane: 开启以下权限后即可使用 窗口管理器/窗口管理器「simwm」不支持 _NET_MOVERESIZE_WINDOW, "
    "_NET_CLIENT_LIST_STACKING。请换用支持 EWMH 的窗口管理器（例如 openbox、xfwm4 或 KWin）。:重新检查 [稍后]";
const std::string kReady = "设置 Tessarapane: 一切就绪 窗口管理器/窗口管理器「simwm」已就绪。:granted [开始使用 ↩]";

struct PermissionSim : testing_support::SimDesktopTest {
  void SetUp() override {
    desktop->setProcessTrusted(false);
    selfPID = launch("tessarapane", {}, [&](SimAppSpec& s) { s.pid = desktop->currentProcessID(); });
    controller = PermissionGuideWindowController::create(platform, window);
    window->onClose = [weak = std::weak_ptr(controller)] {
      if (const auto live = weak.lock()) live->windowWillClose();
    };
  }

  std::shared_ptr<RecordingGuideWindow> window = std::make_shared<RecordingGuideWindow>();
  std::shared_ptr<PermissionGuideWindowController> controller;
  ProcessID selfPID = 0;
};

TEST_F(PermissionSim, TheGuideSaysWhatTheWindowManagerLacksAndComesForwardWhenItIsThere) {
  controller->show();
  controller->show();  // an open guide is only brought forward
  EXPECT_EQ(window->taken(), (Lines{kNoWindowManager, "center", "front", kNoWindowManager, "front"}));
  EXPECT_EQ(desktop->recorder().activations(), (std::vector<ProcessID>{selfPID, selfPID}));

  // A window manager without two of the requests: the next poll says which.
  desktop->setProcessTrusted(true);
  desktop->setMissingWindowManagerFeatures({"_NET_MOVERESIZE_WINDOW", "_NET_CLIENT_LIST_STACKING"});
  clock->advance(0.4);
  EXPECT_EQ(window->taken(), Lines{});
  clock->advance(0.2);
  EXPECT_EQ(window->taken(), Lines{kLacking});

  // Checking again asks at once; a complete one brings the guide forward.
  desktop->setMissingWindowManagerFeatures({});
  controller->authorize(AppPermission::accessibility);
  EXPECT_EQ(desktop->permissionPrompts(), 1);
  EXPECT_EQ(window->taken(), (Lines{kReady, "front"}));
  clock->advance(2.0);  // staying ready is no news
  EXPECT_EQ(window->taken(), Lines{});

  // Closing stops the polling: the window manager going away is not drawn.
  controller->close();
  EXPECT_EQ(window->taken(), Lines{"close"});
  desktop->setProcessTrusted(false);
  clock->advance(2.0);
  EXPECT_EQ(window->taken(), Lines{});
  controller->show();
  EXPECT_EQ(window->taken(), (Lines{kNoWindowManager, kNoWindowManager, "center", "front"}));
}

}  // namespace tessarapane
