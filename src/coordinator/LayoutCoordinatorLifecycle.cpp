// Starting, leaving and restoring layouts, and finding a layout's screen.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "coordinator/LayoutCoordinator.h"
#include "coordinator/SettingsLog.h"
#include "coordinator/TabLayoutRun.h"
#include "layout/RememberedLayout.h"
#include "platform/Localizer.h"
#include "tasks/PollLoop.h"
#include "text/Utf8Text.h"
#include "windows/AXHelpers.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

std::shared_ptr<LayoutCoordinator> LayoutCoordinator::create(const Platform& platform,
                                                             std::shared_ptr<ChromeFactory> chromeFactory) {
  std::shared_ptr<LayoutCoordinator> coordinator(new LayoutCoordinator(platform, std::move(chromeFactory)));
  std::weak_ptr<LayoutCoordinator> weak = coordinator;
  if (platform.screens) {
    coordinator->screenParametersSubscription = platform.screens->subscribeScreenParametersChanged([weak] {
      if (const auto self = weak.lock()) self->screenParametersDidChange();
    });
  }
  coordinator->observeSystemPause();
  return coordinator;
}

LayoutCoordinator::LayoutCoordinator(const Platform& platform, std::shared_ptr<ChromeFactory> chromeFactory)
    : platform(platform),
      chromeFactory(std::move(chromeFactory)),
      windowIndexer(platform),
      windowController(platform),
      layoutMemory(platform.userDefaults),
      adoption(platform.scheduler,
               SettledAdoption::Hooks{
                   .isGone = [this](const ManagedWindow& window) { return isGone(window); },
                   .liveFrame = [this](const ManagedWindow& window) { return liveFrame(window); },
                   .isPrimaryMouseButtonDown = [this] { return isPrimaryMouseButtonDown(); },
                   .stillWanted = [this] { return isLayoutRunning(); },
                   .settled = [this](const ManagedWindow& window) { adoptSettledWindow(window); },
               }),
      frameEnforcement(platform.scheduler,
                       FrameEnforcement::Hooks{
                           .enforce = [this](WindowID windowID) { return enforceManagedWindowFrame(windowID); },
                           .stillWanted = [this] { return isLayoutRunning(); },
                       }),
      pauseLog(platform.log, std::string(kLogSubsystem), std::string(kPauseLogCategory)) {}

LayoutCoordinator::~LayoutCoordinator() {
  // The service's actions hold us weakly; stopping it drops its observers.
  if (windowObservationService) windowObservationService->stop();
}

void LayoutCoordinator::startLayout(LayoutKind kind) {
  if (!platform.accessibility->isProcessTrusted()) {
    if (onAccessibilityMissing) onAccessibilityMissing();
    return;
  }
  if (const std::shared_ptr<TabLayoutRun> tabs = runningTabs(); tabs && tabs->kind() == kind) {
    tabs->reconcile();
    return;
  }
  const std::optional<Screen> screen = primaryScreen();
  if (!screen) return;
  const std::optional<std::vector<ManagedWindow>> windows = manageableWindows();
  if (!windows) return;
  beginLayout(kind, *screen, LayoutEngine::assign(*windows, paneCount(kind)));
}

std::optional<Screen> LayoutCoordinator::primaryScreen() {
  if (std::optional<Screen> main = platform.screens->mainScreen()) return main;
  const std::vector<Screen> screens = platform.screens->screens();
  if (!screens.empty()) return screens.front();
  showMessage(localized("无法开始布局"), localized("Tessarapane 未找到可用显示器。"));
  return std::nullopt;
}

std::optional<std::vector<ManagedWindow>> LayoutCoordinator::manageableWindows() {
  std::vector<ManagedWindow> windows = windowIndexer.currentSpaceWindows();
  if (windows.empty()) {
    showMessage(localized("没有可管理窗口"),
                localized("请先打开至少一个普通 App 窗口；最小化、全屏和不可缩放窗口会被跳过。"));
    return std::nullopt;
  }
  return windows;
}

