#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "permission/PermissionGuideWindow.h"
#include "permission/PermissionGuideWindowController.h"
#include "permission/PermissionHelperPanel.h"

namespace tessarapane::testing_support {

class RecordingGuideWindow final : public PermissionGuideWindow {
 public:
  bool isVisible() const override { return visible; }
  void center() override { ++centerings; }
  void makeKeyAndOrderFront() override {
    ++frontings;
    visible = true;
  }
  // Closing tells the controller, as the toolkit's window delegate does.
  void close() override {
    visible = false;
    if (onClose) onClose();
  }
  void refresh(const PermissionGuideContent& content) override { shown.push_back(content); }

  bool visible = false;
  int centerings = 0;
  int frontings = 0;
  std::vector<PermissionGuideContent> shown;
  std::function<void()> onClose;
};

class RecordingHelperPanel final : public PermissionHelperPanel {
 public:
  std::string text() const override { return label; }
  void setText(const std::string& value) override {
    label = value;
    texts.push_back(value);
  }
  double fittingWidth() const override { return width; }
  Rect frame() const override { return current; }
  void setFrame(const Rect& value) override {
    current = value;
    frames.push_back(value);
  }
  bool isVisible() const override { return visible; }
  void orderFrontRegardless() override {
    visible = true;
    ++orderings;
  }
  void hide() override { visible = false; }

  std::string label;
  double width = 300;
  Rect current;
  bool visible = false;
  int orderings = 0;
  std::vector<std::string> texts;
  std::vector<Rect> frames;
};

inline constexpr const char* kFirstAccessibilityAddress =
    "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility";
inline constexpr const char* kSecondAccessibilityAddress =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
inline constexpr const char* kOwnBundleIdentifier = "org.example.tessarapane";

// A desktop with the platform's settings application, this application, an
// unrelated editor and the guide, permission missing.
class PermissionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop->setProcessTrusted(false);
    settingsPID = launch("com.apple.systempreferences", 0);
    selfPID = launch(kOwnBundleIdentifier, desktop->currentProcessID());
    editorPID = launch("org.example.editor", 0);
    settingsWindow = open(settingsPID, Rect(200, 100, 800, 600));
    desktop->activateApplication(settingsPID);

    PermissionGuideWindowController::Options options;
    options.ownBundleIdentifier = kOwnBundleIdentifier;
    controller = PermissionGuideWindowController::create(platform, window, panel, options);
    std::weak_ptr<PermissionGuideWindowController> weak = controller;
    window->onClose = [weak] {
      if (const auto live = weak.lock()) live->windowWillClose();
    };
  }

  ProcessID launch(const std::string& bundle, ProcessID pid) {
    SimAppSpec desc;
    desc.pid = pid;
    desc.bundleIdentifier = bundle;
    desc.localizedName = bundle;
    return desktop->launchApplication(desc);
  }

  // Frames in accessibility space, as the window server lists them.
  WindowID open(ProcessID owner, Rect frame, std::int32_t layer = 0) {
    SimWindowSpec desc;
    desc.owner = owner;
    desc.frame = frame;
    desc.layer = layer;
    desc.title = "window";
    return desktop->createWindow(std::move(desc));
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<RecordingGuideWindow> window = std::make_shared<RecordingGuideWindow>();
  std::shared_ptr<RecordingHelperPanel> panel = std::make_shared<RecordingHelperPanel>();
  std::shared_ptr<PermissionGuideWindowController> controller;
  ProcessID settingsPID = 0;
  ProcessID selfPID = 0;
  ProcessID editorPID = 0;
  WindowID settingsWindow = 0;
};

}  // namespace tessarapane::testing_support