void LayoutCoordinator::beginLayout(LayoutKind kind, const Screen& screen, const WindowsByPane& windowsByPane) {
  // The windows were listed while the old layout still held them; leaving it
  // puts them back where they were before it, and that is where the new
  // layout must put them back too.
  const std::unordered_map<WindowID, Rect> earlierFrames = runningOriginalFrames();
  exitLayout(false);
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(kind, screen.visibleFrame, LayoutEngine::kTabBarHeight * screen.scale);
  WindowsByPane windows = windowsByPane;
  for (auto& pane : windows) {
    for (ManagedWindow& window : pane) {
      if (const auto found = earlierFrames.find(window.windowID); found != earlierFrames.end()) {
        window.frame = found->second;
      }
    }
  }
  auto started = std::make_shared<LayoutSession>(kind, screen, windows, geometries);
  run(std::make_shared<TabLayoutRun>(*this, std::move(started)));
}

void LayoutCoordinator::run(const std::shared_ptr<RunningLayout>& started) {
  running = started;
  closing.clear();
  started->applyInitialFrames();
  // The chrome, the observation and the remembered layout follow once the
  // window manager has carried out the moves: whoever asked (a control
  // request waiting for its reply, a hot key) is answered once the moves are
  // out, the manager carries them out without this process competing for the
  // machine, and the first look at the windows sees them where they landed.
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  platform.scheduler->postToMainThread([weak, started] {
    const auto self = weak.lock();
    if (!self || self->running != started) return;
    self->platform.accessibility->whenWritesCarriedOut([weak, started] {
      const auto self = weak.lock();
      if (!self || self->running != started) return;
      started->installChrome();
      self->startObservingWindows();
      // The first refresh may already have ended it (its windows went full
      // screen); an ended layout is not one to bring back at the next launch.
      if (self->running == started) self->layoutMemory.write(started->remembered());
    });
  });
}

std::unordered_map<WindowID, Rect> LayoutCoordinator::runningOriginalFrames() const {
  if (running) return running->originalFrames();
  return {};
}

void LayoutCoordinator::exitLayout(bool keepingRememberedLayout) {
  pendingExitTask.reset();
  if (!keepingRememberedLayout) layoutMemory.remove();
  stopMaintenance();
  closing.clear();

  if (const std::shared_ptr<RunningLayout> ended = std::exchange(running, nullptr)) {
    ended->exit(!keepingRememberedLayout);
  }
}

bool LayoutCoordinator::everyWindowListedAgain() {
  Accessibility& ax = *platform.accessibility;
  std::unordered_map<ProcessID, std::vector<AXElement>> listed;
  for (const ManagedWindow& window : managedWindows()) {
    if (isGone(window)) continue;
    auto found = listed.find(window.ownerPID);
    if (found == listed.end()) {
      found = listed.emplace(window.ownerPID, AXHelpers::windows(ax, ax.createApplication(window.ownerPID))).first;
    }
    if (std::find(found->second.begin(), found->second.end(), window.element) == found->second.end()) return false;
  }
  return true;
}

bool LayoutCoordinator::leaveLayout() {
  if (!isLayoutRunning() || platform.accessibility->isProcessTrusted()) {
    exitLayout(false);
    return true;
  }
  if (pendingExitTask && pendingExitTask->isPending()) return false;
  std::weak_ptr<LayoutCoordinator> weak = weak_from_this();
  pendingExitTask = pollUntil(platform.scheduler, shared_from_this(),
                              Poll<LayoutCoordinator>{
                                  .interval = kPendingExitCheckInterval,
                                  .sample =
                                      [trusted = 0](LayoutCoordinator& self) mutable {
                                        trusted = self.platform.accessibility->isProcessTrusted() ? trusted + 1 : 0;
                                        // A window manager that has just started is still taking the windows
                                        // in, and would drop a move of one it does not manage yet.
                                        const bool ready = trusted > 0 && (trusted >= kPendingExitMaximumChecks ||
                                                                           self.everyWindowListedAgain());
                                        return ready ? PollAnswer::satisfied : PollAnswer::notYet;
                                      },
                                  .stillWanted = [](LayoutCoordinator& self) { return self.isLayoutRunning(); },
                                  .onEnd =
                                      [weak](TaskEnd end) {
                                        const auto self = weak.lock();
                                        if (self && end == TaskEnd::satisfied) self->exitLayout(false);
                                      },
                              });
  return false;
}

void LayoutCoordinator::restoreOriginalFrames(const std::unordered_map<WindowID, Rect>& originalFrames,
                                              const std::vector<ManagedWindow>& windows) {
  const std::vector<Rect> displays = displayRects();
  for (const ManagedWindow& window : windows) {
    if (isGone(window) || isInNativeFullScreen(window, displays)) continue;
    const auto found = originalFrames.find(window.windowID);
    if (found != originalFrames.end()) windowController.setAccessibilityFrame(found->second, window);
  }
}

void LayoutCoordinator::stopMaintenance() {
  if (windowObservationService) windowObservationService->stop();
  reconciliationTimer.cancel();
  reconciliationTasks.cancelAll();
  cancelAllAdoptions();
  cancelAllFrameEnforcement();
  closing.cancelAll();
  restack.reset();
  screenRelayoutTask.reset();
  pausing.cancelResume();
}

void LayoutCoordinator::restoreRememberedLayout() {
  if (isLayoutRunning()) return;
  const std::optional<RememberedLayout> remembered = layoutMemory.read();
  if (!remembered) {
    // A name from a newer version or a hand edit: say why nothing comes back.
    const auto stored = platform.userDefaults ? platform.userDefaults->stringValue(kRememberedLayoutDefaultsKey)
                                              : std::nullopt;
    if (stored && platform.log) {
      platform.log->write(kLogSubsystem, kSettingsLogCategory,
                          "the remembered layout " + Utf8Text::quoted(*stored, 60) +
                              " is unknown: no layout is restored");
    }
    return;
  }
  if (!platform.accessibility->isProcessTrusted()) return;
  const std::optional<Screen> screen = primaryScreen();
  if (!screen) return;
  const std::vector<ManagedWindow> windows = windowIndexer.currentSpaceWindows();
  if (windows.empty()) return;
  const std::optional<LayoutKind> kind = remembered->tabsKind();
  if (!kind) {
    startBento();
    return;
  }
  const std::vector<PaneGeometry> geometries =
      LayoutEngine::geometries(*kind, screen->visibleFrame, LayoutEngine::kTabBarHeight * screen->scale);
  std::vector<Rect> windowFrames;
  windowFrames.reserve(windows.size());
  for (const ManagedWindow& window : windows) windowFrames.push_back(convertFrame(window.frame));
  std::vector<Rect> paneFrames;
  paneFrames.reserve(geometries.size());
  for (const PaneGeometry& geometry : geometries) paneFrames.push_back(geometry.paneFrame);
  beginLayout(*kind, *screen, LayoutEngine::assignByPlacement(windows, windowFrames, paneFrames));
}

std::optional<Screen> LayoutCoordinator::resolveLayoutScreen(DisplayID preferredDisplayID,
                                                              const std::vector<ManagedWindow>& windows) {
  const std::vector<Screen> screens = platform.screens->screens();
  if (std::optional<Screen> preferred = ScreenIdentity::screenForDisplayID(preferredDisplayID, screens)) {
    return preferred;
  }
  std::vector<Rect> windowFrames;
  for (const ManagedWindow& window : windows) {
    if (const std::optional<Rect> frame = liveFrame(window)) {
      windowFrames.push_back(ScreenIdentity::convertFrame(*frame, screens));
    }
  }
  std::vector<Rect> screenFrames;
  screenFrames.reserve(screens.size());
  for (const Screen& screen : screens) screenFrames.push_back(screen.frame);
  if (const std::optional<std::size_t> index = ScreenIdentity::preferredScreenIndex(screenFrames, windowFrames)) {
    return screens[*index];
  }
  if (std::optional<Screen> main = platform.screens->mainScreen()) return main;
  if (!screens.empty()) return screens.front();
  return std::nullopt;
}

}  // namespace tessarapane
